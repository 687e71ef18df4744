// Starting child programs, for the program's command runner and for the carried
// tools: with both outputs on one pipe (read while the child runs, or collected until
// it ends) or on the caller's own terminal. Every start goes through spawnProgram,
// and an i386 program starts the way this machine runs them (see I386Host.h).
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>
#include <sys/types.h>

namespace asmora::toolkit {

// One start of a program.
struct SpawnRequest {
    std::vector<std::string> argv;        // argv[0] is searched on PATH when it has no slash
    std::string inputPath = "/dev/null";  // standard input; empty keeps the caller's
    int outputFd = -1;                    // standard output and error; -1 keeps the caller's
    bool ownProcessGroup = false;         // the child leads a new process group (to be killed whole)
    std::vector<std::pair<std::string, std::string>> environment;  // variables set on top of ours
};

// The child's id, or -1 with the errno value that prevented the start. The child
// gets the default dispositions of SIGPIPE, SIGINT and SIGQUIT and no blocked signals,
// as a shell would give it.
struct Spawned {
    pid_t pid = -1;
    int error = 0;
};
Spawned spawnProgram(const SpawnRequest& request);

// Waits for `pid` to end; returns its exit status, 128 + signal number when it was
// killed, or -1 when it cannot be waited for.
int waitForExit(pid_t pid);

struct CapturedRun {
    bool started = false;  // false when the program could not be executed at all
    int exitCode = -1;     // the exit status, or 128 + signal number
    std::string output;    // standard output and standard error, interleaved
};

// Runs argv[0] (searched on PATH when it has no slash) with stdin from /dev/null
// and stdout and stderr captured together; waits for it to end. When an i386
// program cannot run here, `started` is false and `output` says why.
CapturedRun runCaptured(const std::vector<std::string>& argv);
// The same with standard input read from the file `inputPath`.
CapturedRun runCaptured(const std::vector<std::string>& argv, const std::string& inputPath);

// Runs argv[0] with the caller's standard input, output and error and waits for it.
// Returns the exit status (128 + signal number when killed), or -1 when the
// program could not be started; `startError` then holds the system's reason.
int runOnTerminal(const std::vector<std::string>& argv, std::string* startError = nullptr);

// A child whose standard output and error arrive on one non-blocking pipe, read
// while it runs; standard input is at end of file (/dev/null). The child leads its
// own process group, so kill() ends everything it started.
class PipedProcess {
public:
    PipedProcess() = default;
    ~PipedProcess();
    PipedProcess(const PipedProcess&) = delete;
    PipedProcess& operator=(const PipedProcess&) = delete;

    // Starts argv (an i386 program as this machine runs them). On failure either
    // startError() is the errno value or refusal() the Chinese reason why an i386
    // program cannot run here.
    bool start(const std::vector<std::string>& argv);
    int startError() const { return startError_; }
    const std::string& refusal() const { return refusal_; }

    // The read end of the output pipe; -1 before start or after close.
    int outputFd() const { return readFd_; }

    enum class ReadResult { Data, WouldBlock, EndOfFile };
    // Reads up to `capacity` bytes that are ready; `count` gets the number read.
    ReadResult read(char* buffer, std::size_t capacity, std::size_t& count);

    // True once the child has ended (reaps it); exitCode() is then valid.
    bool hasEnded();
    int exitCode() const { return exitCode_; }

    // Ends the child and everything it started, at once.
    void kill();
    pid_t pid() const { return pid_; }

private:
    void closePipe();

    pid_t pid_ = -1;
    int readFd_ = -1;
    bool ended_ = false;
    int exitCode_ = -1;
    int startError_ = 0;
    std::string refusal_;
};

// The program a command's first token names, as Windows would find it: a path with
// a separator is taken relative to the current directory, a bare name is looked for
// in the current directory and then on PATH; missing components and a missing ".exe"
// are tried case-insensitively. Empty when nothing runnable is found.
std::string resolveProgram(const std::string& token);

// Returns the folder holding the running executable (from /proc/self/exe).
std::string ownExecutableFolder();

}  // namespace asmora::toolkit
