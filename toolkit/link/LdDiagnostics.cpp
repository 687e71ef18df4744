// A table of ld message patterns, each with the link.exe message it becomes.
#include "LdDiagnostics.h"

#include "LinkMessages.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

namespace asmora::link {

namespace {

std::string baseName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// What the translation collects while it reads ld's lines.
struct Collected {
    std::string currentFile = "LINK";     // object named by the last "in function" line
    std::vector<std::string> unresolved;  // unique symbols, in order of first report
    std::vector<std::string> lines;       // messages other than the summary
    int multiplyDefined = 0;
    int errors = 0;
};

void reportUnresolved(Collected& state, const std::string& file, const std::string& symbol) {
    if (std::find(state.unresolved.begin(), state.unresolved.end(), symbol) != state.unresolved.end()) return;
    state.unresolved.push_back(symbol);
    // Sample: hello.obj : error LNK2001: unresolved external symbol _ExitProcess@4
    state.lines.push_back(linkMessageLine(file, LinkMsg::UnresolvedExternal, {symbol}));
    ++state.errors;
}

using Handler = void (*)(Collected&, const std::smatch&, const LdContext&);

struct Pattern {
    std::regex expression;
    Handler handle;
};

// ld's lines, with "ld: " already removed; the first matching row applies.
const std::vector<Pattern>& patternTable() {
    static const std::vector<Pattern> table = {
        // hello.obj: in function `_start':
        {std::regex(R"(^(.+): in function `.*':$)"),
         [](Collected& s, const std::smatch& m, const LdContext&) { s.currentFile = baseName(m[1]); }},
        // hello.obj:(.data+0x4): undefined reference to `x'
        {std::regex(R"(^([^:]+):\(.*\): undefined reference to `(.+)'$)"),
         [](Collected& s, const std::smatch& m, const LdContext&) { reportUnresolved(s, baseName(m[1]), m[2]); }},
        // /home/u/hello.asm:25: undefined reference to `_ExitProcess@4'
        {std::regex(R"(undefined reference to `(.+)'$)"),
         [](Collected& s, const std::smatch& m, const LdContext&) { reportUnresolved(s, s.currentFile, m[1]); }},
        // required symbol `_start' not defined
        {std::regex(R"(^required symbol `(.+)' not defined$)"),
         [](Collected& s, const std::smatch& m, const LdContext&) { reportUnresolved(s, "LINK", m[1]); }},
        // --defsym:1: undefined symbol `_start' referenced in expression
        // (the start-up stub's alias for an entry that no input defines)
        {std::regex(R"(^--defsym:\d+: undefined symbol `(.+)' referenced in expression$)"),
         [](Collected& s, const std::smatch& m, const LdContext&) { reportUnresolved(s, "LINK", m[1]); }},
        // hello.asm:5: multiple definition of `_start'; a.obj:a.asm:5: first defined here
        {std::regex(R"(multiple definition of `(.+)'; ([^:]+):.*first defined here$)"),
         [](Collected& s, const std::smatch& m, const LdContext&) {
             s.lines.push_back(linkMessageLine(s.currentFile, LinkMsg::AlreadyDefined, {m[1].str(), baseName(m[2])}));
             ++s.multiplyDefined;
             ++s.errors;
         }},
        // cannot open output file /x/hello.exe.link-tmp: No such file or directory
        {std::regex(R"(^cannot open output file .*$)"),
         [](Collected& s, const std::smatch&, const LdContext& c) {
             s.lines.push_back(linkMessageLine("LINK", LinkMsg::CannotOpenFile, {c.outputShown}));
             ++s.errors;
         }},
        // cannot find io.obj: No such file or directory
        {std::regex(R"(^cannot find (.+?)(: .*)?$)"),
         [](Collected& s, const std::smatch& m, const LdContext&) {
             s.lines.push_back(linkMessageLine("LINK", LinkMsg::CannotOpenFile, {m[1].str()}));
             ++s.errors;
         }},
        // cannot find entry symbol _start; not setting start address
        // (always follows "required symbol ... not defined", which is reported already)
        {std::regex(R"(cannot find entry symbol)"), [](Collected&, const std::smatch&, const LdContext&) {}},
        // warning: ...
        {std::regex(R"(^(.*: )?warning: (.*)$)"),
         [](Collected& s, const std::smatch& m, const LdContext&) {
             s.lines.push_back(linkMessageLine("LINK", LinkMsg::LinkerWarning, {m[2].str()}));
         }},
    };
    return table;
}

std::string withoutLdPrefix(const std::string& line) {
    static const std::regex prefix(R"(^(\S*/)?ld(\.bfd)?: ?)");
    return std::regex_replace(line, prefix, "", std::regex_constants::format_first_only);
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

void translateLine(Collected& state, const std::string& line, const LdContext& context) {
    const std::string text = replaceAll(withoutLdPrefix(line), context.outputTemp, context.outputShown);
    if (text.empty()) return;
    for (const auto& pattern : patternTable()) {
        std::smatch match;
        if (std::regex_search(text, match, pattern.expression)) {
            pattern.handle(state, match, context);
            return;
        }
    }
    // Sample: LINK : error LNK1000: final link failed: bad value
    state.lines.push_back(linkMessageLine("LINK", LinkMsg::LinkerReport, {text}));
    ++state.errors;
}

}  // namespace

LinkMessages translateLdOutput(const std::string& ldOutput, const LdContext& context) {
    Collected state;
    std::istringstream input(ldOutput);
    for (std::string line; std::getline(input, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        translateLine(state, line, context);
    }
    LinkMessages messages{std::move(state.lines), state.errors};
    const std::string output = baseName(context.outputShown);
    if (!state.unresolved.empty()) {
        // Sample: hello.exe : fatal error LNK1120: 2 unresolved externals
        messages.lines.push_back(
            linkMessageLine(output, LinkMsg::UnresolvedCount, {std::to_string(state.unresolved.size())}));
        ++messages.errorCount;
    }
    if (state.multiplyDefined > 0) {
        messages.lines.push_back(linkMessageLine(output, LinkMsg::MultiplyDefinedSummary));
        ++messages.errorCount;
    }
    return messages;
}

}  // namespace asmora::link
