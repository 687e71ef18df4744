// The console template: the default's bytes, both conversions, the run and test
// batches, paths in batches and the recovery from Backup.dat.
#include "build/ConsoleTemplate.h"
#include "build/TextLines.h"

#include "platform/Cp936.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace asmora::build;

namespace {

// tests/build/data/default-template.bat holds the 25 lines of the default in code
// page 936 with CR LF, encoded by a codec other than the program's own.
QByteArray goldenDefault() {
    QFile file(QStringLiteral(ASMORA_SOURCE_DIR_PATH) + "/tests/build/data/default-template.bat");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    return file.readAll();
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(ConsoleTemplate, TheDefaultIsTwentyFiveLinesByteForByte) {
    QTemporaryDir folder;
    const QString path = folder.path() + "/ExecM.dll";
    writeDefaultTemplate(path);
    EXPECT_EQ(readAll(path), goldenDefault());
    const QStringList lines = decodeTextLines(readAll(path));
    ASSERT_EQ(lines.size(), 25);
    for (int number : {4, 5, 6, 7, 8, 9, 10, 11, 14, 17, 20, 21, 22})
        EXPECT_EQ(platform::cp936::encode(lines[number - 1]).size(), 84) << "line " << number;
    EXPECT_EQ(lines[14], "%FILENAME%");
}

TEST(ConsoleTemplate, TheDefaultInEditableFormAndBackIsTheDefault) {
    const QStringList editable = fileToEditable(defaultTemplate());
    ASSERT_EQ(editable.size(), 23);
    EXPECT_EQ(editable[0], ";;Color F1");
    EXPECT_EQ(editable[1], "");
    EXPECT_EQ(editable[2], QString(79, u'*'));
    EXPECT_EQ(editable[10], "");
    EXPECT_EQ(editable[11], QString(32, u' ') + "程序开始运行");
    EXPECT_EQ(editable[12], QString(79, u'-'));
    EXPECT_EQ(editable[13], ";;%FILENAME%");
    EXPECT_EQ(editable[14], "");
    EXPECT_EQ(editable[22], QString(27, u' ') + "【按任意键可退出程序】");
    EXPECT_EQ(editableToFile(editable), defaultTemplate());
}

TEST(ConsoleTemplate, FileToEditableDropsTheFrameLinesAndMarksCommands) {
    const QStringList file = {"@ECHO OFF", "echo.",      "echo",      "echo  two blanks",
                              "Pause>nul", "DEL ML.BAT", "cls",       "if exist x echo found",
                              "@echo on",  "echoes",     "ECHO upper"};
    const QStringList editable = {"",           "",         " two blanks", ";;cls", ";;if exist x echo found",
                                  ";;@echo on", ";;echoes", ";;ECHO upper"};
    EXPECT_EQ(fileToEditable(file), editable);
    // A command that mentions echo survives a save unchanged.
    EXPECT_EQ(editableToFile(editable).mid(4, 5),
              (QStringList{"cls", "if exist x echo found", "@echo on", "echoes", "ECHO upper"}));
}

TEST(ConsoleTemplate, EditableToFileFollowsTheNotation) {
    EXPECT_EQ(editableToFile({}), (QStringList{"@echo off", "pause>NUL"}));
    EXPECT_EQ(editableToFile({"abc;;def"}), (QStringList{"@echo off", "abcdef", "pause>NUL"}));
    EXPECT_EQ(editableToFile({";;echo off;;"}), (QStringList{"@echo off", "echo off;;", "pause>NUL"}));
    // The four-line Backup.dat of the recovery example.
    EXPECT_EQ(editableToFile({"Hello", "", ";;%FILENAME%", "Bye"}),
              (QStringList{"@echo off", "echo Hello", "echo.", "%FILENAME%", "echo.", "echo Bye", "pause>NUL"}));
    // A marker in any case puts a blank line after the program, before a command too,
    // but not before an empty line, which is one already.
    EXPECT_EQ(editableToFile({";;call %filename% x", "Bye", ";;%FILENAME%", ";;cls", ";;%FILENAME%", ""}),
              (QStringList{"@echo off", "call %filename% x", "echo.", "echo Bye", "%FILENAME%", "echo.", "cls",
                           "%FILENAME%", "echo.", "pause>NUL"}));
}

TEST(ConsoleTemplate, TheRunBatchQuotesTheProgramOnceALineAndDeletesItself) {
    const QStringList lines = {"@echo off", "%FILENAME%", "%FILENAME% %FILENAME%", "%filename%", "echo done"};
    const QString program = "/home/u/my asm/汇编 50%&x/Debug/hello.exe";
    const QString batch = "/opt/asm ide/bin/ml.bat";
    const QStringList want = {"@echo off",  "\"" + program + "\"", "\"" + program + "\" %FILENAME%",
                              "%filename%", "echo done",           "del /A:H /Q \"/opt/asm ide/bin/ml.bat\""};
    EXPECT_EQ(runBatch(lines, program, batch), want);
}

TEST(ConsoleTemplate, AQuoteInTheProgramOrBatchPathIsEscapedSoTheHostReadsItBack) {
    const QStringList batch = runBatch({"%FILENAME%"}, "/home/u/a\" -Fo \"evil.exe", "/opt/a\"b/bin/ml.bat");
    EXPECT_EQ(batch, (QStringList{"\"/home/u/a\\\" -Fo \\\"evil.exe\"", "del /A:H /Q \"/opt/a\\\"b/bin/ml.bat\""}));
}

TEST(ConsoleTemplate, TheTestBatchIsTheFileFormWithAQuotedSelfDeleteLine) {
    const QStringList batch = testBatch({"Hi", ";;%FILENAME%"}, "/opt/asm ide/bin/ml.bat");
    EXPECT_EQ(batch, (QStringList{"@echo off", "echo Hi", "%FILENAME%", "pause>NUL",
                                  "del /A:H /Q \"/opt/asm ide/bin/ml.bat\""}));
}

TEST(ConsoleTemplate, APathThatCodePage936CannotCarryKeepsItsFileSystemBytes) {
    const QString chinese = "/home/u/汇编/Debug/a.exe";
    EXPECT_EQ(pathForBatch(chinese), chinese);
    const QString emoji = QString::fromUtf8("/home/u/\xF0\x9F\x98\x80/Debug/a.exe");
    EXPECT_EQ(platform::cp936::encode(pathForBatch(emoji)), QFile::encodeName(emoji));
    const QByteArray line = encodeTextLines(runBatch({"%FILENAME%"}, emoji, "/b/ml.bat"));
    EXPECT_TRUE(line.startsWith("\"" + QFile::encodeName(emoji) + "\"\r\n"));
}

TEST(ConsoleTemplate, TextLinesEndAtLineFeedsAndKeepUndecodableBytes) {
    EXPECT_EQ(decodeTextLines("a\r\nb\nc"), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(decodeTextLines("\r\n\r\n"), (QStringList{"", ""}));
    EXPECT_TRUE(decodeTextLines("").isEmpty());
    const QByteArray odd("\x80\xff ok\r\n");
    EXPECT_EQ(encodeTextLines(decodeTextLines(odd)), odd);
}

TEST(ConsoleTemplate, TextFilesThatAreDevicesOrPipesAreRefusedAtOnce) {
    QTemporaryDir dir;
    const QString zero = dir.path() + "/template.bat";
    const QString pipe = dir.path() + "/Backup.dat";
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& path : {zero, pipe}) {
        try {
            readTextLines(path);
            ADD_FAILURE() << path.toStdString();
        } catch (const platform::Error& error) {
            EXPECT_TRUE(error.message().startsWith(QStringLiteral("无法读取文件 ") + path + "\n它不是普通文件"))
                << error.message().toStdString();
        }
    }
}
class RecoveryTest : public ::testing::Test {
protected:
    QTemporaryDir program;
    platform::ProgramFolder programFolder() const { return platform::ProgramFolder(program.path()); }
    void SetUp() override { QDir().mkpath(programFolder().bin()); }
};

TEST_F(RecoveryTest, TheBackupBecomesTheTemplateInFileForm) {
    QFile backup(programFolder().templateBackup());
    ASSERT_TRUE(backup.open(QIODevice::WriteOnly));
    backup.write(platform::cp936::encode(QStringLiteral("你好\r\n\r\n;;%FILENAME%\r\nBye\r\n")));
    backup.close();
    restoreTemplateFromBackup(programFolder());
    EXPECT_EQ(readAll(programFolder().consoleTemplate()),
              platform::cp936::encode(QStringLiteral(
                  "@echo off\r\necho 你好\r\necho.\r\n%FILENAME%\r\necho.\r\necho Bye\r\npause>NUL\r\n")));
}

TEST_F(RecoveryTest, WithoutABackupTheTemplateStays) {
    writeDefaultTemplate(programFolder().consoleTemplate());
    const QByteArray before = readAll(programFolder().consoleTemplate());
    restoreTemplateFromBackup(programFolder());
    EXPECT_EQ(readAll(programFolder().consoleTemplate()), before);
}

TEST_F(RecoveryTest, ATemplateThatCannotBeWrittenIsAnErrorAndTheBackupStays) {
    QFile backup(programFolder().templateBackup());
    ASSERT_TRUE(backup.open(QIODevice::WriteOnly));
    backup.write("Hello\r\n");
    backup.close();
    QDir().rmdir(program.path() + "/bin");
    QFile blocker(program.path() + "/bin");  // a file where the bin folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(restoreTemplateFromBackup(programFolder()), platform::Error);
    EXPECT_TRUE(QFile::exists(programFolder().templateBackup()));
}
