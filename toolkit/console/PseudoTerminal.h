// A pseudo-terminal pair for a program that speaks code page 936, shaped after
// the user's terminal (its modes, keys and size), and raw mode for the user's
// terminal while a relay stands between the two.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <termios.h>

namespace asmora::console {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    PseudoTerminal(PseudoTerminal&& other) noexcept;
    PseudoTerminal& operator=(PseudoTerminal&&) = delete;
    PseudoTerminal(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    // Opens a pair with the modes and window size of `terminal` (the kernel's
    // defaults when it is not a terminal), less UTF-8 line editing: the program's
    // side counts code page 936 bytes. Nothing on failure, with `error` set.
    static std::optional<PseudoTerminal> openLike(int terminal, std::string& error);

    int master() const { return master_; }  // non-blocking
    int slave() const { return slave_; }    // nobody's controlling terminal yet
    const std::string& slaveName() const { return slaveName_; }
    // Closes this process's own slave descriptor (once the program holds its own).
    void closeSlave();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slaveName_;
};

// Writes all of `bytes` to `fd`, going on after interruptions; stops at an error.
void writeAll(int fd, std::string_view bytes);

// Gives `to` (a terminal or a pseudo-terminal master) the window size of `from`.
void copyWindowSize(int from, int to);

// Raw mode on a terminal for the life of the guard, so that every key reaches the
// relay as typed (the program's own terminal edits lines and raises signals); the
// modes come back when the guard ends. Does nothing to a non-terminal.
class RawTerminalMode {
public:
    explicit RawTerminalMode(int terminal);
    ~RawTerminalMode();
    RawTerminalMode(const RawTerminalMode&) = delete;
    RawTerminalMode& operator=(const RawTerminalMode&) = delete;

private:
    int terminal_;
    std::optional<termios> saved_;
};

}  // namespace asmora::console
