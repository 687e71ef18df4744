// The lock that keeps a second copy of the program from starting in the same user's
// display session, as a session-local named mutex does: other users, and the same
// user on another display (a lab server reached by remote desktop), run their own
// copies. It is an abstract-namespace Unix socket bound to a name derived from the
// lock's name and the session:
// held while the process lives and released by the kernel when it ends, even by
// kill -9, and never inherited by the programs it starts.
#pragma once

#include <QString>

namespace platform {

class SingleInstanceLock {
public:
    explicit SingleInstanceLock(QString name) : SingleInstanceLock(std::move(name), currentSession()) {}
    SingleInstanceLock(QString name, QString session) : name_(std::move(name)), session_(std::move(session)) {}
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when this process now holds the lock; false when another holder exists
    // (or the lock cannot be made).
    bool acquire();
    bool held() const { return fd_ >= 0; }

    // This process's session: the user id, then the login session (XDG_SESSION_ID)
    // or else the display (WAYLAND_DISPLAY, DISPLAY).
    static QString currentSession();

private:
    QString name_;
    QString session_;
    int fd_ = -1;
};

}  // namespace platform
