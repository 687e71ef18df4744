// The program file `asmora`. Started with --console-host it runs a batch file in its
// console window instead (the run command's console host).
#include "app/ProgramEntry.h"
#include "platform/DialogService.h"
#include "platform/PauseService.h"
#include "platform/Paths.h"
#include "platform/ShellService.h"
#include "platform/Translations.h"
#include "resources/CarriedBundle.h"

#include "ConsoleHost.h"

#include <QApplication>

#include <cstring>

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], asmora::console::kConsoleHostOption) == 0)
        return asmora::console::runConsoleHost(argc, argv);

    if (argc >= 2 && std::strcmp(argv[1], asmora::app::kDeployOption) == 0) {
        QCoreApplication application(argc, argv);
        asmora::resources::registerCarriedFiles();
        platform::XtermShellService shell;
        return asmora::app::deployToolKit(platform::ProgramFolder(platform::programFolder()), shell, stdout);
    }

    QApplication application(argc, argv);
    platform::installChineseTranslations(application, platform::qtTranslationsFolder());
    asmora::resources::registerCarriedFiles();
    platform::QtDialogService dialogs;
    platform::XtermShellService shell;
    platform::RealPauseService pause;

    asmora::app::EntryOptions options;
    options.programFolder = platform::ProgramFolder(platform::programFolder());
    options.programPath = platform::executablePath();
    options.arguments = QApplication::arguments().mid(1);
    options.instanceLockName = QStringLiteral("Asmora(Norwick版)");
    return asmora::app::runProgram(options, {dialogs, shell, pause});
}
