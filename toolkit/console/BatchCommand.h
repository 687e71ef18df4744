// One line of a batch file, classified as a console would read it:
//   @echo off | echo text | echo. | color F1 | "/w/Debug/a.exe" | pause>NUL |
//   del /A:H /Q "/p/bin/ml.bat" | cls | title text | rem text | exit | anything else
#pragma once

#include <string>
#include <vector>

namespace asmora::console {

enum class BatchVerb {
    Nothing,     // empty line, label (":name") or rem
    EchoText,    // echo text, echo. (empty text)
    EchoStatus,  // echo alone: shows whether echo is on
    EchoOff,
    EchoOn,
    Color,  // argument: the two hex digits, or empty to restore
    Pause,
    Delete,  // arguments: the file names (switches removed)
    ChangeFolder,
    Clear,
    Title,
    Exit,
    RunProgram,  // arguments: the program path and its arguments, unexpanded
    Other,       // arguments: the first word; line: the whole command for /bin/sh
};

struct BatchCommand {
    BatchVerb verb = BatchVerb::Nothing;
    bool hidden = false;       // began with "@": never echoed
    bool outputToNul = false;  // ended with ">NUL"
    std::string argument;      // echo text, title, color digits, folder
    std::vector<std::string> arguments;
    std::string line;  // the command as written, without "@" and ">NUL"
};

// Classifies one line (UTF-8, without its line end).
BatchCommand parseBatchLine(const std::string& line);

}  // namespace asmora::console
