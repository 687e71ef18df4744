// Stands between the user's UTF-8 terminal and a pseudo-terminal whose program
// reads and writes code page 936, as a Chinese console does for a program: what
// the program writes is shown as UTF-8, what is typed reaches it as code page 936.
// The user's terminal is raw while the relay runs, so line editing, echo and the
// signal keys (Ctrl+C) are the program's own terminal's; window size changes are
// passed on. Control sequences are ASCII and pass unchanged both ways, and so does
// everything else that is ASCII.
#pragma once

#include "CanonicalLine.h"
#include "Cp936.h"

#include <string>
#include <sys/types.h>

namespace asmora::console {

class TerminalRelay {
public:
    TerminalRelay(int terminalIn, int terminalOut, int master)
        : terminalIn_(terminalIn), terminalOut_(terminalOut), master_(master) {}

    // Relays until `child` (running on the pseudo-terminal) has ended and all its
    // output is shown; returns its exit status (128 + signal number when killed).
    int relayUntilExit(pid_t child);
    // Relays until the user's terminal closes (its window went away).
    void relayUntilTerminalCloses();

private:
    // One relay; `child` is the program to wait for, or -1 to wait for the terminal.
    void relay(pid_t child);
    bool showProgramOutput();  // false once the program's side has closed
    bool takeTyping();         // false once the user's terminal has closed
    void deliverTyping();
    void drainProgramOutput();
    bool childHasEnded(pid_t child);

    int terminalIn_, terminalOut_, master_;
    toolkit::cp936::Decoder output_;
    toolkit::cp936::Encoder input_;
    CanonicalLine line_;
    std::string undelivered_;  // typed input the program's terminal has not taken yet
    int status_ = 0;
    bool reaped_ = false;
};

}  // namespace asmora::console
