// Atomic whole-file writes through a temporary file and rename.
#include "AtomicFile.h"

#include "Errors.h"
#include "SystemReasons.h"

#include <QFileInfo>
#include <QSaveFile>

namespace platform {

Error fileCreationError(const QString& path, const QString& reason) {
    return Error(QStringLiteral("无法创建文件 %1\n%2").arg(path, reason), reason);
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, bool executable) {
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isWritable())
        throw fileCreationError(path, QStringLiteral("文件是只读的。"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw fileCreationError(path, reasonOf(file));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = reasonOf(file);
        file.cancelWriting();
        throw fileCreationError(path, reason);
    }
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (executable)
        permissions |= QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    file.setPermissions(permissions);
    if (!file.commit()) throw fileCreationError(path, reasonOf(file));
}

}  // namespace platform
