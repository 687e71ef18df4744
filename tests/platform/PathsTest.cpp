// Path helpers and case-insensitive resolution.
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace platform;

namespace {
void touch(const QString& path) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}
}  // namespace

TEST(Paths, ResolvesMissingComponentsIgnoringCase) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("bin");
    touch(dir.path() + "/bin/ML.EXE");
    touch(dir.path() + "/bin/ml.bat");
    touch(dir.path() + "/bin/Kernel32.Lib");
    EXPECT_EQ(resolveCaseInsensitive(dir.path() + "/bin/ml.exe"), dir.path() + "/bin/ML.EXE");
    EXPECT_EQ(resolveCaseInsensitive(dir.path() + "/BIN/Ml.bat"), dir.path() + "/bin/ml.bat");
    EXPECT_EQ(resolveCaseInsensitive(dir.path() + "/bin/kernel32.lib"), dir.path() + "/bin/Kernel32.Lib");
    // An exact match wins and a missing name comes back as given.
    EXPECT_EQ(resolveCaseInsensitive(dir.path() + "/bin/ml.bat"), dir.path() + "/bin/ml.bat");
    EXPECT_EQ(resolveCaseInsensitive(dir.path() + "/bin/none.exe"), dir.path() + "/bin/none.exe");
}

TEST(Paths, ResolvesRelativePathsAgainstTheCurrentFolder) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("bin");
    touch(dir.path() + "/bin/Link.EXE");
    const QString saved = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_EQ(resolveCaseInsensitive("bin/link.exe"), "bin/Link.EXE");
    QDir::setCurrent(saved);
}

TEST(Paths, NamePartsFollowTheLastSeparatorAndDot) {
    EXPECT_EQ(folderOf("/home/u/my asm/a.b.asm"), "/home/u/my asm");
    EXPECT_EQ(fileNameOf("/home/u/my asm/a.b.asm"), "a.b.asm");
    EXPECT_EQ(extensionOf("/home/u/a.b.ASM"), ".ASM");
    EXPECT_EQ(baseNameOf("/home/u/a.b.asm"), "a.b");
    EXPECT_EQ(extensionOf("/home/u.d/noext"), "");
    EXPECT_EQ(baseNameOf("/home/u.d/noext"), "noext");
    EXPECT_EQ(folderOf("/a"), "/");
}

// An installed program (the marker beside it) or one in a folder it cannot write
// keeps its writable part in the user's folder; a program in its own folder keeps
// everything beside itself.
TEST(Paths, TheProgramFolderIsTheUsersOwnWhenTheProgramIsInstalled) {
    QTemporaryDir dir;
    const QString installed = dir.path() + QStringLiteral("/usr/lib/asmora");
    const QString portable = dir.path() + QStringLiteral("/my tools/汇编");
    QDir().mkpath(installed);
    QDir().mkpath(portable);
    touch(installed + u'/' + QString::fromUtf16(kInstalledMarker));
    const QString user = dir.path() + QStringLiteral("/home/.local/share/asmora");
    EXPECT_EQ(chooseProgramFolder(installed, user), user);
    EXPECT_EQ(chooseProgramFolder(portable, user), portable);
    EXPECT_EQ(chooseProgramFolder(dir.path() + QStringLiteral("/gone"), user), user);
}

TEST(Paths, TheUsersProgramFolderFollowsXdgDataHome) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/tmp/data home");
    EXPECT_EQ(userProgramFolder(), QStringLiteral("/tmp/data home/asmora"));
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(userProgramFolder(), QDir::homePath() + QStringLiteral("/.local/share/asmora"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(userProgramFolder(), QDir::homePath() + QStringLiteral("/.local/share/asmora"));
    if (!saved.isNull()) qputenv("XDG_DATA_HOME", saved);
}
