// The system-wide lock that keeps a second copy of the program from starting. It is
// an abstract-namespace Unix socket bound to a name derived from the lock's name:
// held while the process lives and released by the kernel when it ends, even by
// kill -9, and never inherited by the programs it starts.
#pragma once

#include <QString>

namespace platform {

class SingleInstanceLock {
public:
    explicit SingleInstanceLock(QString name) : name_(std::move(name)) {}
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when this process now holds the lock; false when another holder exists
    // (or the lock cannot be made).
    bool acquire();
    bool held() const { return fd_ >= 0; }

private:
    QString name_;
    int fd_ = -1;
};

}  // namespace platform
