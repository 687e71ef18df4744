// Parsing of link.exe options from a table of the options we know.
#include "LinkCommandLine.h"

#include "CaseInsensitivePath.h"
#include "LinkMessages.h"
#include "WindowsCommandLine.h"

#include <array>
#include <filesystem>
#include <functional>

namespace asmora::link {

using toolkit::toLowerAscii;

namespace {

enum class Value { None, Required, Optional };

struct OptionRule {
    const char* name;  // lower case, without the leading "/"
    Value value;
    std::function<void(LinkCommandLine&, const std::string&)> apply;
};

void ignore(LinkCommandLine&, const std::string&) {}

// Options of link.exe. Those without an effect on Linux are accepted and ignored,
// so the course's command lines run unchanged.
const std::array<OptionRule, 19>& optionTable() {
    static const std::array<OptionRule, 19> table{{
        {"debug", Value::Optional, [](LinkCommandLine& c, const std::string&) { c.debug = true; }},
        {"out", Value::Required, [](LinkCommandLine& c, const std::string& v) { c.output = v; }},
        {"entry", Value::Required, [](LinkCommandLine& c, const std::string& v) { c.entry = v; }},
        {"subsystem", Value::Required, [](LinkCommandLine& c, const std::string& v) { c.subsystem = v; }},
        {"libpath", Value::Required, [](LinkCommandLine& c, const std::string& v) { c.libraryPaths.push_back(v); }},
        {"nologo", Value::None, [](LinkCommandLine& c, const std::string&) { c.noLogo = true; }},
        {"?", Value::None, [](LinkCommandLine& c, const std::string&) { c.help = true; }},
        {"help", Value::None, [](LinkCommandLine& c, const std::string&) { c.help = true; }},
        {"incremental", Value::Optional, ignore},
        {"machine", Value::Required, ignore},
        {"map", Value::Optional, ignore},
        {"pdb", Value::Required, ignore},
        {"opt", Value::Required, ignore},
        {"release", Value::None, ignore},
        {"verbose", Value::Optional, ignore},
        {"nodefaultlib", Value::Optional, ignore},
        {"defaultlib", Value::Required, ignore},
        {"fixed", Value::Optional, ignore},
        {"base", Value::Required, ignore},
    }};
    return table;
}

// "-x" is always an option; "/x" when it is not a Linux path.
bool isOption(const std::string& arg) { return (arg.size() > 1 && arg[0] == '-') || toolkit::isSlashSwitch(arg); }

// Drops one pair of enclosing double quotes: /out:"a b.exe" arrives unquoted from a
// shell but quoted from a hand-made argv.
std::string unquote(const std::string& value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

void applyOption(LinkCommandLine& command, const std::string& arg) {
    const std::string body = arg.substr(1);
    const auto colon = body.find(':');
    const std::string name = toLowerAscii(body.substr(0, colon));
    const bool hasValue = colon != std::string::npos;
    const std::string value = hasValue ? unquote(body.substr(colon + 1)) : std::string();
    for (const auto& rule : optionTable()) {
        if (name != rule.name) continue;
        if (rule.value == Value::Required && (!hasValue || value.empty())) {
            command.errors.push_back(linkMessageBody(LinkMsg::OptionSyntax, {body}));
            return;
        }
        if (rule.value == Value::None && hasValue) break;
        rule.apply(command, value);
        return;
    }
    // Sample: LNK4044: unrecognized option '/frob'; ignored
    command.warnings.push_back(linkMessageBody(LinkMsg::UnknownOption, {arg}));
}

}  // namespace

LinkCommandLine parseLinkCommandLine(const std::vector<std::string>& args) {
    LinkCommandLine command;
    for (const auto& arg : args) {
        if (arg.empty()) continue;
        if (isOption(arg)) {
            applyOption(command, arg);
        } else {
            command.inputs.push_back(unquote(arg));
        }
    }
    return command;
}

std::string entrySymbol(const std::string& entryName) {
    const std::string name = entryName.empty() ? std::string("start") : entryName;
    return "_" + name;
}

std::string defaultOutputPath(const std::vector<std::string>& inputs) {
    if (inputs.empty()) return "a.exe";
    return std::filesystem::path(inputs.front()).filename().replace_extension(".exe").string();
}

}  // namespace asmora::link
