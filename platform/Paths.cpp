// Program folder and path helpers.
#include "Paths.h"

#include "CaseInsensitivePath.h"

#include <QDir>
#include <QFile>
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
    // Names are compared with Qt's case folding, so letters beyond ASCII match too.
    const auto sameName = [](std::string_view entry, std::string_view wanted) {
        return QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()))
                   .compare(QString::fromUtf8(wanted.data(), static_cast<qsizetype>(wanted.size())),
                            Qt::CaseInsensitive) == 0;
    };
    const auto found = asmora::toolkit::resolveCaseInsensitive(QFile::encodeName(path).toStdString(), sameName);
    return found ? QFile::decodeName(QByteArray::fromStdString(*found)) : path;
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
