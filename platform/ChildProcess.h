// Starting a console program the way the IDE's command runner needs it: one pipe
// for standard output and standard error, standard input at end of file
// (/dev/null), the parent's environment and current directory, the command line
// split by the Windows rules and the program found as Windows would find it. The Qt
// side of toolkit/common's PipedProcess, with the reasons of a failed start in Chinese.
#pragma once

#include "toolkit/common/ChildProcess.h"

#include <QString>
#include <sys/types.h>

namespace platform {

class ChildProcess {
public:
    // Starts the command; false when it cannot be started (errorString() says why).
    bool start(const QString& commandLine);

    // The read end of the output pipe, non-blocking; -1 before start or after close.
    int outputFd() const { return process_.outputFd(); }

    using ReadResult = asmora::toolkit::PipedProcess::ReadResult;
    // Reads up to `capacity` bytes that are ready; `count` gets the number read.
    ReadResult read(char* buffer, size_t capacity, size_t& count) { return process_.read(buffer, capacity, count); }

    // True once the child has ended (reaps it); exitCode() is then valid.
    bool hasEnded() { return process_.hasEnded(); }
    int exitCode() const { return process_.exitCode(); }

    // Ends the child and everything it started, at once.
    void kill() { process_.kill(); }

    const QString& errorString() const { return error_; }
    // Set (with errorString()) when the program is an i386 program that this
    // machine can neither execute nor emulate: a Chinese text naming the package.
    bool refused() const { return refused_; }
    pid_t pid() const { return process_.pid(); }

    // The program the command line's first token names (see toolkit's resolveProgram).
    static QString resolveProgram(const QString& token);

private:
    asmora::toolkit::PipedProcess process_;
    QString error_;
    bool refused_ = false;
};

}  // namespace platform
