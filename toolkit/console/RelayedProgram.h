// Running a program the way a Chinese console runs it on a UTF-8 terminal: on a
// pseudo-terminal of its own, in code page 936, through a TerminalRelay.
#pragma once

#include <string>
#include <vector>

namespace asmora::console {

// What runOnCp936Terminal returns when the system gave it no pseudo-terminal.
inline constexpr int kNoPseudoTerminal = -2;

// Runs argv[0] (searched on PATH when it has no slash; an i386 program the way this
// machine runs them, see I386Host.h) on a new pseudo-terminal
// shaped after `terminalIn`, relayed to `terminalIn` and `terminalOut`, and waits
// for it. The program leads a session of its own with that terminal, so Ctrl+C
// reaches it alone. Returns its exit status (128 + signal number when killed), -1
// with `error` set when it could not be started, or kNoPseudoTerminal (with
// `error` set) when no pseudo-terminal could be opened.
int runOnCp936Terminal(const std::vector<std::string>& argv, int terminalIn, int terminalOut, std::string& error);

}  // namespace asmora::console
