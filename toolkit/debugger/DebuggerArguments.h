// The debugger front end's command line, as the IDE passes it:
//   windbg.exe -a -i "/home/u/my%20asm/Debug/hello.exe"
// either split into arguments or as one argument string " -a -i "...""; blanks in
// the path arrive as "%20".
#pragma once

#include <string>
#include <vector>

namespace asmora::debugger {

struct DebuggerRequest {
    std::string program;               // the program to debug; empty starts gdb alone
    std::string consoleTtyFile;        // set in the internal --program-console mode
    bool programConsole = false;       // run as the holder of the program's console window
    std::vector<std::string> ignored;  // options we accept but do not need
};

DebuggerRequest parseDebuggerArguments(const std::vector<std::string>& args);

// "%20" back to blanks. When the decoded path does not exist but the path as
// written does (a folder really named "a%20b"), the written one is kept.
std::string decodeProgramPath(const std::string& written);

}  // namespace asmora::debugger
