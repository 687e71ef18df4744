// The program's console window: windbg.exe runs itself in a second xterm with
// --program-console <file>. It opens a pseudo-terminal for the debugged program,
// writes that terminal's name to the file for gdb's "tty" command, and relays it
// to the window (the program's code page 936 text shown as UTF-8, typed UTF-8
// given to the program as code page 936) until the window closes.
#pragma once

#include "SupportFiles.h"

#include <string>

namespace asmora::debugger {

int runProgramConsole(const std::string& ttyFile, const Texts& texts);

}  // namespace asmora::debugger
