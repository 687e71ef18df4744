// The errors the platform services raise.
#include "Errors.h"

namespace platform {

Error fileCreationError(const QString& path, const QString& reason) {
    return Error(QStringLiteral("无法创建文件 %1\n%2").arg(path, reason), reason);
}

}  // namespace platform
