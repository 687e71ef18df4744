// Program folder and path helpers.
#include "Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace platform {
namespace {
QString& programFolderStore() {
    static QString folder;
    return folder;
}
}  // namespace

QString executablePath() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(); }

QString programFolder() {
    QString& folder = programFolderStore();
    if (folder.isEmpty()) {
        folder = chooseProgramFolder(folderOf(executablePath()), userProgramFolder());
        QDir().mkpath(folder);
    }
    return folder;
}

QString userProgramFolder() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    // The base directory specification ignores a relative XDG_DATA_HOME.
    if (data.isEmpty() || QDir::isRelativePath(data)) data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/asmora"));
}

QString chooseProgramFolder(const QString& executableFolder, const QString& userFolder) {
    const bool installed = fileExists(executableFolder + u'/' + QString::fromUtf16(kInstalledMarker));
    return installed || !QFileInfo(executableFolder).isWritable() ? userFolder : executableFolder;
}

void setProgramFolder(const QString& folder) {
    QString cleaned = QDir::cleanPath(folder);
    programFolderStore() = cleaned;
}

bool fileExists(const QString& path) {
    QFileInfo info(path);
    return !path.isEmpty() && info.exists() && !info.isDir();
}

bool folderExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

QString resolveCaseInsensitive(const QString& path) {
    if (path.isEmpty() || QFileInfo::exists(path)) return path;
    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString resolved = absolute ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        const QString candidate = resolved.isEmpty() || resolved.endsWith(u'/') ? resolved + part : resolved + u'/' + part;
        if (QFileInfo::exists(candidate) || part == u"." || part == u"..") {
            resolved = candidate;
            continue;
        }
        const QDir folder(resolved.isEmpty() ? QStringLiteral(".") : resolved);
        const QStringList entries = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QString match;
        for (const QString& entry : entries) {
            if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                match = entry;
                break;
            }
        }
        if (match.isEmpty()) return path;
        resolved = resolved.isEmpty() || resolved.endsWith(u'/') ? resolved + match : resolved + u'/' + match;
    }
    return resolved;
}

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) return QString();
    if (slash == 0) return QStringLiteral("/");
    return path.left(slash);
}

QString fileNameOf(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

QString extensionOf(const QString& path) {
    const QString name = fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

QString baseNameOf(const QString& path) {
    const QString name = fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

}  // namespace platform
