// Starting a program on its own pseudo-terminal with posix_spawn and relaying it.
#include "RelayedProgram.h"

#include "I386Host.h"
#include "PseudoTerminal.h"
#include "TerminalRelay.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace asmora::console {

namespace {

// The program's start: a new session whose controlling terminal is the
// pseudo-terminal (a session leader opening a terminal takes it), on standard
// input, output and error, with the default handling of the signals a shell resets.
class SpawnSettings {
public:
    explicit SpawnSettings(const std::string& terminalName) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, terminalName.c_str(), O_RDWR, 0);
        posix_spawn_file_actions_adddup2(&actions_, STDIN_FILENO, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions_, STDIN_FILENO, STDERR_FILENO);
        posix_spawnattr_init(&attributes_);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int number : {SIGINT, SIGQUIT, SIGHUP, SIGPIPE, SIGTSTP, SIGTTIN, SIGTTOU, SIGWINCH, SIGCHLD}) {
            sigaddset(&defaults, number);
        }
        sigset_t nothingBlocked;
        sigemptyset(&nothingBlocked);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setsigmask(&attributes_, &nothingBlocked);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    // Starts argv; returns 0 or the error number of the failed start.
    int start(const std::vector<std::string>& argv, pid_t& child) const {
        std::vector<char*> pointers;
        for (const auto& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
        pointers.push_back(nullptr);
        return posix_spawnp(&child, pointers[0], &actions_, &attributes_, pointers.data(), environ);
    }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

}  // namespace

int runOnCp936Terminal(const std::vector<std::string>& requested, int terminalIn, int terminalOut, std::string& error) {
    if (requested.empty()) return -1;
    const toolkit::ProgramStart start = toolkit::planProgramStart(requested);
    if (!start.refusal.empty()) {
        error = start.refusal;
        return -1;
    }
    const std::vector<std::string>& argv = start.argv;
    auto terminal = PseudoTerminal::openLike(terminalIn, error);
    if (!terminal) return kNoPseudoTerminal;
    pid_t child = -1;
    const int startError = SpawnSettings(terminal->slaveName()).start(argv, child);
    terminal->closeSlave();
    if (startError != 0) {
        error = std::strerror(startError);
        return -1;
    }
    return TerminalRelay(terminalIn, terminalOut, terminal->master()).relayUntilExit(child);
}

}  // namespace asmora::console
