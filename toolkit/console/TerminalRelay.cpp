// The relay loop: one ppoll over both terminals, with window-size changes and
// the child's end delivered as signals that are only let in while it waits.
#include "TerminalRelay.h"

#include "PseudoTerminal.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace asmora::console {

namespace {

volatile sig_atomic_t windowResized = 0;
volatile sig_atomic_t childChanged = 0;

void noteSignal(int number) {
    if (number == SIGWINCH) windowResized = 1;
    if (number == SIGCHLD) childChanged = 1;
}

// SIGWINCH and SIGCHLD are caught while the guard lives, and blocked except
// inside the wait, so none is lost between a check and the wait.
class RelaySignals {
public:
    RelaySignals() {
        struct sigaction action {};
        action.sa_handler = noteSignal;
        action.sa_flags = SA_NOCLDSTOP;
        sigemptyset(&action.sa_mask);
        sigaction(SIGWINCH, &action, &oldResize_);
        sigaction(SIGCHLD, &action, &oldChild_);
        sigset_t blocked;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGWINCH);
        sigaddset(&blocked, SIGCHLD);
        sigprocmask(SIG_BLOCK, &blocked, &restoreMask_);
        waitMask_ = restoreMask_;
        sigdelset(&waitMask_, SIGWINCH);
        sigdelset(&waitMask_, SIGCHLD);
    }
    ~RelaySignals() {
        sigprocmask(SIG_SETMASK, &restoreMask_, nullptr);
        sigaction(SIGWINCH, &oldResize_, nullptr);
        sigaction(SIGCHLD, &oldChild_, nullptr);
    }
    RelaySignals(const RelaySignals&) = delete;
    RelaySignals& operator=(const RelaySignals&) = delete;

    const sigset_t* waitMask() const { return &waitMask_; }
    static bool take(volatile sig_atomic_t& flag) {
        const bool raised = flag != 0;
        flag = 0;
        return raised;
    }

private:
    struct sigaction oldResize_ {
    }, oldChild_{};
    sigset_t waitMask_{}, restoreMask_{};
};

int exitStatusOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

int TerminalRelay::relayUntilExit(pid_t child) {
    relay(child);
    while (!reaped_ && waitpid(child, &status_, 0) < 0 && errno == EINTR) {}
    return exitStatusOf(status_);
}

void TerminalRelay::relayUntilTerminalCloses() { relay(-1); }

void TerminalRelay::relay(pid_t child) {
    RawTerminalMode raw(terminalIn_);
    RelaySignals signals;
    bool terminalOpen = true;
    bool programOpen = true;
    // The child may have ended before its signal was caught; look once at the start.
    bool childMayHaveEnded = child > 0;
    for (;;) {
        if (child > 0) {
            if (!programOpen) break;
            if ((childMayHaveEnded || RelaySignals::take(childChanged)) && childHasEnded(child)) {
                drainProgramOutput();
                break;
            }
            childMayHaveEnded = false;
        } else if (!terminalOpen) {
            break;
        }
        pollfd ends[2] = {
            {terminalOpen ? terminalIn_ : -1, POLLIN, 0},
            {programOpen ? master_ : -1, static_cast<short>(POLLIN | (undelivered_.empty() ? 0 : POLLOUT)), 0}};
        const int ready = ppoll(ends, 2, nullptr, signals.waitMask());
        if (RelaySignals::take(windowResized)) copyWindowSize(terminalIn_, master_);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        if (ends[1].revents & POLLOUT) deliverTyping();
        if (ends[1].revents & (POLLIN | POLLHUP | POLLERR)) programOpen = showProgramOutput();
        if (ends[0].revents & (POLLIN | POLLHUP | POLLERR)) terminalOpen = takeTyping();
    }
    writeAll(terminalOut_, output_.finish());
}

bool TerminalRelay::showProgramOutput() {
    char buffer[4096];
    const ssize_t got = read(master_, buffer, sizeof buffer);
    if (got > 0) {
        writeAll(terminalOut_, output_.decode(std::string_view(buffer, static_cast<std::size_t>(got))));
        return true;
    }
    // EIO: every descriptor of the program's side is closed.
    return got < 0 && (errno == EINTR || errno == EAGAIN);
}

bool TerminalRelay::takeTyping() {
    char buffer[1024];
    const ssize_t got = read(terminalIn_, buffer, sizeof buffer);
    if (got <= 0) return got < 0 && (errno == EINTR || errno == EAGAIN);
    termios settings{};
    tcgetattr(master_, &settings);  // the program's terminal's modes, as it has set them
    undelivered_ += line_.forward(input_.encode(std::string_view(buffer, static_cast<std::size_t>(got))), settings);
    deliverTyping();
    return true;
}

void TerminalRelay::deliverTyping() {
    while (!undelivered_.empty()) {
        const ssize_t wrote = write(master_, undelivered_.data(), undelivered_.size());
        if (wrote > 0) {
            undelivered_.erase(0, static_cast<std::size_t>(wrote));
        } else if (wrote < 0 && errno == EINTR) {
            continue;
        } else {
            if (wrote < 0 && errno != EAGAIN) undelivered_.clear();  // nobody is there to read it
            return;
        }
    }
}

// The program has ended, but something it started may still hold its terminal:
// show what is there and what follows within a moment, then stop.
void TerminalRelay::drainProgramOutput() {
    pollfd program{master_, POLLIN, 0};
    while (poll(&program, 1, 50) > 0 && showProgramOutput()) {}
}

bool TerminalRelay::childHasEnded(pid_t child) {
    if (!reaped_ && waitpid(child, &status_, WNOHANG) == child) reaped_ = true;
    return reaped_;
}

}  // namespace asmora::console
