// The ordered program entry.
#include "ProgramEntry.h"

#include "app/CarriedFiles.h"
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "build/Unit2.h"
#include "build/Unit4.h"
#include "platform/DialogService.h"
#include "platform/Errors.h"
#include "platform/PauseService.h"
#include "platform/Paths.h"
#include "platform/ShellService.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QFile>
#include <QThread>

#include <memory>

namespace asmora::app {
namespace {

const QString kEditingLibrary = QStringLiteral("SciLexer.dll");
constexpr int kAfterExtractionMs = 3000;
constexpr int kSplashPasses = 51;
constexpr int kSplashPassMs = 20;

void showSplashForAboutOneSecond(TForm5& splash) {
    splash.show();
    splash.repaint();
    for (int pass = 0; pass < kSplashPasses; ++pass) {
        QApplication::processEvents();
        QThread::msleep(kSplashPassMs);
    }
}

}  // namespace

QString systemFolder(const platform::ProgramFolder& programFolder) { return programFolder.file(u"system"); }

bool extractEditingLibrary(const platform::ProgramFolder& programFolder) {
    if (platform::fileExists(programFolder.file(kEditingLibrary))) return false;
    writeCarriedFile(programFolder, carriedFile("Sci_dll"));
    return true;
}

int deployToolKit(const platform::ProgramFolder& programFolder, platform::ShellService& shell, std::FILE* out) {
    const auto print = [out](const QString& row) { std::fprintf(out, "%s\n", row.toUtf8().constData()); };
    try {
        extractEditingLibrary(programFolder);
        platform::RealPauseService pause;
        checkToolKit(programFolder, {[] {}, print}, pause);
    } catch (const platform::Error& error) {
        print(error.message());
        return 1;
    }
    for (const QString& row : shell.hostRows()) print(row);
    print(QStringLiteral("程序文件夹: ") + programFolder.path());
    return 0;
}

int runProgram(const EntryOptions& options, Services services) {
    QFile::remove(systemFolder(options.programFolder) + u'/' + kEditingLibrary);  // 1
    try {                                                                         // 2
        if (extractEditingLibrary(options.programFolder)) {
            services.pause.pause(kAfterExtractionMs);
            services.dialogs.messageBox(nullptr, QStringLiteral("首次运行，必须的Dll文件导出成功！请重新运行程序。"),
                                        QStringLiteral("运行环境"), platform::MessageIcon::Information,
                                        platform::MessageButtons::Ok);
            services.shell.startDetached(options.programPath, QString());
            return 0;
        }
    } catch (const platform::Error& error) {
        services.dialogs.messageBox(nullptr, error.message(), QStringLiteral("80X86Asmora"),
                                    platform::MessageIcon::Error, platform::MessageButtons::Ok);
        return 1;
    }
    QApplication::setApplicationName(QStringLiteral("80X86Asmora"));  // 3
    platform::SingleInstanceLock lock(options.instanceLockName);      // 4
    if (!lock.acquire()) {
        services.dialogs.messageBox(nullptr, QStringLiteral("程序已经运行！不允许程序重复运行。"),
                                    QStringLiteral("重复运行"), platform::MessageIcon::Information,
                                    platform::MessageButtons::Ok);
        return 0;
    }
    auto splash = std::make_unique<TForm5>();  // 5
    showSplashForAboutOneSecond(*splash);
    TForm1 mainWindow(options.programFolder, services);  // 6
    mainWindow.FormCreate(options.arguments);
    auto* consoleTemplateEditor =
        new build::TForm2(options.programFolder, services.dialogs, services.shell, services.pause, &mainWindow);
    mainWindow.setConsoleTemplateEditor(consoleTemplateEditor);
    mainWindow.guarded([consoleTemplateEditor] { consoleTemplateEditor->FormCreate(); });
    TForm3 aboutWindow(options.programFolder, services.dialogs);
    mainWindow.setAboutWindow(&aboutWindow);
    mainWindow.setListingWindow(new build::TForm4(&mainWindow));
    splash.reset();  // 7
    return QApplication::exec();
}

}  // namespace asmora::app
