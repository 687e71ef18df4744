// The Windows argument-splitting rules (those of CommandLineToArgv).
#include "WindowsCommandLine.h"

#include <filesystem>

namespace asmora::toolkit {

std::vector<std::string> splitWindowsCommandLine(const std::string& line) {
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument) args.push_back(current);
            current.clear();
            inArgument = false;
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            std::size_t count = 0;
            while (i < line.size() && line[i] == '\\') {
                ++count;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                current.append(count / 2, '\\');
                if (count % 2 == 1) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(count, '\\');
            }
            continue;
        }
        if (c == '"') {
            // Inside quotes, "" stands for one literal quote.
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                current += '"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (inArgument) args.push_back(current);
    return args;
}

std::string quoteWindowsArgument(const std::string& argument, Quoting quoting) {
    if (quoting == Quoting::WhenNeeded && !argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
        } else {
            if (c == '"') quoted.append(backslashes + 1, '\\');
            backslashes = 0;
        }
        quoted += c;
    }
    quoted.append(backslashes, '\\');
    return quoted + "\"";
}

bool isSlashSwitch(const std::string& argument) {
    if (argument.size() < 2 || argument[0] != '/') return false;
    const auto colon = argument.find(':');
    const std::string name = argument.substr(1, colon == std::string::npos ? std::string::npos : colon - 1);
    if (name.find('/') != std::string::npos) return false;
    std::error_code error;
    return !std::filesystem::is_regular_file(argument, error);
}

}  // namespace asmora::toolkit
