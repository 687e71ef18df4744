// Reading only regular files, with a size limit.
#include "RegularFile.h"

#include "Errors.h"
#include "SystemReasons.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

Error openError(const QString& path, const QString& reason) {
    return Error(QStringLiteral("无法打开文件 %1\n%2").arg(path, reason), reason);
}

Error notRegularError(const QString& path, FileKind kind) {
    return openError(path, QStringLiteral("它不是普通文件，而是%1，不能打开。").arg(fileKindName(kind)));
}

Error tooLargeError(const QString& path, qint64 maxBytes) {
    return openError(
        path,
        QStringLiteral("文件太大：最多只能打开 %1 字节（%2 MB）的文件。").arg(maxBytes).arg(maxBytes / (1024 * 1024)));
}

// Checks the open descriptor, the one that will be read, not the name.
void checkOpened(int fd, const QString& path, qint64 maxBytes) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) throw openError(path, systemReason(errno));
    const FileKind kind = asmora::toolkit::fileKindOfMode(status.st_mode);
    if (kind != FileKind::Regular) throw notRegularError(path, kind);
    if (status.st_size > maxBytes) throw tooLargeError(path, maxBytes);
}

}  // namespace

FileKind fileKindOf(const QString& path) { return asmora::toolkit::fileKindOf(QFile::encodeName(path).toStdString()); }

QString fileKindName(FileKind kind) {
    switch (kind) {
        case FileKind::Missing:
            return QStringLiteral("不存在的文件");
        case FileKind::Regular:
            return QStringLiteral("普通文件");
        case FileKind::Folder:
            return QStringLiteral("文件夹");
        case FileKind::Device:
            return QStringLiteral("设备文件");
        case FileKind::Pipe:
            return QStringLiteral("管道（FIFO）");
        case FileKind::Socket:
            return QStringLiteral("套接字");
        case FileKind::Unknown:
            break;
    }
    return QStringLiteral("特殊文件");
}

void openRegularFile(QFile& file, const QString& path, qint64 maxBytes) {
    // The name is looked at first, so that not even an open touches a device; the
    // open itself does not wait for a writer, should a pipe appear meanwhile.
    const FileKind kind = fileKindOf(path);
    if (kind == FileKind::Missing) throw openError(path, systemReason(ENOENT));
    if (kind != FileKind::Regular) throw notRegularError(path, kind);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw openError(path, systemReason(errno));
    try {
        checkOpened(fd, path, maxBytes);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.setFileName(path);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw openError(path, file.errorString());
    }
}

QByteArray readRegularFile(const QString& path, qint64 maxBytes) {
    QFile file;
    openRegularFile(file, path, maxBytes);
    QByteArray content;
    content.reserve(file.size());
    char piece[64 * 1024];
    while (true) {
        const qint64 got = file.read(piece, sizeof piece);
        if (got < 0) throw openError(path, file.errorString());
        if (got == 0) return content;
        if (content.size() + got > maxBytes) throw tooLargeError(path, maxBytes);
        content.append(piece, got);
    }
}

}  // namespace platform
