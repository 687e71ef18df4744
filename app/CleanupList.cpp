// Reading and writing the cleanup list.
#include "CleanupList.h"

#include "platform/AtomicFile.h"
#include "platform/Cp936.h"
#include "platform/Errors.h"
#include "platform/FileAttributes.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"

#include <QFile>

namespace asmora::app {
namespace {

// The list holds three lines per source opened since the last start.
constexpr qint64 kMaxListBytes = 16LL * 1024 * 1024;

// Record of /home/u/lab1.asm in a folder without io.h:
//   /home/u/
//   /home/u/Debug/lab1
//   0
QByteArray recordFor(const QString& sourcePath) {
    const QString folder = platform::folderOf(sourcePath) + u'/';
    const QString stem = folder + QStringLiteral("Debug/") + platform::baseNameOf(sourcePath);
    const bool hasHeader = platform::fileExists(folder + QStringLiteral("io.h"));
    return platform::cp936::encode(folder + QStringLiteral("\r\n") + stem + QStringLiteral("\r\n") +
                                   (hasHeader ? u'1' : u'0') + QStringLiteral("\r\n"));
}

QString takeLine(QList<QByteArray>& lines) {
    if (lines.isEmpty()) return QString();
    QByteArray line = lines.takeFirst();
    if (line.endsWith('\r')) line.chop(1);
    return platform::cp936::decode(line);
}

}  // namespace

QString TCleanupList::path() const { return programFolder_.cleanupList(); }

void TCleanupList::addRecord(const QString& sourcePath) const {
    if (platform::extensionOf(sourcePath).toLower() != u".asm") return;
    QFile list(path());
    // An append to a pipe would wait for a reader: only the regular file is written.
    if (platform::fileKindOf(path()) != platform::FileKind::Regular || !list.open(QIODevice::Append))
        throw platform::Error(QStringLiteral("I/O error: 无法写入清理列表 %1").arg(path()));
    list.write(recordFor(sourcePath));
}

void TCleanupList::process() const {
    // Only the program's own list is read: a folder, device or pipe in its place is
    // passed over (start-up then reports that it cannot be replaced).
    QList<QByteArray> lines;
    try {
        lines = platform::readRegularFile(path(), kMaxListBytes).split('\n');
    } catch (const platform::Error&) {
        return;
    }
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    while (!lines.isEmpty()) {
        const QString folder = takeLine(lines);
        const QString stem = takeLine(lines);
        const QString hadHeader = takeLine(lines);
        if (!stem.isEmpty())
            for (const char* extension : {".pdb", ".ilk", ".obj"}) QFile::remove(stem + QString::fromLatin1(extension));
        if (hadHeader == u"0" && !folder.isEmpty()) QFile::remove(folder + QStringLiteral("io.h"));
    }
}

void TCleanupList::reset() const {
    QFile::remove(path());
    platform::writeFileAtomically(path(), QByteArray());
    platform::markHidden(path());
}

void TCleanupList::remove() const { QFile::remove(path()); }

}  // namespace asmora::app
