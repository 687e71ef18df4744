// Running a program the way a Chinese console runs it on a UTF-8 terminal: on a
// pseudo-terminal of its own, in code page 936, through a TerminalRelay.
#pragma once

#include <string>
#include <vector>

namespace asmora::console {

// Runs argv[0] (searched on PATH when it has no slash) on a new pseudo-terminal
// shaped after `terminalIn`, relayed to `terminalIn` and `terminalOut`, and waits
// for it. The program leads a session of its own with that terminal, so Ctrl+C
// reaches it alone. Returns its exit status (128 + signal number when killed), or
// -1 with `error` set when it could not be started.
int runOnCp936Terminal(const std::vector<std::string>& argv, int terminalIn, int terminalOut, std::string& error);

}  // namespace asmora::console
