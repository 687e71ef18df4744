// The error type that platform services raise for failures the user must see
// (a file that cannot be created, a missing resource). The application's default
// handler shows its message in a message box and the program goes on.
#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& message, const QString& reason = {})
        : std::runtime_error(message.toStdString()), message_(message), reason_(reason) {}
    const QString& message() const { return message_; }
    // The system's reason alone, when the error has one.
    const QString& reason() const { return reason_; }

private:
    QString message_;
    QString reason_;
};

// "<what> <path>: <system reason>" in the program's language.
Error fileCreationError(const QString& path, const QString& reason);

}  // namespace platform
