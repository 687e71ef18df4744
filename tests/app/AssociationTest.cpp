// The file association (ASM1Click) in a temporary XDG data and config folder: the
// four values in their files, writing twice, other entries kept, the failures, and
// what a file manager does with the result.
#include "AppFixture.h"

#include "app/FileAssociation.h"
#include "platform/CarriedResources.h"
#include "platform/Paths.h"
#include "WaitUntil.h"

#include <QProcess>
#include <QStandardPaths>

using namespace asmora::app;

class AssociationTest : public AppFixture {
protected:
    QTemporaryDir xdg;
    QByteArray savedData = qgetenv("XDG_DATA_HOME");
    QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");

    void SetUp() override {
        AppFixture::SetUp();
        qputenv("XDG_DATA_HOME", (xdg.path() + "/data").toUtf8());
        qputenv("XDG_CONFIG_HOME", (xdg.path() + "/config").toUtf8());
        writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
        start();
    }
    void TearDown() override {
        AppFixture::TearDown();
        qputenv("XDG_DATA_HOME", savedData);
        qputenv("XDG_CONFIG_HOME", savedConfig);
    }

    QString data(const QString& tail) const { return xdg.path() + "/data/" + tail; }
    QString config(const QString& tail) const { return xdg.path() + "/config/" + tail; }
    static QByteArray contents(const QString& file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    static void put(const QString& file, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QByteArray expectedEntry() const {
        return "[Desktop Entry]\nType=Application\nMimeType=text/x-asm;\nName=QorvelAsmora\nIcon=" +
               path("bin/asm.ico").toUtf8() + "\nExec=\"" + platform::executablePath().toUtf8() + "\" %f\n";
    }
    void associate() { window->action(MenuId::Associate)->trigger(); }
};

TEST_F(AssociationTest, TheFourValuesLandInTheirFilesAfterTheIcon) {
    associate();
    EXPECT_EQ(contents(path("bin/asm.ico")), platform::carriedResource("ICOFile", "asm_ico"));
    EXPECT_EQ(contents(data("applications/QVL_ASM.desktop")), expectedEntry());
    EXPECT_EQ(contents(config("mimeapps.list")), "[Default Applications]\ntext/x-asm=QVL_ASM.desktop;\n");
    const QByteArray package = contents(data("mime/packages/QVL_ASM.xml"));
    EXPECT_TRUE(package.contains("<mime-type type=\"text/x-asm\">"));
    EXPECT_TRUE(package.contains("<glob pattern=\"*.asm\"/>"));
    EXPECT_TRUE(package.contains("<comment>QorvelAsmora</comment>"));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("成功关联到ASM文件."));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("成功关联"));
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(dialogs.shown[0].buttons, platform::MessageButtons::Ok);
}

TEST_F(AssociationTest, TheDesktopDatabasesAreRefreshed) {
    if (QStandardPaths::findExecutable("update-desktop-database").isEmpty() ||
        QStandardPaths::findExecutable("update-mime-database").isEmpty())
        GTEST_SKIP() << "desktop-file-utils or shared-mime-info is not installed";
    associate();
    EXPECT_TRUE(contents(data("applications/mimeinfo.cache")).contains("text/x-asm=QVL_ASM.desktop;"));
    EXPECT_TRUE(contents(data("mime/globs2")).contains("text/x-asm:*.asm"));
}

TEST_F(AssociationTest, AssociatingTwiceGivesTheSameFilesAndTheMessageTwice) {
    associate();
    const QByteArray entry = contents(data("applications/QVL_ASM.desktop"));
    const QByteArray defaults = contents(config("mimeapps.list"));
    const QByteArray package = contents(data("mime/packages/QVL_ASM.xml"));
    associate();
    EXPECT_EQ(contents(data("applications/QVL_ASM.desktop")), entry);
    EXPECT_EQ(contents(config("mimeapps.list")), defaults);
    EXPECT_EQ(contents(data("mime/packages/QVL_ASM.xml")), package);
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[1].caption, QStringLiteral("成功关联"));
}

TEST_F(AssociationTest, OtherEntriesAndOtherProgramsStay) {
    put(config("mimeapps.list"),
        "# mine\n[Added Associations]\ntext/plain=gedit.desktop;\n\n"
        "[Default Applications]\ntext/x-asm=kate.desktop;\ntext/html=firefox.desktop;\n");
    put(data("applications/QVL_ASM.desktop"),
        "[Desktop Entry]\nType=Application\nName=Old\nComment=kept\n"
        "MimeType=text/plain;\nExec=old %f\n\n[Desktop Action Edit]\nExec=edit %f\n");
    put(data("applications/other.desktop"), "[Desktop Entry]\nName=Other\n");
    associate();
    EXPECT_EQ(contents(config("mimeapps.list")),
              "# mine\n[Added Associations]\ntext/plain=gedit.desktop;\n\n"
              "[Default Applications]\ntext/x-asm=QVL_ASM.desktop;\ntext/html=firefox.desktop;\n");
    EXPECT_EQ(contents(data("applications/QVL_ASM.desktop")),
              "[Desktop Entry]\nType=Application\nName=QorvelAsmora\nComment=kept\n"
              "MimeType=text/plain;text/x-asm;\nExec=\"" +
                  platform::executablePath().toUtf8() + "\" %f\nIcon=" + path("bin/asm.ico").toUtf8() +
                  "\n\n[Desktop Action Edit]\nExec=edit %f\n");
    EXPECT_EQ(contents(data("applications/other.desktop")), "[Desktop Entry]\nName=Other\n");
}

TEST_F(AssociationTest, AFileWithCrLfLineEndsKeepsThem) {
    put(config("mimeapps.list"), "[Default Applications]\r\ntext/html=firefox.desktop;\r\n");
    associate();
    EXPECT_EQ(contents(config("mimeapps.list")),
              "[Default Applications]\r\ntext/html=firefox.desktop;\r\ntext/x-asm=QVL_ASM.desktop;\r\n");
}

TEST_F(AssociationTest, AFileThatIsNotUtf8IsReportedAndLeftAsItIs) {
    const QByteArray latin1 = "[Default Applications]\ntext/plain=caf\xe9.desktop;\n";
    put(config("mimeapps.list"), latin1);
    associate();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(config("mimeapps.list")));
    EXPECT_EQ(contents(config("mimeapps.list")), latin1);
    EXPECT_FALSE(QFile::exists(data("applications/QVL_ASM.desktop")));
}

TEST_F(AssociationTest, AnIconThatIsThereIsKept) {
    writeFile("bin/asm.ico", "my icon");
    associate();
    EXPECT_EQ(readFile("bin/asm.ico"), "my icon");
}

TEST_F(AssociationTest, AnIconThatCannotBeWrittenStopsBeforeAnyValue) {
    QDir().mkpath(path("bin/asm.ico"));  // a folder where the icon should go
    associate();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(path("bin/asm.ico")));
    EXPECT_NE(dialogs.shown[0].caption, QStringLiteral("成功关联"));
    EXPECT_FALSE(QFile::exists(data("applications/QVL_ASM.desktop")));
    EXPECT_FALSE(QFile::exists(config("mimeapps.list")));
    EXPECT_FALSE(QFile::exists(data("mime/packages/QVL_ASM.xml")));
}

TEST_F(AssociationTest, ADataFolderThatCannotBeWrittenIsReportedNotCalledASuccess) {
    put(xdg.path() + "/blocked", "a file, not a folder");
    qputenv("XDG_DATA_HOME", (xdg.path() + "/blocked/data").toUtf8());
    associate();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains("*.asm"));
    EXPECT_TRUE(dialogs.shown[0].text.contains(xdg.path() + "/blocked/data/mime/packages/QVL_ASM.xml"));
    EXPECT_FALSE(QFile::exists(config("mimeapps.list")));  // the later values are not written
}

TEST_F(AssociationTest, AValueThatCannotBeSetIsNamedAndTheRestAreNotWritten) {
    QDir().mkpath(data("applications/QVL_ASM.desktop"));  // the entry's place is taken by a folder
    associate();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains("Name"));
    EXPECT_TRUE(dialogs.shown[0].text.contains(data("applications/QVL_ASM.desktop")));
    EXPECT_NE(dialogs.shown[0].text, QStringLiteral("成功关联到ASM文件."));
    // The values before it are written, and the desktop is still told.
    EXPECT_TRUE(contents(config("mimeapps.list")).contains("text/x-asm=QVL_ASM.desktop;"));
    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
        EXPECT_TRUE(contents(data("mime/globs2")).contains("text/x-asm:*.asm"));
    }
}

TEST(DesktopExecValue, QuotesTheProgramAndEscapesWhatTheLauncherWouldRead) {
    EXPECT_EQ(desktopExecValue("/opt/asmora/asmora"), R"("/opt/asmora/asmora" %f)");
    EXPECT_EQ(desktopExecValue("/opt/my asm/asmora"), R"("/opt/my asm/asmora" %f)");
    // Inside quotes ", `, $ and \ take a backslash; the string rules then double
    // every backslash; a literal % is written %%.
    EXPECT_EQ(desktopExecValue(R"(/a"b/c`d/$e/f\g/100%/asmora)"), R"("/a\\"b/c\\`d/\\$e/f\\\\g/100%%/asmora" %f)");
}

// A desktop that follows the freedesktop rules (GIO here) finds the type of a .asm
// file, takes the program as its default and hands it a path with blanks whole.
TEST_F(AssociationTest, AFileManagerOpensAnAsmFileWithTheProgram) {
    const QString gio = QStandardPaths::findExecutable("gio");
    if (gio.isEmpty()) GTEST_SKIP() << "gio is not installed";
    // A stand-in for the program that writes down the arguments it was given.
    const QString recorder = path("tools/record args");
    writeFile("tools/record args",
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/args.txt\"\n");
    QFile::setPermissions(recorder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeAssociation(AssociationPlaces::forUser(), programFolder(), recorder);
    refreshDesktopDatabase(AssociationPlaces::forUser());
    writeFile("my files/lab 1.asm", "; lab\r\n");

    QProcess query;
    query.start(gio, {"mime", "text/x-asm"});
    ASSERT_TRUE(query.waitForFinished(10000));
    EXPECT_TRUE(query.readAllStandardOutput().contains("QVL_ASM.desktop"));

    QProcess open;
    open.start(gio, {"open", path("my files/lab 1.asm")});
    ASSERT_TRUE(open.waitForFinished(10000));
    // The recorder writes its file after gio has returned: wait until it is whole.
    const QByteArray expected = path("my files/lab 1.asm").toUtf8() + "\n";
    asmora::testing::waitUntil([&] { return readFile("tools/args.txt") == expected; });
    EXPECT_EQ(readFile("tools/args.txt"), expected);
}
