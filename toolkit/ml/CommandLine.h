// The ML-style command line: options with '/' or '-', everything else a source file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Assembler.h"
#include "Symbols.h"

namespace ml {

struct CommandLine {
    bool help = false;
    bool noLogo = false;
    bool debugInfo = false;   // /Zi, /Zd
    bool listing = false;     // /Fl
    std::string listingPath;  // /Flfile; empty: the source's base name + .lst
    std::string objectPath;   // /Fo file; empty: the source's base name + .obj
    std::vector<std::string> includeDirs;
    std::vector<std::string> sources;
    CaseMode caseMode = CaseMode::Insensitive;
    std::optional<Language> language;  // /Gc /Gd /Gz
    int warningLevel = 1;
    bool warningsAreErrors = false;
    std::vector<std::string> unknownOptions;
    std::vector<std::string> missingArguments;  // options that lacked their argument
};

// Reads the arguments after the program name. A '/' token that names an existing
// file is a source (Linux absolute paths start with '/'), and so is one that is no
// known option.
//   /c /coff /Fl/tmp/Debug/a.lst /Fo /tmp/Debug/a.obj /Zi /tmp/a.asm
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The text printed for /?.
std::string usageText();

}  // namespace ml
