// Run (the run batch from the console template) and debug (the debugger's
// argument string, the tips box, the N27 switch, no executable).
#include "BuildFixture.h"

#include "build/ConsoleTemplate.h"
#include "build/DebugCommand.h"
#include "build/RunCommand.h"
#include "build/TextLines.h"

#include "platform/Cp936.h"
#include "platform/FileAttributes.h"

using namespace asmora::build;

class RunCommandTest : public BuildFixture {
protected:
    QString executable;
    void SetUp() override {
        executable = openHello(QStringLiteral("my asm/汇编 50%&x")) + ".exe";
        commandBox.setText(QStringLiteral("left over"));
    }
    QString batch() const { return program.path() + "/bin/ml.bat"; }
    QString consoleTemplate() const { return program.path() + "/bin/ExecM.dll"; }
};

TEST_F(RunCommandTest, WithoutAnExecutableTheTemplateIsStillWrittenAndNothingStarts) {
    writeFile(batch(), "old batch");
    runProgram(context());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "没有生成对应的EXE文件或链接过程发生错误，请检查后再试。");
    EXPECT_EQ(dialogs.shown[0].caption, "错误");
    EXPECT_EQ(encodeTextLines(defaultTemplate()), readFile(consoleTemplate()));
    EXPECT_FALSE(QFile::exists(batch()));
    EXPECT_TRUE(commandBox.text().isEmpty());
    EXPECT_TRUE(shell.openedBatches.isEmpty());
}

TEST_F(RunCommandTest, TheBatchRunsTheQuotedProgramInTheDefaultFrameAndIsHidden) {
    writeFile(executable, "program");
    runProgram(context());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(shell.openedBatches, QStringList{batch()});
    QStringList want = defaultTemplate();
    want[14] = "\"" + executable + "\"";
    want.append("del /A:H /Q \"" + batch() + "\"");
    EXPECT_EQ(readFile(batch()), encodeTextLines(want));
    EXPECT_TRUE(platform::isMarkedHidden(batch()));
    EXPECT_TRUE(commandBox.text().isEmpty());
    EXPECT_TRUE(output.rows().isEmpty());
}

TEST_F(RunCommandTest, TheUsersTemplateIsUsedAsItStands) {
    writeFile(executable, "program");
    writeFile(consoleTemplate(), "@echo off\r\ncolor 0A\r\n%FILENAME% %FILENAME%\r\npause>NUL\r\n");
    runProgram(context());
    EXPECT_EQ(platform::cp936::decode(readFile(batch())), "@echo off\r\ncolor 0A\r\n\"" + executable +
                                                              "\" %FILENAME%\r\npause>NUL\r\ndel /A:H /Q \"" + batch() +
                                                              "\"\r\n");
}

class DebugCommandTest : public BuildFixture {
protected:
    QString executable;
    void SetUp() override {
        executable = openHello(QStringLiteral("my asm")) + ".exe";
        commandBox.setText(QStringLiteral("left over"));
    }
};

TEST_F(DebugCommandTest, BlanksInTheArgumentStringBecomePercentTwenty) {
    EXPECT_EQ(debuggerArguments("/home/u/my asm/Debug/hello.exe"), R"( -a -i "/home/u/my%20asm/Debug/hello.exe")");
    EXPECT_EQ(debuggerArguments("/home/u/汇编 50%&x/a b.exe"), R"( -a -i "/home/u/汇编%2050%&x/a%20b.exe")");
}

TEST_F(DebugCommandTest, TheTipsTextIsElevenPiecesJoinedByLineFeedReturnPairs) {
    const QString s = "\n\r\n\r";
    const QString want = "文件: /home/u/my asm/Debug/hello.exe" + s + "文件已经成功加载到Windbg.exe, 您可以直接调试了" +
                         s +
                         "WinDbg窗口打开后，请连续按【F10】键两次，即可调出窗口调试。(如有对话框弹出，请点“确定”.)" +
                         s + "WinDbg快捷键提示：" + s + "   单步跟踪调试：【F10】" + QString(24, u' ') +
                         "键盘操作：直接按键" + s + "     查看寄存器：【Alt】+【4】" + QString(17, u' ') +
                         "键盘操作：同时按下" + s + "        内存跟踪：【Alt】+【5】" + QString(17, u' ') +
                         "键盘操作：同时按下" + s + "          (注意：内存跟踪时，输入须在变量名前加“&”符)" + s +
                         "   自动调整界面：【Alt】+【R】" + QString(16, u' ') + "键盘操作：同时按下" + s +
                         "          (注意：自动调整界面的快捷键只对\"WinDBGNorwick修改版\"有效。)" + s +
                         "调试方法提示：通过以上快捷键提示，调整好界面，每次按下【F10】即可跟踪调试。";
    EXPECT_EQ(debugTipsText("/home/u/my asm/Debug/hello.exe"), want);
}

TEST_F(DebugCommandTest, TheTipsComeFirstThenTheDebuggerOpensTheProgram) {
    writeFile(executable, "program");
    debugProgram(context());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, debugTipsText(executable));
    EXPECT_EQ(dialogs.shown[0].caption, "调试操作提示");
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(dialogs.shown[0].layout, platform::MessageLayout::Columns) << "the key columns line up";
    ASSERT_EQ(shell.started.size(), 1);
    EXPECT_EQ(shell.started[0].first, "./bin/windbg.exe");
    EXPECT_EQ(shell.started[0].second, debuggerArguments(executable));
    EXPECT_TRUE(commandBox.text().isEmpty());
}

TEST_F(DebugCommandTest, WithN27CheckedNoBoxIsShown) {
    writeFile(executable, "program");
    debugTipsOff.setChecked(true);
    debugProgram(context());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    ASSERT_EQ(shell.started.size(), 1);
    EXPECT_EQ(shell.started[0].second, debuggerArguments(executable));
}

TEST_F(DebugCommandTest, WithoutAnExecutableTheNoticeComesAndTheDebuggerOpensEmpty) {
    for (const QString& path : {currentPath, QString()}) {
        dialogs.shown.clear();
        shell.started.clear();
        currentPath = path;
        debugProgram(context());
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(dialogs.shown[0].text, "加载文件不存在,可能需要您手动加载其他文件.");
        EXPECT_EQ(dialogs.shown[0].caption, "提示");
        EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Information);
        ASSERT_EQ(shell.started.size(), 1);
        EXPECT_EQ(shell.started[0].first, program.path() + "/bin/windbg.exe");
        EXPECT_EQ(shell.started[0].second, "");
    }
}

// What the machine lacks (a helper program, a way to run i386 programs) is said in
// a warning naming the package, and nothing is started or written.
TEST_F(RunCommandTest, WhatTheMachineLacksIsSaidInsteadOfStartingAConsole) {
    writeFile(executable, "program");
    shell.missing =
        QStringLiteral("缺少 xterm（运行和调试程序的控制台窗口）：请安装 xterm 软件包（sudo apt install xterm）");
    runProgram(context());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, shell.missing);
    EXPECT_EQ(dialogs.shown[0].caption, "无法运行");
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Warning);
    EXPECT_TRUE(shell.openedBatches.isEmpty());
    EXPECT_FALSE(QFile::exists(batch()));
}

TEST_F(RunCommandTest, AConsoleWindowThatCannotOpenIsReported) {
    writeFile(executable, "program");
    shell.succeed = false;
    runProgram(context());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "无法运行");
    EXPECT_TRUE(dialogs.shown[0].text.contains("xterm"));
}

TEST_F(DebugCommandTest, WhatTheMachineLacksIsSaidBeforeTheTipsAndNothingStarts) {
    writeFile(executable, "program");
    shell.missing = QStringLiteral("缺少 gdb（调试器）：请安装 gdb 软件包（sudo apt install gdb）");
    debugProgram(context());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, shell.missing);
    EXPECT_EQ(dialogs.shown[0].caption, "无法调试");
    EXPECT_TRUE(shell.started.isEmpty());
}
