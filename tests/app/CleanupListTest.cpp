// The cleanup list: records of assembly sources only, and what processing deletes.
#include "app/CleanupList.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using asmora::app::TCleanupList;

class CleanupListTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TCleanupList list{dir.path()};
    void SetUp() override { QDir(dir.path()).mkpath("bin"); list.reset(); }
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
    list.addRecord(path("w/lab1.asm"));   // no io.h there yet: "0"
    list.addRecord(path("own/p.asm"));    // the folder has its own io.h: "1"
    touch("w/io.h");                      // copied by assembling afterwards
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
