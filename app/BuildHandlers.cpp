// The main window's build-and-run handlers: each fills the build context with what
// the command uses of the window and forwards to the command in build/.
#include "Unit1.h"

#include "app/CarriedFiles.h"
#include "build/BuildCommands.h"
#include "build/BuildContext.h"
#include "build/CleanCommand.h"
#include "build/ConsoleTemplate.h"
#include "build/DebugCommand.h"
#include "build/ListingCommand.h"
#include "build/RunCommand.h"
#include "build/Unit2.h"
#include "build/Unit4.h"
#include "platform/CarriedResources.h"

#include <QLineEdit>

namespace asmora::app {

build::TBuildContext TForm1::buildContext() {
    return {this,
            *ListBox1,
            *Edit2,
            *CheckBox1,
            *action(MenuId::SkipDebugTips),
            programFolder_,
            [this] { return document_.Path(); },
            [this] { executeCommandBox(); },
            [this] {
                if (saveCurrentDocument) saveCurrentDocument();
            },
            [](const QString& target) {
                const CarriedFile& header = carriedFile("io_h");
                platform::writeCarriedFile(QString::fromLatin1(header.type), QString::fromLatin1(header.name), target);
            },
            services_.dialogs,
            services_.shell,
            services_.pause};
}

// Each command's work, named for what it does; the handlers of its button and of its
// menu item both call it.
void TForm1::assembleCurrent() { build::assembleSource(buildContext()); }
void TForm1::linkCurrent() { build::linkObject(buildContext()); }
void TForm1::runCurrent() { build::runProgram(buildContext()); }
void TForm1::debugCurrent() { build::debugProgram(buildContext()); }
void TForm1::cleanCurrent() { build::cleanWorkFiles(buildContext()); }

void TForm1::showCurrentListing() {
    if (!Form4) Form4 = new build::TForm4(this);
    build::showListing(buildContext(), *Form4);
}

void TForm1::editConsoleTemplate() {
    if (!Form2) {
        Form2 = new build::TForm2(programFolder_, services_.dialogs, services_.shell, services_.pause, this);
        Form2->FormCreate();
    }
    Edit2->clear();
    Form2->showModally();
}

void TForm1::Button1Click() { assembleCurrent(); }
void TForm1::M1Click() { assembleCurrent(); }
void TForm1::Button2Click() { linkCurrent(); }
void TForm1::L1Click() { linkCurrent(); }
void TForm1::Button3Click() { runCurrent(); }
void TForm1::R1Click() { runCurrent(); }
void TForm1::Button6Click() { debugCurrent(); }
void TForm1::Windbg1Click() { debugCurrent(); }
void TForm1::Button4Click() { cleanCurrent(); }
void TForm1::C1Click() { cleanCurrent(); }
void TForm1::Button8Click() { showCurrentListing(); }
void TForm1::Button5Click() { editConsoleTemplate(); }
void TForm1::DOS1Click() { editConsoleTemplate(); }
void TForm1::DelYongYu(const QString& base) { build::DelYongYu(*ListBox1, base); }
void TForm1::Recovery() { build::restoreTemplateFromBackup(programFolder_); }

void TForm1::connectBuildHandlers() {
    using Handler = void (TForm1::*)();
    const struct {
        QPushButton* button;
        Handler buttonHandler;
        MenuId item;
        Handler itemHandler;
    } commands[] = {
        {Button1, &TForm1::Button1Click, MenuId::Assemble, &TForm1::M1Click},
        {Button2, &TForm1::Button2Click, MenuId::Link, &TForm1::L1Click},
        {Button3, &TForm1::Button3Click, MenuId::Run, &TForm1::R1Click},
        {Button12, &TForm1::Button6Click, MenuId::Debug, &TForm1::Windbg1Click},
        {Button13, &TForm1::Button4Click, MenuId::Clean, &TForm1::C1Click},
        {Button6, &TForm1::Button8Click, MenuId::ShowListing, &TForm1::Button8Click},
        {Button4, &TForm1::Button5Click, MenuId::EditConsoleTemplate, &TForm1::DOS1Click},
    };
    const auto guardedCall = [this](Handler handler) {
        return [this, handler] { guarded([this, handler] { (this->*handler)(); }); };
    };
    for (const auto& command : commands) {
        connect(command.button, &QPushButton::clicked, this, guardedCall(command.buttonHandler));
        connect(action(command.item), &QAction::triggered, this, guardedCall(command.itemHandler));
    }
}

}  // namespace asmora::app
