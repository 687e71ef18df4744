// The settings store: Windows rules for names, placement, numbers and bad files.
#include "platform/Errors.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using platform::IniFile;

namespace {
QByteArray readAll(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}
void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}
}  // namespace

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.path() + "/setting.ini"; }
};

TEST_F(IniFileTest, FirstWriteCreatesSectionAndNewKeysGoToTheEndOfTheirSection) {
    IniFile ini(path());
    ini.writeString("setting", "AutoCheckASM", "1");
    ini.writeString("other", "x", "y");
    ini.writeString("setting", "MaxWindow", "0");
    EXPECT_EQ(readAll(path()), "[setting]\r\nAutoCheckASM=1\r\nMaxWindow=0\r\n[other]\r\nx=y\r\n");
}

TEST_F(IniFileTest, ExistingKeyKeepsItsPlaceAndTakesTheWritersName) {
    writeAll(path(), "[Setting]\r\nskinname=LunaBlue\r\nNot_UseSkin=1\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("SETTING", "SkinName"), "LunaBlue");
    ini.writeString("setting", "SkinName", "Vista");
    EXPECT_EQ(readAll(path()), "[Setting]\r\nSkinName=Vista\r\nNot_UseSkin=1\r\n");
}

TEST_F(IniFileTest, NumbersAreDecimalOrHexAndAnythingElseGivesTheDefault) {
    writeAll(path(), "[setting]\nA=1\nB=0x10\nC=word\nD=\nE= 7 \nF=12abc\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readInt("setting", "A", 5), 1);
    EXPECT_EQ(ini.readInt("setting", "B", 5), 16);
    EXPECT_EQ(ini.readInt("setting", "C", 5), 5);
    EXPECT_EQ(ini.readInt("setting", "D", 5), 5);
    EXPECT_EQ(ini.readInt("setting", "E", 5), 7);
    EXPECT_EQ(ini.readInt("setting", "F", 5), 5);
    EXPECT_EQ(ini.readInt("setting", "Missing", 5), 5);
    EXPECT_EQ(IniFile(dir.path() + "/none.ini").readInt("setting", "A", 3), 3);
}

TEST_F(IniFileTest, GarbledOrBinaryFilesAreReadWithoutHarmAndKeptOnWrite) {
    static const char kGarbage[] = "\x00\xff[\x01=\x02\n\xd6\xd0=\xce\xc4\r\n[setting\nK = v \n";
    const QByteArray garbage(kGarbage, sizeof kGarbage - 1);
    writeAll(path(), garbage);
    IniFile ini(path());
    EXPECT_EQ(ini.readString("setting", "k"), "v");
    EXPECT_EQ(ini.readString(QStringLiteral("中"), "x", "d"), "d");
    ini.writeString("setting", "K", "w");
    const QByteArray after = readAll(path());
    static const char kAfter[] = "\x00\xff[\x01=\x02\r\n\xd6\xd0=\xce\xc4\r\n[setting\r\nK=w\r\n";
    EXPECT_EQ(after, QByteArray(kAfter, sizeof kAfter - 1));
}

TEST_F(IniFileTest, ChineseValuesAreStoredInCodePage936) {
    IniFile ini(path());
    ini.writeString("setting", "SkinName", QStringLiteral("中文"));
    EXPECT_EQ(readAll(path()), "[setting]\r\nSkinName=\xD6\xD0\xCE\xC4\r\n");
    EXPECT_EQ(ini.readString("setting", "skinname"), QStringLiteral("中文"));
}

TEST_F(IniFileTest, AWriteThatCannotHappenFailsNamingTheFileAndChangesNothing) {
    // A folder that does not exist stands for every folder the program cannot write
    // to: root, which runs the tests in CI, ignores permission bits.
    const QString missing = dir.path() + "/no-such-folder/setting.ini";
    try {
        IniFile(missing).writeString("setting", "A", "0");
        FAIL() << "the write should fail";
    } catch (const platform::Error& error) {
        EXPECT_TRUE(error.message().contains(missing));
    }
    EXPECT_FALSE(QFile::exists(missing));

    if (geteuid() != 0) {
        writeAll(path(), "[setting]\r\nA=1\r\n");
        chmod(QFile::encodeName(dir.path()).constData(), 0555);
        EXPECT_THROW(IniFile(path()).writeString("setting", "A", "0"), platform::Error);
        chmod(QFile::encodeName(dir.path()).constData(), 0755);
        EXPECT_EQ(readAll(path()), "[setting]\r\nA=1\r\n");
    }
}

TEST_F(IniFileTest, SpecialFilesAndFoldersGiveTheDefaultsAtOnceAndAreNeverReplaced) {
    // Each would block the program or fill its memory if it were read like a file.
    const struct {
        const char* what;
        std::function<bool(const QString&)> make;
        const char16_t* problem;
    } cases[] = {
        {"link to /dev/zero", [](const QString& p) { return QFile::link("/dev/zero", p); }, u"而是设备文件"},
        {"fifo", [](const QString& p) { return ::mkfifo(QFile::encodeName(p).constData(), 0600) == 0; }, u"而是管道"},
        {"folder", [](const QString& p) { return QDir().mkdir(p); }, u"而是文件夹"},
        {"too large",
         [](const QString& p) {
             writeAll(p, QByteArray(IniFile::kMaxBytes + 1, ';'));
             return true;
         },
         u"文件太大"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.make(path())) << c.what;
        IniFile ini(path());
        EXPECT_EQ(ini.readInt("setting", "ASM_ByAuto", 1), 1) << c.what;
        EXPECT_EQ(ini.readString("setting", "SkinName", "Vista"), "Vista") << c.what;
        EXPECT_TRUE(ini.problem().contains(QString::fromUtf16(c.problem))) << c.what << ini.problem().toStdString();
        try {
            ini.writeString("setting", "A", "1");
            ADD_FAILURE() << c.what << ": the write must be refused";
        } catch (const platform::Error& error) {
            EXPECT_TRUE(error.message().startsWith(QStringLiteral("无法写入设置文件 ") + path())) << c.what;
        }
        QFileInfo after(path());
        after.setCaching(false);
        EXPECT_FALSE(after.isFile() && after.size() < 100) << c.what << ": replaced";
        QFile::remove(path());
        QDir().rmdir(path());
    }
}

TEST_F(IniFileTest, AProblemIsReportedForBrokenContentOnlyNotForAMissingOrSoundFile) {
    EXPECT_EQ(IniFile(path()).problem(), QString());
    const struct {
        QByteArray content;
        const char16_t* problem;
    } cases[] = {
        {"[setting]\r\n; note\r\n# note\r\n\r\nA=1\r\n", u""},
        {"[setting]\r\nA=1\r\nrandom words\r\n", u"第 3 行不是设置文件的格式，文件可能已损坏。"},
        {QByteArray("[setting]\r\nA=\0\r\n", 16), u"第 2 行不是设置文件的格式，文件可能已损坏。"},
        {"[setting\r\n", u"第 1 行不是设置文件的格式，文件可能已损坏。"},
    };
    for (const auto& c : cases) {
        writeAll(path(), c.content);
        EXPECT_EQ(IniFile(path()).problem(), QString::fromUtf16(c.problem)) << c.content.toStdString();
    }
}
