// Parsing of the front end's options: -a and -i are accepted, the first other
// argument is the program.
#include "DebuggerArguments.h"

#include "WindowsCommandLine.h"

#include <filesystem>

namespace asmora::debugger {

namespace {

constexpr const char* kProgramConsoleOption = "--program-console";

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The IDE's shell service may hand the whole argument string over as one argument;
// it is then split by the Windows rules, unless it names a file as it stands.
std::vector<std::string> normalise(const std::vector<std::string>& args) {
    if (args.size() == 1 && !exists(args[0])) return toolkit::splitWindowsCommandLine(args[0]);
    return args;
}

}  // namespace

std::string decodeProgramPath(const std::string& written) {
    const std::string decoded = replaceAll(written, "%20", " ");
    if (decoded != written && !exists(decoded) && exists(written)) return written;
    return decoded;
}

DebuggerRequest parseDebuggerArguments(const std::vector<std::string>& rawArgs) {
    DebuggerRequest request;
    if (!rawArgs.empty() && rawArgs[0] == kProgramConsoleOption) {
        request.programConsole = true;
        if (rawArgs.size() > 1) request.consoleTtyFile = rawArgs[1];
        return request;
    }
    for (const auto& arg : normalise(rawArgs)) {
        if (arg.empty()) continue;
        if (arg[0] == '-' && arg.size() > 1) {
            request.ignored.push_back(arg);  // -a, -i and WinDbg's other switches
        } else if (request.program.empty()) {
            request.program = decodeProgramPath(arg);
        } else {
            request.ignored.push_back(arg);
        }
    }
    return request;
}

}  // namespace asmora::debugger
