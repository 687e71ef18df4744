// Shows one window of the program in a fresh program folder so that a screenshot
// can be taken of it (tools/screenshots/windows.sh runs it under Xvfb):
//   asmora_window_shots splash | about | help | main|menu <skin index>|off
// "main" shows the main window with a message box beside it, "menu" the main
// window with its skin menu open.
#include "app/CarriedFiles.h"
#include "app/HelpViewer.h"
#include "app/ProgramEntry.h"
#include "app/SkinMenu.h"
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "editor/SciScintillaBase.h"
#include "platform/DialogService.h"
#include "platform/PauseService.h"
#include "platform/ShellService.h"
#include "skins/SkinEngine.h"
#include "skins/SkinStore.h"
#include "resources/CarriedBundle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace asmora::app;

namespace {

struct RealServices {
    platform::QtDialogService dialogs;
    platform::XtermShellService shell;
    platform::RealPauseService pause;
    Services services() { return {dialogs, shell, pause}; }
};

void writeSettings(const QString& folder, const QString& skinLines) {
    const platform::ProgramFolder program(folder);
    QDir().mkpath(program.bin());
    QFile file(program.settingsFile());
    if (file.open(QIODevice::WriteOnly)) file.write(("[setting]\r\n" + skinLines).toLocal8Bit());
}

// Puts a message box beside the window, as the association command shows one.
void showADialog(TForm1& window) {
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("成功关联"),
                                QStringLiteral("成功关联到ASM文件."), QMessageBox::Ok, &window);
    box->setModal(false);
    box->show();
    box->move(window.geometry().right() + 20, window.geometry().top() + 60);
}

// Opens 调整界面 > 切换界面皮肤.
void openTheSkinMenu(TForm1& window) {
    QTimer::singleShot(400, &window, [&window] {
        QMenu* look = window.menu(MenuId::ViewMenu);
        window.menuBar()->setActiveAction(look->menuAction());
        QTimer::singleShot(300, &window, [&window, look] {
            QMenu* skins = window.menu(MenuId::SkinChoice);
            look->setActiveAction(skins->menuAction());
            const QRect item = look->actionGeometry(skins->menuAction());
            skins->popup(look->mapToGlobal(item.topRight()));
        });
    });
}

int usage() {
    std::fprintf(stderr, "usage: asmora_window_shots splash | about | help | main|menu <skin index>|off\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    asmora::resources::registerCarriedFiles();
    const QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) return usage();
    QTemporaryDir folder;
    RealServices real;
    const QString mode = args[0];

    if (mode == "splash") {
        TForm5 splash;
        splash.show();
        return application.exec();
    }
    // The secondary windows are painted with the default skin, as at a first start.
    asmora::skins::TSkinData engine;
    if (mode == "about" || mode == "help") engine.loadFromStore(asmora::skins::TSkinStore(), 4);
    if (mode == "about") {
        TForm3 about(platform::ProgramFolder(folder.path()), real.dialogs);
        about.show();
        return application.exec();
    }
    if (mode == "help") {
        const platform::ProgramFolder program(folder.path());
        QDir().mkpath(program.bin());
        writeCarriedFile(program, carriedFile("Help_hlp"));
        writeCarriedFile(program, carriedFile("WINDBG_HLP"));
        THelpViewer viewer(real.dialogs);
        viewer.move(60, 40);
        viewer.openContents(program.helpFile());
        viewer.contentsList()->setCurrentRow(15);
        return application.exec();
    }
    if ((mode == "main" || mode == "menu") && args.size() == 2) {
        const bool off = args[1] == "off";
        const QString skin = off ? QString() : asmora::skins::TSkinStore().name(args[1].toInt());
        writeSettings(folder.path(), off ? "Not_UseSkin=1\r\n" : "SkinName=" + skin + "\r\n");
        extractEditingLibrary(platform::ProgramFolder(folder.path()));
        TSciLibrary::Load(folder.path());
        TForm1 window(platform::ProgramFolder(folder.path()), real.services());
        window.FormCreate({});
        window.move(40, 40);
        window.skinMenu()->waitUntilBuilt();
        if (mode == "menu")
            openTheSkinMenu(window);
        else
            showADialog(window);
        return application.exec();
    }
    return usage();
}
