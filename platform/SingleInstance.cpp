// Single-instance lock on an abstract-namespace Unix socket.
#include "SingleInstance.h"

#include <QCryptographicHash>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

QString SingleInstanceLock::currentSession() {
    QString session = QString::number(::getuid());
    for (const char* variable : {"XDG_SESSION_ID", "WAYLAND_DISPLAY", "DISPLAY"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty())
            return session + u'/' + QString::fromLatin1(variable) + u'=' + QString::fromLocal8Bit(value);
    }
    return session;
}

bool SingleInstanceLock::acquire() {
    if (fd_ >= 0) return true;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    // The name may be longer than a socket address allows, so the address carries a
    // readable prefix and a hash of the whole name.
    const QByteArray digest =
        QCryptographicHash::hash((session_ + u'\n' + name_).toUtf8(), QCryptographicHash::Sha1).toHex();
    const QByteArray key = "asmora-instance-" + digest;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, key.constData(), static_cast<size_t>(key.size()));
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + key.size());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

}  // namespace platform
