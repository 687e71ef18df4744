// A program run on a pseudo-terminal as a terminal window runs it: a test types
// into it, changes its window size and reads what the window would show.
#pragma once

#include <chrono>
#include <csignal>
#include <string>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>
#include <vector>

namespace asmora::testing {

class TerminalDriver {
public:
    TerminalDriver() = default;
    TerminalDriver(const TerminalDriver&) = delete;
    TerminalDriver& operator=(const TerminalDriver&) = delete;
    ~TerminalDriver() {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        closeWindow();
    }

    // Starts argv in `folder` on a new terminal of rows x columns; false when the
    // terminal could not be made.
    bool start(const std::vector<std::string>& argv, const std::string& folder, unsigned short rows = 24,
               unsigned short columns = 80) {
        winsize size{rows, columns, 0, 0};
        child_ = forkpty(&window_, nullptr, nullptr, &size);
        if (child_ != 0) return child_ > 0;
        if (chdir(folder.c_str()) != 0) _exit(126);
        std::vector<char*> pointers;
        for (const auto& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
        pointers.push_back(nullptr);
        execvp(pointers[0], pointers.data());
        _exit(127);
    }

    void type(std::string_view keys) {
        if (write(window_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) failedTyping_ = true;
    }

    void resize(unsigned short rows, unsigned short columns) {
        winsize size{rows, columns, 0, 0};
        ioctl(window_, TIOCSWINSZ, &size);
    }

    // Reads until `text` has appeared in what the window showed, the terminal ended,
    // or `timeout` passed. A pause in the output (a slow start) does not end the wait.
    bool waitFor(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (shown_.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            if (readSome(100) == Read::Ended) break;
        }
        return shown_.find(text) != std::string::npos;
    }

    // Everything the window showed so far.
    const std::string& shown() const { return shown_; }
    bool typingFailed() const { return failedTyping_; }

    // Reads the window until the program ends; returns its exit status (128 +
    // signal number when killed), or -1 when it is still running after 10 s.
    int waitForExit() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            readSome(50);
            if (waitpid(child_, &status, WNOHANG) == child_) {
                child_ = -1;
                while (readSome(50) == Read::Data) {}
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
        }
        return -1;
    }

    // The window goes away: the program's terminal hangs up.
    void closeWindow() {
        if (window_ >= 0) close(window_);
        window_ = -1;
    }

    pid_t pid() const { return child_; }

private:
    enum class Read { Data, Nothing, Ended };
    // Waits up to `milliseconds` for output: Data when some came, Nothing when none
    // came in time, Ended when the terminal has no writer left (or is closed).
    Read readSome(int milliseconds) {
        if (window_ < 0) {
            usleep(static_cast<useconds_t>(milliseconds) * 1000);
            return Read::Ended;
        }
        pollfd window{window_, POLLIN, 0};
        if (poll(&window, 1, milliseconds) <= 0) return Read::Nothing;
        char buffer[4096];
        const ssize_t got = read(window_, buffer, sizeof buffer);
        if (got <= 0) return Read::Ended;
        shown_.append(buffer, static_cast<std::size_t>(got));
        return Read::Data;
    }

    pid_t child_ = -1;
    int window_ = -1;
    std::string shown_;
    bool failedTyping_ = false;
};

}  // namespace asmora::testing
