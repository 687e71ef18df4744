// The files under the program folder: every path is the folder, "/bin/" where the
// file lives in bin, and the file's stored name, with no doubled separator.
#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

using platform::ProgramFolder;

TEST(ProgramFolder, NamesEveryFileItKeeps) {
    const ProgramFolder folder(QStringLiteral("/home/学生/my asm"));
    const struct {
        QString made;
        const char16_t* expected;
    } rows[] = {
        {folder.bin(), u"/home/学生/my asm/bin"},
        {folder.settingsFile(), u"/home/学生/my asm/bin/setting.ini"},
        {folder.cleanupList(), u"/home/学生/my asm/bin/Rubish.ini"},
        {folder.consoleTemplate(), u"/home/学生/my asm/bin/ExecM.dll"},
        {folder.runBatch(), u"/home/学生/my asm/bin/ml.bat"},
        {folder.debugger(), u"/home/学生/my asm/bin/windbg.exe"},
        {folder.ioObject(), u"/home/学生/my asm/bin/io.obj"},
        {folder.kernel32Library(), u"/home/学生/my asm/bin/kernel32.lib"},
        {folder.helpFile(), u"/home/学生/my asm/bin/Asmora帮助.hlp"},
        {folder.helpIndex(), u"/home/学生/my asm/bin/Asmora帮助.GID"},
        {folder.icon(), u"/home/学生/my asm/bin/asm.ico"},
        {folder.templateBackup(), u"/home/学生/my asm/Backup.dat"},
        {folder.file(u"bin/io.h"), u"/home/学生/my asm/bin/io.h"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.made, QString::fromUtf16(row.expected));
}
