// Turns what GNU ld prints into link.exe-style messages, for example
//   ld: hello.obj: in function `_start':
//   /home/u/hello.asm:25: undefined reference to `_ExitProcess@4'
// becomes
//   hello.obj : error LNK2001: unresolved external symbol _ExitProcess@4
//   hello.exe : fatal error LNK1120: 1 unresolved externals
#pragma once

#include <string>
#include <vector>

namespace asmora::link {

struct LdContext {
    std::string outputShown;  // the /out: path as the user wrote it
    std::string outputTemp;   // the temporary file ld actually writes
};

struct LinkMessages {
    std::vector<std::string> lines;
    int errorCount = 0;  // errors and fatal errors among the lines
};

LinkMessages translateLdOutput(const std::string& ldOutput, const LdContext& context);

}  // namespace asmora::link
