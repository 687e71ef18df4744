// Carried resources: lookup ignoring case and atomic, executable extraction.
#include "platform/CarriedResources.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace platform;

TEST(CarriedResources, LookupIgnoresCaseOfTypeAndName) {
    EXPECT_TRUE(hasCarriedResource("ExeFile", "tool_exe"));
    EXPECT_TRUE(hasCarriedResource("EXEFILE", "TOOL_EXE"));
    EXPECT_EQ(carriedResource("hfile", "IO_H"), QByteArray("; sample header\r\n"));
    EXPECT_FALSE(hasCarriedResource("HFile", "missing"));
    // Two spellings of one type are the same type.
    EXPECT_TRUE(hasCarriedResource("HFile", "other_h"));
    EXPECT_TRUE(hasCarriedResource("hfile", "io_h"));
}

TEST(CarriedResources, AMissingResourceRaisesAnErrorNamingIt) {
    QTemporaryDir dir;
    try {
        writeCarriedFile("HFile", "nothing_h", dir.path() + "/x");
        FAIL();
    } catch (const Error& error) {
        EXPECT_TRUE(error.message().contains("nothing_h"));
    }
    EXPECT_FALSE(QFile::exists(dir.path() + "/x"));
}

TEST(CarriedResources, WritingReplacesTheTargetAndMarksExecutables) {
    QTemporaryDir dir;
    const QString target = dir.path() + "/ML.EXE";
    {
        QFile old(target);
        old.open(QIODevice::WriteOnly);
        old.write("old content that is longer than the new one");
    }
    writeCarriedFile("ExeFile", "tool_exe", target);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("#!/bin/sh\necho tool\n"));
    EXPECT_TRUE(QFileInfo(target).isExecutable());
    writeCarriedFile("HFile", "io_h", dir.path() + "/io.h");
    EXPECT_FALSE(QFileInfo(dir.path() + "/io.h").permissions() & QFileDevice::ExeOwner);
}

TEST(CarriedResources, AnUnwritableTargetRaisesAnErrorNamingThePath) {
    const QString target = "/nonexistent-folder-for-test/io.h";
    try {
        writeCarriedFile("HFile", "io_h", target);
        FAIL();
    } catch (const Error& error) {
        EXPECT_TRUE(error.message().contains(target));
    }
}
