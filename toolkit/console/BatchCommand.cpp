// Classification of batch lines by a table of the console's internal commands.
#include "BatchCommand.h"

#include "CaseInsensitivePath.h"
#include "WindowsCommandLine.h"

#include <array>
#include <regex>

namespace asmora::console {

namespace {

using toolkit::toLowerAscii;

const std::string kBlanks = " \t";

std::string trimLeft(const std::string& text) {
    const auto start = text.find_first_not_of(kBlanks);
    return start == std::string::npos ? std::string() : text.substr(start);
}

std::string trimRight(const std::string& text) {
    const auto end = text.find_last_not_of(kBlanks);
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// Removes a trailing redirection to NUL ("pause>NUL", "echo x >nul 2>&1").
bool stripNulRedirection(std::string& text) {
    static const std::regex redirection(R"((\s*[12]?>\s*nul(\s*2>&1)?)+\s*$)", std::regex::icase);
    std::smatch match;
    if (!std::regex_search(text, match, redirection)) return false;
    text.erase(static_cast<std::size_t>(match.position(0)));
    return true;
}

// cmd ends a command word at a blank or at one of these characters ("echo." "echo:").
std::size_t commandWordEnd(const std::string& text) {
    const auto end = text.find_first_of(" \t.:/;,=(+<>|&");
    return end == std::string::npos ? text.size() : end;
}

void parseEcho(BatchCommand& command, const std::string& rest) {
    if (rest.empty()) {
        command.verb = BatchVerb::EchoStatus;
        return;
    }
    const std::string word = toLowerAscii(trimRight(trimLeft(rest)));
    if ((rest[0] == ' ' || rest[0] == '\t') && (word == "off" || word == "on")) {
        command.verb = word == "off" ? BatchVerb::EchoOff : BatchVerb::EchoOn;
        return;
    }
    // "echo." and "echo:" show the rest after the mark; "echo text" drops one blank.
    command.verb = BatchVerb::EchoText;
    command.argument = rest.substr(1);
}

void parseDelete(BatchCommand& command, const std::string& rest) {
    for (auto& word : toolkit::splitWindowsCommandLine(rest)) {
        if (toolkit::isSlashSwitch(word)) continue;  // /A:H /Q /F
        command.arguments.push_back(word);
    }
}

struct InternalCommand {
    const char* name;
    void (*parse)(BatchCommand&, const std::string& rest);
};

const std::array<InternalCommand, 11>& internalCommands() {
    static const std::array<InternalCommand, 11> table{{
        {"echo", parseEcho},
        {"color",
         [](BatchCommand& c, const std::string& r) {
             c.verb = BatchVerb::Color;
             c.argument = trimRight(trimLeft(r));
         }},
        {"pause", [](BatchCommand& c, const std::string&) { c.verb = BatchVerb::Pause; }},
        {"del",
         [](BatchCommand& c, const std::string& r) {
             c.verb = BatchVerb::Delete;
             parseDelete(c, r);
         }},
        {"erase",
         [](BatchCommand& c, const std::string& r) {
             c.verb = BatchVerb::Delete;
             parseDelete(c, r);
         }},
        {"cls", [](BatchCommand& c, const std::string&) { c.verb = BatchVerb::Clear; }},
        {"title",
         [](BatchCommand& c, const std::string& r) {
             c.verb = BatchVerb::Title;
             c.argument = trimLeft(r);
         }},
        {"rem", [](BatchCommand& c, const std::string&) { c.verb = BatchVerb::Nothing; }},
        {"exit", [](BatchCommand& c, const std::string&) { c.verb = BatchVerb::Exit; }},
        {"cd",
         [](BatchCommand& c, const std::string& r) {
             c.verb = BatchVerb::ChangeFolder;
             c.argument = trimRight(trimLeft(r));
         }},
        {"chdir",
         [](BatchCommand& c, const std::string& r) {
             c.verb = BatchVerb::ChangeFolder;
             c.argument = trimRight(trimLeft(r));
         }},
    }};
    return table;
}

}  // namespace

BatchCommand parseBatchLine(const std::string& rawLine) {
    BatchCommand command;
    std::string text = trimLeft(rawLine);
    if (!text.empty() && text[0] == '@') {
        command.hidden = true;
        text = trimLeft(text.substr(1));
    }
    if (text.empty() || text[0] == ':') return command;
    if (text[0] == '"') {
        // A quoted program path: nothing inside it is expanded or interpreted.
        command.verb = BatchVerb::RunProgram;
        command.line = text;
        command.arguments = toolkit::splitWindowsCommandLine(text);
        return command;
    }
    const std::string word = toLowerAscii(text.substr(0, commandWordEnd(text)));
    if (word != "echo") command.outputToNul = stripNulRedirection(text);
    command.line = text;
    for (const auto& internal : internalCommands()) {
        if (word != internal.name) continue;
        std::string rest = text.substr(word.size());
        if (word == "echo") command.outputToNul = stripNulRedirection(rest);
        internal.parse(command, rest);
        return command;
    }
    command.verb = BatchVerb::Other;
    command.arguments = {text.substr(0, text.find_first_of(kBlanks))};
    return command;
}

}  // namespace asmora::console
