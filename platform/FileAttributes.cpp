// Hidden attribute recorded as an extended attribute.
#include "FileAttributes.h"

#include <QFile>
#include <sys/xattr.h>

namespace platform {
namespace {
constexpr char kAttribute[] = "user.DOSATTRIB";
constexpr char kHidden[] = "0x2";
}  // namespace

bool markHidden(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    return ::setxattr(name.constData(), kAttribute, kHidden, sizeof kHidden - 1, 0) == 0;
}

bool isMarkedHidden(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    char value[16] = {};
    const ssize_t length = ::getxattr(name.constData(), kAttribute, value, sizeof value - 1);
    return length > 0 && QByteArray(value, static_cast<int>(length)) == kHidden;
}

}  // namespace platform
