// Terminal control for the console host.
#include "TerminalConsole.h"

#include "ChildProcess.h"
#include "ConsoleColors.h"
#include "PseudoTerminal.h"
#include "RelayedProgram.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace asmora::console {

namespace {

// "rgb:ff/ff/ff", the X11 colour form that xterm's colour sequences take.
std::string x11Color(int number) {
    const Rgb rgb = consoleColor(number);
    char text[16];
    std::snprintf(text, sizeof text, "rgb:%02x/%02x/%02x", rgb.red, rgb.green, rgb.blue);
    return text;
}

// Reads one byte; false at end of input.
bool readByte() {
    unsigned char byte;
    ssize_t got;
    do {
        got = ::read(STDIN_FILENO, &byte, 1);
    } while (got < 0 && errno == EINTR);
    return got == 1;
}

// Runs a child with SIGINT and SIGQUIT ignored here, so Ctrl+C ends the program
// and the batch goes on with its closing lines, as in a console.
int runIgnoringInterrupts(const std::vector<std::string>& argv, std::string* error) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction oldInterrupt {
    }, oldQuit{};
    sigaction(SIGINT, &ignore, &oldInterrupt);
    sigaction(SIGQUIT, &ignore, &oldQuit);
    const int status = toolkit::runOnTerminal(argv, error);
    sigaction(SIGINT, &oldInterrupt, nullptr);
    sigaction(SIGQUIT, &oldQuit, nullptr);
    return status;
}

}  // namespace

void TerminalConsole::write(const std::string& utf8) { writeAll(STDOUT_FILENO, utf8); }

// Sample: ESC ] 11 ; rgb:ff/ff/ff BEL  ESC ] 10 ; rgb:00/00/80 BEL
// (the default background and text colours of the whole window, old text included)
void TerminalConsole::setColors(int background, int foreground) {
    if (background < 0 || foreground < 0) {
        write("\x1b]111\x07\x1b]110\x07");
        return;
    }
    write("\x1b]11;" + x11Color(background) + "\x07\x1b]10;" + x11Color(foreground) + "\x07\x1b[0m");
}

// Sample: ESC [ H  ESC [ 2 J  ESC [ 3 J (home, clear the screen and the scroll-back)
void TerminalConsole::clear() { write("\x1b[H\x1b[2J\x1b[3J"); }

// Sample: ESC ] 0 ; title BEL
void TerminalConsole::setTitle(const std::string& title) { write("\x1b]0;" + title + "\x07"); }

void TerminalConsole::waitForKey() {
    termios saved{};
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) {
        readByte();
        return;
    }
    termios raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    readByte();
    // A function key sends several bytes; the rest of them is not typed-ahead input.
    usleep(20000);
    tcflush(STDIN_FILENO, TCIFLUSH);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

// On a terminal the program's text (code page 936) passes through the relay; with
// redirected input or output its bytes go where they are sent, unchanged, as a
// redirected console program's do. Without a pseudo-terminal to spare the program
// still runs, on the terminal itself.
int TerminalConsole::runProgram(const std::vector<std::string>& argv, std::string& error) {
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
        const int status = runOnCp936Terminal(argv, STDIN_FILENO, STDOUT_FILENO, error);
        if (status != kNoPseudoTerminal) return status;
        error.clear();
    }
    return runIgnoringInterrupts(argv, &error);
}

int TerminalConsole::runShell(const std::string& line) {
    return runIgnoringInterrupts({"/bin/sh", "-c", line}, nullptr);
}

}  // namespace asmora::console
