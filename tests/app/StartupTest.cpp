// Start-up: the first-run extraction, a second copy, the tool-kit report, the
// start-up file, the console-template backup and the settings read at start.
#include "AppFixture.h"

#include "app/ProgramEntry.h"
#include "build/OutputList.h"
#include "platform/SingleInstance.h"

#include <QFileInfo>
#include <QUuid>

#include <functional>

#include <sys/stat.h>

using namespace asmora::app;

namespace {
const QString kFinal = QStringLiteral("最终加载结果：加载成功，您可以正常使用了。");

EntryOptions optionsFor(const QString& folder, const QString& lockName) {
    return {platform::ProgramFolder(folder), folder + "/asmora", {}, lockName};
}
}  // namespace

TEST_F(AppFixture, TheFirstStartWritesTheEditingLibraryAndAsksForARestart) {
    const int status = runProgram(optionsFor(folder.path(), QUuid::createUuid().toString()), services());
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(QFileInfo(path("SciLexer.dll")).size() > 100000);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("首次运行，必须的Dll文件导出成功！请重新运行程序。"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("运行环境"));
    EXPECT_EQ(pause.pauses, QList<int>{3000});
    ASSERT_EQ(shell.started.size(), 1);
    EXPECT_EQ(shell.started[0].first, path("asmora"));
    EXPECT_FALSE(QDir(path("bin")).exists());
}

TEST_F(AppFixture, ASecondCopyIsRefusedAndOpensNothing) {
    writeFile("SciLexer.dll", "present");
    const QString lockName = QUuid::createUuid().toString();
    platform::SingleInstanceLock first(lockName);
    ASSERT_TRUE(first.acquire());
    EXPECT_EQ(runProgram(optionsFor(folder.path(), lockName), services()), 0);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("程序已经运行！不允许程序重复运行。"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("重复运行"));
    EXPECT_FALSE(QDir(path("bin")).exists());
}

TEST_F(AppFixture, AStartWithoutSettingsReportsAndWritesTheWholeToolKit) {
    TForm1& form = start();
    const QStringList rows = form.outputList().rows();
    ASSERT_EQ(rows.size(), 2 + 16 + 1);
    EXPECT_EQ(rows[0], QStringLiteral("正在加载汇编主程序......"));
    EXPECT_EQ(rows[1], QStringLiteral("当前目录: ") + folder.path());
    for (int i = 2; i < 18; ++i)
        EXPECT_TRUE(rows[i].endsWith(QStringLiteral("  【文件丢失,修复成功】。"))) << rows[i].toStdString();
    EXPECT_EQ(rows[2], QStringLiteral("汇编主程序：dm.dll  【文件丢失,修复成功】。"));
    EXPECT_EQ(rows[17], QStringLiteral("汇编主程序：Kernel32.Lib  【文件丢失,修复成功】。"));
    EXPECT_EQ(rows[18], kFinal);
    const QStringList toolKit = QDir(path("bin")).entryList(QDir::Files);
    for (const char* name : {"dm.dll", "eecxx.dll", "em.dll", "msdbi.dll", "msdis100.dll", "MSPDB50.DLL", "MSVCP50.DLL",
                             "shcv.dll", "tlloc.dll", "windbg.exe", "ML.EXE", "link.exe", "IO.ASM", "io.h", "io.obj",
                             "Kernel32.Lib", "Asmora帮助.hlp", "WINDBG.HLP", "software.xls"})
        EXPECT_TRUE(toolKit.contains(QString::fromUtf8(name))) << name;
    EXPECT_TRUE(QFileInfo(path("bin/ML.EXE")).isExecutable());
    EXPECT_FALSE(QFile::exists(path("bin/asm.ico")));
    // 15 pauses of 10 ms: after each reported row but the last.
    EXPECT_EQ(pause.pauses, QList<int>(15, 10));
    // The defaults: panes visible, tool-kit check on, auto-execution on.
    EXPECT_TRUE(form.autoExecuteBox().isChecked());
    EXPECT_FALSE(form.action(MenuId::SkipToolKitCheck)->isChecked());
    EXPECT_TRUE(component<QWidget>("Panel8")->isVisibleTo(&form));
}

TEST_F(AppFixture, PresentFilesAreKeptButTheDebuggerIsRewrittenOnEveryCheck) {
    start();
    writeFile("bin/link.exe", "");
    writeFile("bin/windbg.exe", "old");
    window->N26Click();
    const QStringList rows = window->outputList().rows();
    ASSERT_EQ(rows.size(), 18);  // the menu command adds no closing line
    for (int i = 2; i < 18; ++i) EXPECT_TRUE(rows[i].endsWith(QStringLiteral("  加载成功。"))) << rows[i].toStdString();
    EXPECT_EQ(QFileInfo(path("bin/link.exe")).size(), 0);
    EXPECT_NE(readFile("bin/windbg.exe"), QByteArray("old"));
}

TEST_F(AppFixture, TheCheckEndsWithHowProgramsRunHereAndEachMissingHelperProgram) {
    shell.host = {QStringLiteral("通过 qemu-i386 运行 32 位程序"),
                  QStringLiteral("缺少 gdb（调试器）：请安装 gdb 软件包（sudo apt install gdb）")};
    TForm1& form = start();
    const QStringList rows = form.outputList().rows();
    ASSERT_EQ(rows.size(), 2 + 16 + 2 + 1);
    EXPECT_EQ(rows.mid(18, 2), shell.host);
    EXPECT_EQ(rows.last(), kFinal);
}

TEST_F(AppFixture, WithTheCheckSwitchedOffOnlyTheClosingLineShows) {
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
    TForm1& form = start();
    EXPECT_EQ(form.outputList().rows(), QStringList{kFinal});
    EXPECT_TRUE(form.action(MenuId::SkipToolKitCheck)->isChecked());
    EXPECT_FALSE(QFile::exists(path("bin/ML.EXE")));
}

TEST_F(AppFixture, AWordAsTheCheckSettingCountsAsZero) {
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=yes\r\n");
    TForm1& form = start();
    EXPECT_EQ(form.outputList().count(), 19);
}

TEST_F(AppFixture, HiddenPanesAndSwitchesComeFromTheSettings) {
    writeFile("bin/setting.ini",
              "[setting]\r\nAutoCheckASM=1\r\nHide_FilePath=1\r\nHide_RightContrl=0x1\r\nHide_CommandControl=0\r\n"
              "Show_DebugTips=1\r\nASM_ByAuto=0\r\n");
    TForm1& form = start();
    EXPECT_FALSE(component<QWidget>("Panel5")->isVisibleTo(&form));
    EXPECT_TRUE(form.action(MenuId::HideFolderBar)->isChecked());
    EXPECT_FALSE(component<QWidget>("Panel8")->isVisibleTo(&form));
    EXPECT_TRUE(component<QWidget>("Panel1")->isVisibleTo(&form));
    EXPECT_TRUE(form.action(MenuId::SkipDebugTips)->isChecked());
    EXPECT_FALSE(form.autoExecuteBox().isChecked());
}

TEST_F(AppFixture, AStartupPathSplitIntoTwoArgumentsOpensTheFile) {
    writeFile("my src/lab 1.asm", "; hello\r\n");
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
    TForm1& form = start({path("my"), "src/lab", "1.asm"});
    EXPECT_EQ(form.document().Path(), path("my src/lab 1.asm"));
    EXPECT_EQ(tabText(), "&1 " + path("my src/lab 1.asm"));
    EXPECT_EQ(form.folderBox().text(), path("my src"));
    EXPECT_TRUE(readFile("bin/Rubish.ini").startsWith(path("my src/").toUtf8()));
}

TEST_F(AppFixture, AStartupFileThatIsNotAssemblySourceIsRefused) {
    writeFile("notes.txt", "text");
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
    TForm1& form = start({path("notes.txt")});
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("启动文件不是ASM汇编源文件，不能自动加载使用。"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("错误提示"));
    EXPECT_TRUE(form.document().Path().isEmpty());
    EXPECT_EQ(tabText(), QStringLiteral("&1 未命名.asm"));
    EXPECT_TRUE(readFile("bin/Rubish.ini").isEmpty());
}

TEST_F(AppFixture, AnUpperCaseExtensionOpensAndAMissingFileIsPassedOver) {
    writeFile("LAB.ASM", "x");
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
    EXPECT_EQ(start({path("LAB.ASM")}).document().Path(), path("LAB.ASM"));
    window.reset();
    EXPECT_TRUE(start({path("missing.asm")}).document().Path().isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(AppFixture, TheConsoleTemplateBackupIsOfferedOnceAndDeletedWhateverTheAnswer) {
    writeFile("Backup.dat", "Hello\r\n");
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
    dialogs.answers.enqueue(platform::IdNo);
    start();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("发现DOS界面备份文件，请问是否使用该备份文件恢复？"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("发现DOS界面备份文件"));
    EXPECT_EQ(dialogs.shown[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_FALSE(QFile::exists(path("Backup.dat")));
    window.reset();
    start();
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(AppFixture, ALeftOverCleanupListIsProcessedAndReset) {
    writeFile("work/Debug/lab1.obj", "o");
    writeFile("work/Debug/lab1.exe", "e");
    writeFile("work/io.h", "h");
    writeFile("bin/Rubish.ini", (path("work/") + "\r\n" + path("work/Debug/lab1") + "\r\n0\r\n").toUtf8());
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
    start();
    EXPECT_FALSE(QFile::exists(path("work/Debug/lab1.obj")));
    EXPECT_FALSE(QFile::exists(path("work/io.h")));
    EXPECT_TRUE(QFile::exists(path("work/Debug/lab1.exe")));
    EXPECT_TRUE(QFile::exists(path("bin/Rubish.ini")));
    EXPECT_TRUE(readFile("bin/Rubish.ini").isEmpty());
}

TEST_F(AppFixture, AnUnusableSettingsFileIsWarnedAboutAtStartAndNamedByTheToolKitCheck) {
    const QString settings = path("bin/setting.ini");
    const struct {
        const char* what;
        std::function<bool()> make;
        const char16_t* problem;
    } cases[] = {
        {"folder", [&] { return QDir().mkpath(settings); }, u"它不是普通文件，而是文件夹，不能打开。"},
        {"link to /dev/zero", [&] { return QFile::link("/dev/zero", settings); },
         u"它不是普通文件，而是设备文件，不能打开。"},
        {"fifo", [&] { return ::mkfifo(QFile::encodeName(settings).constData(), 0600) == 0; },
         u"它不是普通文件，而是管道（FIFO），不能打开。"},
        {"broken lines",
         [&] {
             writeFile("bin/setting.ini", QByteArray("\x7f"
                                                     "ELF\x01\x01\x01\0\0\0",
                                                     10));
             return true;
         },
         u"第 1 行不是设置文件的格式，文件可能已损坏。"},
    };
    for (const auto& c : cases) {
        QDir().mkpath(path("bin"));
        ASSERT_TRUE(c.make()) << c.what;
        dialogs.shown.clear();
        TForm1& form = start();
        const QString problem = QString::fromUtf16(c.problem);
        ASSERT_EQ(dialogs.shown.size(), 1) << c.what;
        EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("设置文件错误"));
        EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Warning);
        EXPECT_TRUE(
            dialogs.shown[0].text.startsWith(QStringLiteral("设置文件 %1 无法使用：\n%2\n").arg(settings, problem)))
            << dialogs.shown[0].text.toStdString();
        // The defaults hold, and the tool-kit check names the file after its rows.
        EXPECT_TRUE(form.autoExecuteBox().isChecked()) << c.what;
        const QString line = QStringLiteral("设置文件：setting.ini  【无法使用：%1请删除或修复该文件】。").arg(problem);
        EXPECT_EQ(form.outputList().rows().mid(18), (QStringList{line, kFinal})) << c.what;
        form.N26Click();
        EXPECT_EQ(form.outputList().rows().mid(18), QStringList{line}) << c.what;
        // A switch is never saved over a special file (an error says so); a broken
        // file takes it and keeps its unreadable lines.
        const bool special = !QFileInfo(settings).isFile();
        form.action(MenuId::HideButtonColumn)->trigger();
        EXPECT_EQ(dialogs.shown.size(), special ? 2 : 1) << c.what;
        EXPECT_EQ(QFileInfo(settings).isFile(), !special) << c.what;
        if (!special)
            EXPECT_TRUE(readFile("bin/setting.ini")
                            .startsWith(QByteArray("\x7f"
                                                   "ELF",
                                                   4)))
                << c.what;
        window.reset();
        QFile::remove(settings);
        QDir().rmdir(settings);
    }
    dialogs.shown.clear();
    writeFile("bin/setting.ini", "[setting]\r\n; a comment\r\nAutoCheckASM=0\r\n");
    start();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(window->outputList().count(), 19);
}
