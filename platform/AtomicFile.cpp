// Atomic whole-file writes through a temporary file and rename.
#include "AtomicFile.h"

#include "Errors.h"
#include "SystemReasons.h"
#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr mode_t kExecuteBits = 0111;
// Room for ".asmora-<pid>-XXXXXX" within a file name of at most 255 bytes.
constexpr qsizetype kMaxNameBytesInTemporary = 200;
const QString kTemporaryMarker = QStringLiteral(".asmora-");

// The target's name as it appears in its temporary files: cut to fit a file name.
QString nameInTemporary(const QString& target) {
    QString name = QFileInfo(target).fileName();
    while (QFile::encodeName(name).size() > kMaxNameBytesInTemporary) name.chop(1);
    return name;
}

QString temporaryPrefix(const QString& target) { return u'.' + nameInTemporary(target) + kTemporaryMarker; }

bool processHasEnded(qint64 pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

// The file a write of `path` replaces: `path` itself, or the destination of a link.
QString resolveTarget(const QString& path) {
    struct stat status{};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) {
        if (errno == ENOENT) return path;
        throw fileCreationError(path, systemReason(errno));
    }
    QString target = path;
    if (S_ISLNK(status.st_mode)) {
        target = QFileInfo(path).canonicalFilePath();
        if (target.isEmpty()) throw fileCreationError(path, QStringLiteral("它是一个指向不存在位置的符号链接。"));
    }
    const FileKind kind = fileKindOf(target);
    if (kind != FileKind::Regular)
        throw fileCreationError(path, QStringLiteral("它不是普通文件，而是%1，不能写入。").arg(fileKindName(kind)));
    if (::access(QFile::encodeName(target).constData(), W_OK) != 0)
        throw fileCreationError(path, QStringLiteral("文件是只读的。"));
    return target;
}

mode_t modeFor(const QString& target, bool executable) {
    struct stat status{};
    const mode_t mode = ::stat(QFile::encodeName(target).constData(), &status) == 0 ? status.st_mode & 07777
                                                                                     : kNewFileMode;
    return executable ? mode | kExecuteBits : mode;
}

}  // namespace

AtomicWrite::AtomicWrite(const QString& path, bool executable) : path_(path), target_(resolveTarget(path)) {
    removeStaleTemporaryFiles(target_);
    const QString folder = QFileInfo(target_).absolutePath();
    QByteArray pattern = QFile::encodeName(folder + u'/' + temporaryPrefix(target_) +
                                           QString::number(::getpid()) + QStringLiteral("-XXXXXX"));
    const mode_t mode = modeFor(target_, executable);
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) fail(errno);
    temporaryPath_ = QFile::decodeName(pattern);
    if (::fchmod(fd_, mode) != 0) fail(errno);
}

AtomicWrite::~AtomicWrite() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporaryPath_.isEmpty()) ::unlink(QFile::encodeName(temporaryPath_).constData());
}

void AtomicWrite::fail(int errorNumber) { throw fileCreationError(path_, systemReason(errorNumber)); }

void AtomicWrite::write(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) fail(written < 0 ? errno : ENOSPC);
        data += written;
        left -= written;
    }
}

void AtomicWrite::commit() {
    if (::fdatasync(fd_) != 0 && errno != EINVAL) fail(errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) fail(errno);
    if (::rename(QFile::encodeName(temporaryPath_).constData(), QFile::encodeName(target_).constData()) != 0)
        fail(errno);
    temporaryPath_.clear();
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, bool executable) {
    AtomicWrite file(path, executable);
    file.write(bytes);
    file.commit();
}

int removeStaleTemporaryFiles(const QString& path) {
    const QRegularExpression ours(u'^' + QRegularExpression::escape(temporaryPrefix(path)) +
                                  QStringLiteral("(\\d+)-[A-Za-z0-9]{6}$"));
    const QDir folder = QFileInfo(path).absoluteDir();
    int removed = 0;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch match = ours.match(name);
        if (!match.hasMatch() || !processHasEnded(match.captured(1).toLongLong())) continue;
        const QByteArray entry = QFile::encodeName(folder.filePath(name));
        struct stat status{};
        if (::lstat(entry.constData(), &status) == 0 && S_ISREG(status.st_mode) && ::unlink(entry.constData()) == 0)
            ++removed;
    }
    return removed;
}

}  // namespace platform
