// The link.exe command line: options (leading "/" or "-", any letter case) and
// input files, in the forms the IDE and the course's scripts use:
//   link.exe /debug /subsystem:console /entry:start /out:"W.exe" "W.obj" "D/bin/io.obj" "D/bin/kernel32.lib"
//   link file.obj io.obj kernel32.lib /debug /out:file.exe /subsystem:console /entry:start
#pragma once

#include <string>
#include <vector>

namespace asmora::link {

struct LinkCommandLine {
    std::vector<std::string> inputs;        // objects and libraries, in command order
    std::vector<std::string> libraryPaths;  // /libpath: folders, in command order
    std::string output;                     // /out: path; empty = first object's name + ".exe"
    std::string entry;                      // /entry: name as written; empty = "start"
    std::string subsystem;                  // /subsystem: value (accepted, not needed on Linux)
    bool debug = false;                     // /debug: keep the debug information
    bool noLogo = false;                    // /nologo: no banner
    bool help = false;                      // /? or /help
    std::vector<std::string> warnings;      // LNK4044 lines for options we do not know
    std::vector<std::string> errors;        // options that are known but malformed
};

// Splits argv (without the program name) into options and inputs.
LinkCommandLine parseLinkCommandLine(const std::vector<std::string>& args);

// The ELF symbol that an /entry: name stands for: link.exe decorates an x86 entry
// name like a C function, so "start" means "_start".
std::string entrySymbol(const std::string& entryName);

// The default output path: the first input's file name with ".exe" for its
// extension, in the current folder.
std::string defaultOutputPath(const std::vector<std::string>& inputs);

}  // namespace asmora::link
