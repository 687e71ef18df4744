// Assemble and link: refusals, header rows, command lines, auto-execution, the
// pause, io.h beside the source and the stale work files.
#include "BuildFixture.h"

#include "build/BuildCommands.h"
#include "build/CleanCommand.h"
#include "build/DebugCommand.h"
#include "build/ListingCommand.h"
#include "build/RunCommand.h"
#include "build/Unit4.h"
#include "build/WorkFiles.h"

#include "platform/CommandLine.h"

using namespace asmora::build;

namespace {

const QString kDashes54(54, u'-');
const QString kDashes53(53, u'-');

}  // namespace

class BuildCommandsTest : public BuildFixture {};

TEST_F(BuildCommandsTest, WorkFilesLieInDebugBesideTheSourceAndDropOnlyTheLastExtension) {
    const WorkFiles files = workFilesOf(QStringLiteral("/home/u/my asm/a.b.ASM"));
    EXPECT_EQ(files.sourceFolder, "/home/u/my asm/");
    EXPECT_EQ(files.outputFolder, "/home/u/my asm/Debug");
    EXPECT_EQ(files.base, "/home/u/my asm/Debug/a.b");
    EXPECT_EQ(files.listing(), "/home/u/my asm/Debug/a.b.lst");
    EXPECT_EQ(workFilesOf(QStringLiteral("/lab.asm")).base, "/Debug/lab");
    // No document: the work base is relative and names no existing folder.
    EXPECT_EQ(workFilesOf(QString()).base, "Debug/");
}

TEST_F(BuildCommandsTest, EveryCommandRefusesAMissingSourceAndAnotherType) {
    struct Row {
        std::function<void(const TBuildContext&)> command;
        const char16_t* typeText;
        const char16_t* typeCaption;
    };
    TForm4 listing;
    const Row rows[] = {
        {assembleSource, u"对不起，当前载入文件不是ASM类型，不能对其进行汇编操作。", u"类型错误-1"},
        {linkObject, u"对不起，当前载入文件不是ASM类型，不能对其进行链接操作。", u"类型错误-2"},
        {runProgram, u"对不起，当前载入文件不是ASM类型，不能对其进行运行操作。", u"类型错误-3"},
        {cleanWorkFiles, u"对不起，当前载入文件不是ASM类型，不能对其进行清理操作。", u"类型错误-4"},
        {[&listing](const TBuildContext& c) { showListing(c, listing); },
         u"对不起，当前载入文件不是ASM类型，不能对其进行相关操作。", u"类型错误-5"},
    };
    const QString text = source(QStringLiteral("notes.txt"));
    output.addRow(QStringLiteral("kept"));
    for (const Row& row : rows) {
        dialogs.shown.clear();
        currentPath = QString();
        row.command(context());
        currentPath = student.path() + QStringLiteral("/saved-elsewhere.asm");  // not on disk
        row.command(context());
        currentPath = text;
        row.command(context());
        ASSERT_EQ(dialogs.shown.size(), 3);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(dialogs.shown[i].text, "操作中断，可能是没有载入源文件或当前文件未保存，请检查后重试。");
            EXPECT_EQ(dialogs.shown[i].caption, "操作中断-1");
            EXPECT_EQ(dialogs.shown[i].icon, platform::MessageIcon::Warning);
        }
        EXPECT_EQ(dialogs.shown[2].text, QString::fromUtf16(row.typeText));
        EXPECT_EQ(dialogs.shown[2].caption, QString::fromUtf16(row.typeCaption));
        EXPECT_EQ(dialogs.shown[2].buttons, platform::MessageButtons::Ok);
    }
    EXPECT_EQ(output.rows(), QStringList{"kept"});
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(executed.isEmpty());
    EXPECT_TRUE(pause.pauses.isEmpty());
    EXPECT_TRUE(shell.openedBatches.isEmpty());
    EXPECT_FALSE(QFile::exists(program.path() + "/bin/ExecM.dll"));
}

TEST_F(BuildCommandsTest, AssemblingAPathWithBlanksAndChineseQuotesItWholeInEveryPosition) {
    currentPath = source(QStringLiteral("my asm/汇编 50%&x/hello.asm"));
    const QString folder = student.path() + QStringLiteral("/my asm/汇编 50%&x");
    output.addRow(QStringLiteral("old row"));
    assembleSource(context());

    const QStringList rows = {
        kDashes54 + " 源文件信息 " + kDashes53,
        "",
        "文件名称：" + currentPath + "\r\n",
        "",
        "输出目录：" + folder + "/Debug\r\n",
        "",
        "\r\n" + kDashes54 + "   汇  编   " + kDashes53 + "\r\n",
        "",
    };
    EXPECT_EQ(output.rows(), rows);
    const QString command = "bin/ml.exe /c /coff /Fl\"" + folder + "/Debug/hello.lst\" /Fo \"" + folder +
                            "/Debug/hello.obj\" /Zi \"" + currentPath + "\" ";
    EXPECT_EQ(commandBox.text(), command);
    EXPECT_EQ(executed, QStringList{command});
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(pause.pauses, QList<int>{1000});
    EXPECT_EQ(headersWritten, QStringList{folder + "/io.h"});
    EXPECT_TRUE(QFileInfo(folder + "/Debug").isDir());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

// Every character a Linux file name can hold reaches the tools inside its own
// argument: quotes and backslashes cannot end the argument or start an option.
TEST_F(BuildCommandsTest, CommandsSplitBackIntoThePathsWhateverTheirNamesHold) {
    const QStringList folders = {
        QStringLiteral("/w/plain"),         QStringLiteral("/w/a\" -Fo \"x"), QStringLiteral("/w/back\\"),
        QStringLiteral("/w/back\\\\\"q"),   QStringLiteral("/w/tab\there"),   QStringLiteral("/w/line\nbreak"),
        QStringLiteral("/w/'$(x)`;|&<>*?"), QStringLiteral("/w/汇编 50%&1"),  QStringLiteral("/w/ lead and trail "),
    };
    for (const QString& folder : folders) {
        for (const QString& name : {QStringLiteral("a\" -Fo \"evil.asm"), QStringLiteral("x\\.asm"),
                                    QStringLiteral("-o.asm"), QStringLiteral("\"\".asm")}) {
            const QString sourcePath = folder + u'/' + name;
            const WorkFiles files = workFilesOf(sourcePath);
            EXPECT_EQ(platform::splitWindowsCommandLine(assemblerCommand(files, sourcePath)),
                      (QStringList{"bin/ml.exe", "/c", "/coff", "/Fl" + files.listing(), "/Fo", files.object(), "/Zi",
                                   sourcePath}))
                << sourcePath.toStdString();
            EXPECT_EQ(platform::splitWindowsCommandLine(linkerCommand(files, platform::ProgramFolder(folder))),
                      (QStringList{"bin/link.exe", "/debug", "/subsystem:console", "/entry:start",
                                   "/out:" + files.executable(), files.object(), folder + "/bin/io.obj",
                                   folder + "/bin/kernel32.lib"}))
                << sourcePath.toStdString();
        }
    }
}

TEST_F(BuildCommandsTest, ADottedNameAndAnUpperCaseExtensionAreAssembled) {
    currentPath = source(QStringLiteral("a.b.ASM"));
    assembleSource(context());
    const QString debug = student.path() + "/Debug/";
    EXPECT_EQ(commandBox.text(), "bin/ml.exe /c /coff /Fl\"" + debug + "a.b.lst\" /Fo \"" + debug + "a.b.obj\" /Zi \"" +
                                     currentPath + "\" ");
    EXPECT_EQ(executed.size(), 1);
}

TEST_F(BuildCommandsTest, WithoutAutoExecutionTheHeaderAndCommandStayAndThePauseStillHappens) {
    autoExecute.setChecked(false);
    currentPath = source(QStringLiteral("lab1.asm"));
    assembleSource(context());
    EXPECT_TRUE(executed.isEmpty());
    EXPECT_EQ(output.count(), 8);
    EXPECT_TRUE(commandBox.text().startsWith("bin/ml.exe /c /coff"));
    EXPECT_EQ(pause.pauses, QList<int>{1000});
}

TEST_F(BuildCommandsTest, ARefusedCommandLeavesNoCommandOfTheFileBuiltBefore) {
    autoExecute.setChecked(false);
    const QString notes = source(QStringLiteral("notes.txt"));
    for (const auto& command : {assembleSource, linkObject}) {
        currentPath = source(QStringLiteral("lab1.asm"));
        command(context());
        ASSERT_TRUE(commandBox.text().contains("lab1"));
        currentPath = notes;
        command(context());
        EXPECT_EQ(commandBox.text(), QString());
        currentPath = QString();
        commandBox.setText(QStringLiteral("bin/ml.exe old"));
        command(context());
        EXPECT_EQ(commandBox.text(), QString());
    }
    EXPECT_TRUE(executed.isEmpty());
}

TEST_F(BuildCommandsTest, AFolderWithItsOwnHeaderKeepsIt) {
    currentPath = source(QStringLiteral("lab1.asm"));
    writeFile(student.path() + "/io.h", "; the student's own\r\n");
    assembleSource(context());
    EXPECT_TRUE(headersWritten.isEmpty());
    EXPECT_EQ(readFile(student.path() + "/io.h"), "; the student's own\r\n");
}

TEST_F(BuildCommandsTest, AssemblingDeletesTheStaleWorkFilesBeforeTheAssemblerRuns) {
    currentPath = source(QStringLiteral("lab1.asm"));
    const QString base = student.path() + "/Debug/lab1";
    for (const char* extension : kWorkExtensions) writeFile(base + extension, "old");
    writeFile(base + ".txt", "other");
    QStringList leftWhenRun;
    onExecute = [&] {
        for (const char* extension : kWorkExtensions)
            if (QFile::exists(base + extension)) leftWhenRun.append(QString::fromLatin1(extension));
    };
    assembleSource(context());
    EXPECT_EQ(executed.size(), 1);
    EXPECT_TRUE(leftWhenRun.isEmpty()) << leftWhenRun.join(u' ').toStdString();
    EXPECT_TRUE(QFile::exists(base + ".txt"));
}

TEST_F(BuildCommandsTest, LinkWritesItsHeaderAndCommandWithoutSavingDeletingOrPausing) {
    currentPath = source(QStringLiteral("my asm/lab 1.asm"));
    const QString folder = student.path() + "/my asm";
    writeFile(folder + "/Debug/lab 1.exe", "old");
    output.addRow(QStringLiteral("old row"));
    linkObject(context());
    const QStringList rows = {
        "", kDashes54 + " 源文件信息 " + kDashes53 + "\r\n",
        "", "文件名称：" + currentPath + "\r\n",
        "", "输出目录：" + folder + "/Debug",
        "", "\r\n" + kDashes54 + "   链  接   " + kDashes53 + "\r\n",
        "",
    };
    EXPECT_EQ(output.rows(), rows);
    const QString command = "bin/link.exe /debug /subsystem:console /entry:start /out:\"" + folder +
                            "/Debug/lab 1.exe\" \"" + folder + "/Debug/lab 1.obj\" \"" + program.path() +
                            "/bin/io.obj\" \"" + program.path() + "/bin/kernel32.lib\"";
    EXPECT_EQ(commandBox.text(), command);
    EXPECT_EQ(executed, QStringList{command});
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(pause.pauses.isEmpty());
    EXPECT_TRUE(headersWritten.isEmpty());
    EXPECT_TRUE(QFile::exists(folder + "/Debug/lab 1.exe"));
}

TEST_F(BuildCommandsTest, LinkWithoutAutoExecutionRunsNothing) {
    autoExecute.setChecked(false);
    currentPath = source(QStringLiteral("lab1.asm"));
    linkObject(context());
    EXPECT_TRUE(executed.isEmpty());
    EXPECT_TRUE(commandBox.text().startsWith("bin/link.exe "));
    EXPECT_FALSE(QFileInfo::exists(student.path() + "/Debug"));
}
