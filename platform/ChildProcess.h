// Starting a console program the way the IDE's command runner needs it: one pipe
// for standard output and standard error, standard input at end of file
// (/dev/null), the parent's environment and current directory, the command line
// split by the Windows rules and the program found as Windows would find it.
#pragma once

#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace platform {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the command; false when it cannot be started (errorString() says why).
    bool start(const QString& commandLine);

    // The read end of the output pipe, non-blocking; -1 before start or after close.
    int outputFd() const { return readFd_; }

    enum class ReadResult { Data, WouldBlock, EndOfFile };
    // Reads up to `capacity` bytes that are ready; `count` gets the number read.
    ReadResult read(char* buffer, size_t capacity, size_t& count);

    // True once the child has ended (reaps it); exitCode() is then valid.
    bool hasEnded();
    int exitCode() const { return exitCode_; }

    // Ends the child and everything it started, at once.
    void kill();

    const QString& errorString() const { return error_; }
    // Set (with errorString()) when the program is an i386 program that this
    // machine can neither execute nor emulate: a Chinese text naming the package.
    bool refused() const { return refused_; }
    pid_t pid() const { return pid_; }

    // The program the command line's first token names: a path with a separator is
    // taken relative to the current directory, a bare name is looked for in the
    // current directory and then on PATH; missing components and a missing ".exe"
    // are tried case-insensitively. Empty when nothing is found.
    static QString resolveProgram(const QString& token);

private:
    void closePipe();

    pid_t pid_ = -1;
    int readFd_ = -1;
    bool ended_ = false;
    int exitCode_ = -1;
    QString error_;
    bool refused_ = false;
};

}  // namespace platform
