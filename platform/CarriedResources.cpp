// Lookup and extraction of carried files from the Qt resource system.
#include "CarriedResources.h"

#include "AtomicFile.h"
#include "Errors.h"

#include <QDir>
#include <QFile>

namespace platform {
namespace {

const QString kRoot = QStringLiteral(":/carried");

// The entries of `folder` whose names equal `name` ignoring case.
QStringList findIgnoringCase(const QString& folder, const QString& name) {
    QStringList found;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0) found.append(folder + u'/' + entry);
    return found;
}

}  // namespace

// Types that differ only in case ("DLLFILE", "DllFile") are one type.
QString carriedResourcePath(const QString& type, const QString& name) {
    for (const QString& typeFolder : findIgnoringCase(kRoot, type)) {
        const QStringList files = findIgnoringCase(typeFolder, name);
        if (!files.isEmpty()) return files.front();
    }
    return QString();
}

bool hasCarriedResource(const QString& type, const QString& name) { return !carriedResourcePath(type, name).isEmpty(); }

QByteArray carriedResource(const QString& type, const QString& name) {
    const QString path = carriedResourcePath(type, name);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("找不到资源 %1（类型 %2）").arg(name, type));
    return file.readAll();
}

void writeCarriedFile(const QString& type, const QString& name, const QString& target) {
    const bool executable = type.compare(QStringLiteral("ExeFile"), Qt::CaseInsensitive) == 0;
    writeFileAtomically(target, carriedResource(type, name), executable);
}

}  // namespace platform
