// Atomic whole-file writes: what is replaced and what is refused, permissions, and the
// temporary file a writer killed before its rename leaves behind.
#include "platform/AtomicFile.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::AtomicWrite;
using platform::writeFileAtomically;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A process id that has certainly ended: a child that exited and was reaped.
pid_t endedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

class AtomicFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.path() + u'/' + name; }
    QStringList entries() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    QString failureOf(const QString& name) {
        try {
            writeFileAtomically(path(name), "new");
        } catch (const platform::Error& error) {
            return error.message();
        }
        return QString();
    }
};

}  // namespace

TEST_F(AtomicFileTest, ReplacesAFileWholeAndLeavesNoTemporaryFile) {
    writeFileAtomically(path("a.asm"), "first");
    writeFileAtomically(path("a.asm"), "second");
    EXPECT_EQ(readAll(path("a.asm")), "second");
    EXPECT_EQ(entries(), QStringList{"a.asm"});
}

TEST_F(AtomicFileTest, NewFilesGetTheirModeAndExistingFilesKeepTheirs) {
    const auto modeOf = [this](const char* name) {
        struct stat status {};
        ::stat(QFile::encodeName(path(name)).constData(), &status);
        return status.st_mode & 07777;
    };
    writeFileAtomically(path("plain"), "x");
    writeFileAtomically(path("tool"), "x", true);
    EXPECT_EQ(modeOf("plain"), 0644u);
    EXPECT_EQ(modeOf("tool"), 0755u);
    ASSERT_EQ(::chmod(QFile::encodeName(path("plain")).constData(), 0600), 0);
    writeFileAtomically(path("plain"), "y");
    EXPECT_EQ(modeOf("plain"), 0600u);
    writeFileAtomically(path("plain"), "z", true);
    EXPECT_EQ(modeOf("plain"), 0711u);
}

TEST_F(AtomicFileTest, ALinkToARegularFileStaysALinkAndItsFileGetsTheContent) {
    writeFileAtomically(path("real.asm"), "old");
    ASSERT_TRUE(QFile::link(path("real.asm"), path("link.asm")));
    writeFileAtomically(path("link.asm"), "new");
    EXPECT_TRUE(QFileInfo(path("link.asm")).isSymLink());
    EXPECT_EQ(readAll(path("real.asm")), "new");
}

TEST_F(AtomicFileTest, RefusesEverythingThatIsNoRegularFileAndSaysWhyInChinese) {
    ASSERT_TRUE(QDir().mkpath(path("folder")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), path("null-link")));
    ASSERT_TRUE(QFile::link(path("nowhere"), path("dangling")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    const struct {
        const char* name;
        const char16_t* reason;
    } cases[] = {
        {"folder", u"而是文件夹"},       {"null-link", u"而是设备文件"},           {"fifo", u"而是管道"},
        {"dangling", u"指向不存在位置"}, {"missing/x.asm", u"文件或文件夹不存在"},
    };
    for (const auto& c : cases) {
        const QString message = failureOf(QString::fromLatin1(c.name));
        EXPECT_TRUE(message.startsWith(QStringLiteral("无法创建文件 ") + path(c.name))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf16(c.reason))) << message.toStdString();
    }
    EXPECT_TRUE(QFileInfo(path("null-link")).isSymLink());
    EXPECT_TRUE(QFileInfo(path("dangling")).isSymLink());
    EXPECT_EQ(QFileInfo(path("fifo")).isFile(), false);
    EXPECT_EQ(entries(), (QStringList{"dangling", "fifo", "folder", "null-link"}));
}

TEST_F(AtomicFileTest, AWriterKilledBeforeItsRenameLeavesAFileThatTheNextWriteRemoves) {
    writeFileAtomically(path("lab.asm"), "saved");
    // A child writes the whole new text and dies before the rename.
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            AtomicWrite write(path("lab.asm"));
            write.write(QByteArray(100000, 'x'));
            ::_exit(0);  // before the commit and with no destructor run, as when killed
        } catch (...) {
            ::_exit(1);
        }
    }
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const QString left = QStringLiteral(".lab.asm.asmora-%1-").arg(child);
    ASSERT_EQ(entries().size(), 2);
    ASSERT_TRUE(entries()[0].startsWith(left)) << entries().join(u' ').toStdString();
    EXPECT_EQ(QFileInfo(path(entries()[0])).size(), 100000);
    EXPECT_EQ(readAll(path("lab.asm")), "saved");

    // Files that are not such leftovers stay: a running writer's (ours), another
    // file's, and names that only look alike.
    const QStringList kept = {
        QStringLiteral(".lab.asm.asmora-%1-abcdef").arg(::getpid()),
        QStringLiteral(".other.asm.asmora-%1-abcdef").arg(endedProcessId()),
        QStringLiteral(".lab.asm.asmora-notes"),
        QStringLiteral(".lab.asm.asmora-%1-abcdefg").arg(endedProcessId()),
    };
    for (const QString& name : kept) writeFileAtomically(path(name), "keep");

    writeFileAtomically(path("lab.asm"), "saved again");
    EXPECT_EQ(readAll(path("lab.asm")), "saved again");
    QStringList expected = kept;
    expected.append(QStringLiteral("lab.asm"));
    expected.sort();
    EXPECT_EQ(entries(), expected);
}

TEST_F(AtomicFileTest, AWriteWithoutCommitLeavesTheTargetAndRemovesItsTemporaryFile) {
    writeFileAtomically(path("keep.asm"), "old");
    {
        AtomicWrite write(path("keep.asm"));
        write.write("half");
        EXPECT_TRUE(QFile::exists(write.temporaryPath()));
    }
    EXPECT_EQ(readAll(path("keep.asm")), "old");
    EXPECT_EQ(entries(), QStringList{"keep.asm"});
}
