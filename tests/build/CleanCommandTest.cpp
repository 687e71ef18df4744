// Clean and DelYongYu: the rows, the pauses, the Debug folder, and a file that
// cannot be deleted.
#include "BuildFixture.h"

#include "build/CleanCommand.h"
#include "build/WorkFiles.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace asmora::build;

namespace {

const QString kStart = QString(54, u'-') + "清理冗余文件" + QString(53, u'-');
const QString kEnd = "\r\n" + QString(54, u'-') + "清理操作结束" + QString(53, u'-') + "\r\n";

// Makes a file undeletable: a read-only folder stops an ordinary user; the
// immutable flag stops the super-user too. Returns false when neither works here.
bool pinFile(const QString& file) {
    const QByteArray folder = QFile::encodeName(QFileInfo(file).path());
    ::chmod(folder.constData(), 0555);
    if (::access(folder.constData(), W_OK) != 0) return true;
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    const bool pinned = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                        (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    ::close(fd);
    return pinned;
}

void unpinFile(const QString& file) {
    ::chmod(QFile::encodeName(QFileInfo(file).path()).constData(), 0755);
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
    if (fd < 0) return;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags &= ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
}

}  // namespace

class CleanCommandTest : public BuildFixture {
protected:
    QString base;
    void SetUp() override {
        base = openHello(QStringLiteral("my asm/汇编"));
        output.addRow(QStringLiteral("old row"));
    }
    void writeWorkFiles() {
        for (const char* extension : kWorkExtensions) writeFile(base + extension, "x");
    }
};

TEST_F(CleanCommandTest, EveryWorkFileIsReportedDeletedInOrderAndTheEmptyFolderGoes) {
    writeWorkFiles();
    cleanWorkFiles(context());
    QStringList rows = {"", kStart, ""};
    for (const char* extension : {".exe", ".lst", ".ilk", ".obj", ".pdb"})
        rows.append("发现文件：" + base + extension + QString(25, u'-') + "成功删除。");
    rows << "" << kEnd;
    EXPECT_EQ(output.rows(), rows);
    EXPECT_EQ(pause.pauses, (QList<int>{100, 100, 100, 100, 100}));
    EXPECT_FALSE(QFileInfo::exists(student.path() + "/my asm/汇编/Debug"));
    EXPECT_TRUE(QFile::exists(currentPath));
}

TEST_F(CleanCommandTest, WithoutWorkFilesOnlyTheBannersShowAndAnEmptyFolderGoes) {
    QDir().mkpath(student.path() + "/my asm/汇编/Debug");
    cleanWorkFiles(context());
    EXPECT_EQ(output.rows(), (QStringList{"", kStart, "", "", kEnd}));
    EXPECT_TRUE(pause.pauses.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(student.path() + "/my asm/汇编/Debug"));
}

TEST_F(CleanCommandTest, AFolderWithOtherFilesStays) {
    writeWorkFiles();
    writeFile(base + ".map", "other");
    cleanWorkFiles(context());
    EXPECT_EQ(output.count(), 10);
    for (const char* extension : kWorkExtensions) EXPECT_FALSE(QFile::exists(base + extension)) << extension;
    EXPECT_TRUE(QFile::exists(base + ".map"));
}

TEST_F(CleanCommandTest, AFileThatCannotBeDeletedIsReportedAsNotDeleted) {
    writeFile(base + ".exe", "running");
    if (!pinFile(base + ".exe")) {
        unpinFile(base + ".exe");
        GTEST_SKIP() << "this file system lets every file be deleted (no read-only folder, no immutable flag)";
    }
    cleanWorkFiles(context());
    unpinFile(base + ".exe");
    EXPECT_EQ(
        output.rows(),
        (QStringList{"", kStart, "", "发现文件：" + base + ".exe" + QString(25, u'-') + "未能删除，文件可能正在使用。",
                     "", kEnd}));
    EXPECT_TRUE(QFile::exists(base + ".exe"));
    EXPECT_TRUE(QFileInfo::exists(student.path() + "/my asm/汇编/Debug"));
}

TEST_F(CleanCommandTest, DelYongYuDeletesTheWorkFilesSilentlyAndSelectsTheLastRow) {
    writeWorkFiles();
    writeFile(base + ".asm", "kept");
    output.addRow(QStringLiteral("last"));
    DelYongYu(output, base);
    EXPECT_EQ(output.rows(), (QStringList{"old row", "last"}));
    EXPECT_EQ(output.currentIndex().row(), 1);
    for (const char* extension : kWorkExtensions) EXPECT_FALSE(QFile::exists(base + extension)) << extension;
    EXPECT_TRUE(QFile::exists(base + ".asm"));
    EXPECT_TRUE(QFileInfo::exists(student.path() + "/my asm/汇编/Debug"));
}
