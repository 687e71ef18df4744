// Reading only regular files within a size limit: devices, pipes, sockets and folders
// are refused at once, with the reason in Chinese.
#include "platform/Errors.h"
#include "platform/RegularFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using platform::FileKind;

namespace {

class RegularFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.path() + u'/' + QString::fromLatin1(name); }
    void write(const char* name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString refusal(const char* name, qint64 limit = 1024) const {
        try {
            platform::readRegularFile(path(name), limit);
        } catch (const platform::Error& error) {
            return error.message();
        }
        return QString();
    }
};

}  // namespace

TEST_F(RegularFileTest, ReadsARegularFileAlsoThroughALink) {
    write("a.ini", "[setting]\r\n");
    ASSERT_TRUE(QFile::link(path("a.ini"), path("link.ini")));
    EXPECT_EQ(platform::readRegularFile(path("a.ini"), 11), "[setting]\r\n");
    EXPECT_EQ(platform::readRegularFile(path("link.ini"), 1024), "[setting]\r\n");
    QFile file;
    platform::openRegularFile(file, path("link.ini"), 1024);
    EXPECT_EQ(file.readAll(), "[setting]\r\n");
}

TEST_F(RegularFileTest, RefusesSpecialFilesWithoutWaitingAndFilesBeyondTheLimit) {
    write("big.asm", QByteArray(2000, 'x'));
    ASSERT_TRUE(QDir().mkpath(path("folder")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("zero")));
    // A pipe that nobody writes: opening it the ordinary way would wait for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(path("socket"));
    ASSERT_LT(static_cast<size_t>(socketPath.size()), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const struct {
        const char* name;
        FileKind kind;
        const char16_t* reason;
    } cases[] = {
        {"zero", FileKind::Device, u"它不是普通文件，而是设备文件，不能打开。"},
        {"fifo", FileKind::Pipe, u"它不是普通文件，而是管道（FIFO），不能打开。"},
        {"folder", FileKind::Folder, u"它不是普通文件，而是文件夹，不能打开。"},
        {"socket", FileKind::Socket, u"它不是普通文件，而是套接字，不能打开。"},
        {"missing", FileKind::Missing, u"文件或文件夹不存在"},
        {"big.asm", FileKind::Regular, u"文件太大：最多只能打开 1024 字节（0 MB）的文件。"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::fileKindOf(path(c.name)), c.kind) << c.name;
        EXPECT_EQ(refusal(c.name),
                  QStringLiteral("无法打开文件 %1\n%2").arg(path(c.name), QString::fromUtf16(c.reason)))
            << c.name;
    }
    ::close(listener);
}
