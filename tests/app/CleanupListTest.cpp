// The cleanup list: records of assembly sources only, and what processing deletes.
#include "app/CleanupList.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using asmora::app::TCleanupList;

class CleanupListTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TCleanupList list{platform::ProgramFolder(dir.path())};
    void SetUp() override {
        QDir(dir.path()).mkpath("bin");
        list.reset();
    }
    QString path(const QString& tail) const { return dir.path() + u'/' + tail; }
    void touch(const QString& tail) const {
        QDir().mkpath(QFileInfo(path(tail)).path());
        QFile file(path(tail));
        file.open(QIODevice::WriteOnly);
    }
};

TEST_F(CleanupListTest, RecordsOnlyAssemblySourcesAndNotesTheirOwnHeader) {
    touch("a/io.h");
    list.addRecord(path("a/x.txt"));
    list.addRecord(path("a/lab1.ASM"));
    QFile file(list.path());
    file.open(QIODevice::ReadOnly);
    EXPECT_EQ(file.readAll(), (path("a/") + "\r\n" + path("a/Debug/lab1") + "\r\n1\r\n").toUtf8());
}

TEST_F(CleanupListTest, ProcessingDeletesWorkFilesAndACopiedHeaderOnly) {
    for (const char* tail : {"w/Debug/lab1.obj", "w/Debug/lab1.ilk", "w/Debug/lab1.pdb", "w/Debug/lab1.exe",
                             "w/Debug/lab1.lst", "own/Debug/p.obj", "own/io.h"})
        touch(tail);
    list.addRecord(path("w/lab1.asm"));  // no io.h there yet: "0"
    list.addRecord(path("own/p.asm"));   // the folder has its own io.h: "1"
    touch("w/io.h");                     // copied by assembling afterwards
    list.process();
    for (const char* gone : {"w/Debug/lab1.obj", "w/Debug/lab1.ilk", "w/Debug/lab1.pdb", "w/io.h", "own/Debug/p.obj"})
        EXPECT_FALSE(QFile::exists(path(gone))) << gone;
    for (const char* kept : {"w/Debug/lab1.exe", "w/Debug/lab1.lst", "own/io.h", "bin/Rubish.ini"})
        EXPECT_TRUE(QFile::exists(path(kept))) << kept;
}

TEST_F(CleanupListTest, ATruncatedRecordDeletesNothingItCannotName) {
    touch("t/Debug/a.obj");
    touch("t/io.h");
    QFile file(list.path());
    file.open(QIODevice::WriteOnly);
    file.write((path("t/") + "\r\n" + path("t/Debug/a") + "\r\n").toUtf8());  // line 3 missing
    file.close();
    list.process();
    EXPECT_FALSE(QFile::exists(path("t/Debug/a.obj")));
    EXPECT_TRUE(QFile::exists(path("t/io.h")));
}

TEST_F(CleanupListTest, AddingToAMissingListIsAnError) {
    list.remove();
    EXPECT_THROW(list.addRecord(path("a.asm")), platform::Error);
}

// A pipe or a folder in the list's place neither blocks processing nor adding, and
// reset replaces a pipe with the list again.
TEST_F(CleanupListTest, APipeOrFolderInTheListsPlaceNeverBlocks) {
    list.remove();
    ASSERT_EQ(::mkfifo(QFile::encodeName(list.path()).constData(), 0600), 0);
    list.process();
    EXPECT_THROW(list.addRecord(path("a.asm")), platform::Error);
    list.reset();
    EXPECT_TRUE(QFileInfo(list.path()).isFile());

    list.remove();
    ASSERT_TRUE(QDir().mkdir(list.path()));
    list.process();
    EXPECT_THROW(list.addRecord(path("a.asm")), platform::Error);
    EXPECT_THROW(list.reset(), platform::Error);
    EXPECT_TRUE(QFileInfo(list.path()).isDir());
}
