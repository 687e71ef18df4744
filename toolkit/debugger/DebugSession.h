// What the front end starts: a maximised xterm running gdb with the support
// scripts, and, when there is a program, a second xterm that is the program's
// console (its typed input and its output), as a console program gets its own
// window under a Windows debugger.
#pragma once

#include "DebuggerArguments.h"
#include "SupportFiles.h"

#include <string>
#include <utility>
#include <vector>

namespace asmora::debugger {

struct SessionPlan {
    std::vector<std::string> consoleWindow;  // empty when no program is debugged
    std::vector<std::string> debuggerWindow;
    std::vector<std::pair<std::string, std::string>> environment;  // added for the debugger window
};

struct SessionInputs {
    std::string program;       // existing program path, or empty
    std::string frontEndPath;  // windbg.exe itself, which also holds the console window
    std::string ttyFile;       // where the console window writes its terminal's name
    std::string sourceCopies;  // where gdb's UTF-8 copies of code page 936 sources go
    std::string notice;        // a text gdb shows first (e.g. a program that was not found)
    std::string emulator;      // qemu-i386 when the program runs under its gdb stub, else empty
    std::string stubSocket;    // the stub's Unix socket, in the session's private folder
    bool utf8Locale = true;    // false when the environment's locale is not UTF-8
};

// Where the kernel cannot execute i386 programs, gdb debugs the program under
// qemu-i386's gdb stub, reached through a socket in `sessionFolder` (private to the
// session); where neither way exists, gdb says so when it opens.
void chooseI386Way(SessionInputs& inputs, const std::string& sessionFolder);

SessionPlan planSession(const SessionInputs& inputs, const SupportFolder& support, const Texts& texts);

// True when LC_ALL, LC_CTYPE or LANG (the first one set) names a UTF-8 locale.
bool environmentLocaleIsUtf8();

}  // namespace asmora::debugger
