// The program's console window: windbg.exe runs itself in a second xterm with
// --program-console <file>; it writes the name of that window's terminal to the
// file, gives the terminal up so the debugged program can own it, and waits until
// the session ends it.
#pragma once

#include "SupportFiles.h"

#include <string>

namespace asmora::debugger {

int runProgramConsole(const std::string& ttyFile, const Texts& texts);

}  // namespace asmora::debugger
