// Macro definitions and calls, and the repeat blocks REPT, WHILE, FOR and FORC.
#include <algorithm>

#include "Lexer.h"
#include "Preprocessor.h"
#include "PreprocessorFrame.h"
#include "SourceFiles.h"
#include "Symbols.h"
#include "Text.h"

namespace ml {

namespace {

// "name MACRO ...", also when the name is built with & inside a macro body:
//   get&field MACRO reg
bool definesMacro(std::string_view code) {
    code = trim(code);
    const std::size_t nameEnd = code.find_first_of(" \t");
    if (nameEnd == std::string_view::npos) return false;
    std::string_view rest = trim(code.substr(nameEnd));
    return equalsNoCase(rest.substr(0, rest.find_first_of(" \t")), "MACRO");
}

bool isValidName(std::string_view name) {
    if (name.empty() || !isIdentStart(name[0])) return false;
    return std::all_of(name.begin(), name.end(), isIdentChar);
}

}  // namespace

const MacroDef* Preprocessor::findMacro(std::string_view name) const {
    if (macros_.empty()) return nullptr;
    char folded[64];
    if (name.size() > sizeof folded) {
        auto it = macros_.find(foldCase(name));
        return it == macros_.end() ? nullptr : it->second;
    }
    for (std::size_t i = 0; i < name.size(); ++i) folded[i] = toLowerAscii(name[i]);
    auto it = macros_.find(std::string_view(folded, name.size()));
    return it == macros_.end() ? nullptr : it->second;
}

bool Preprocessor::captureBlock(const SourceLine& opener, std::string_view name, std::vector<std::string_view>& body,
                                std::vector<std::uint32_t>& bodyLines) {
    int depth = 1;
    std::uint32_t number = 0;
    RawLine raw;
    while (!stopped_ && readTop(raw)) {
        ++number;
        SourceLine line = makeLine(raw, raw.text);
        emit(line, false);
        const std::string_view code = afterExpansionOperator(raw.text.substr(0, raw.codeSize));
        StatementHead h = splitHead(code);
        if (h.label.empty()) {
            if (isRepeatWord(h.first) || definesMacro(code))
                ++depth;
            else if (equalsNoCase(h.first, "ENDM") && --depth == 0)
                return true;
        }
        std::string_view trimmed = trim(raw.text);
        if (trimmed.size() >= 2 && trimmed.substr(0, 2) == ";;") continue;  // private comment
        body.push_back(raw.text);
        bodyLines.push_back(number);
    }
    if (!stopped_) report(Diag::MacroNotClosed, std::string(name), opener);
    return false;
}

void Preprocessor::defineMacro(std::string_view name, std::string_view paramsText, const SourceLine& at) {
    auto def = std::make_unique<MacroDef>();
    def->name = std::string(name);
    bool valid = isValidName(name);
    if (!valid) report(Diag::SyntaxError, "MACRO", at);
    for (std::string_view item : splitTextList(paramsText)) {
        if (item.empty()) continue;
        MacroParam p;
        std::size_t colon = item.find(':');
        p.name = std::string(trim(item.substr(0, colon)));
        if (colon != std::string_view::npos) {
            std::string_view qualifier = trim(item.substr(colon + 1));
            if (equalsNoCase(qualifier, "REQ"))
                p.required = true;
            else if (equalsNoCase(qualifier, "VARARG"))
                p.vararg = true;
            else if (!qualifier.empty() && qualifier[0] == '=')
                p.defaultText = itemText(qualifier.substr(1));
            else
                report(Diag::SyntaxError, std::string(qualifier), at);
        }
        if (!isValidName(p.name)) {
            report(Diag::SyntaxError, p.name, at);
            continue;
        }
        if (!def->params.empty() && def->params.back().vararg) report(Diag::VarargNotLast, p.name, at);
        def->params.push_back(std::move(p));
    }
    std::vector<std::string_view> body;
    std::vector<std::uint32_t> lines;
    if (!captureBlock(at, name, body, lines) || !valid) return;
    // LOCAL lines at the top of the body (blank and comment lines may come between
    // them) name the labels made unique per call; the body keeps every other line.
    bool inHeader = true;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (inHeader) {
            std::string_view code = trim(body[i].substr(0, commentStart(body[i])));
            StatementHead h = splitHead(code);
            if (h.label.empty() && equalsNoCase(h.first, "LOCAL") && h.firstRest.find(':') == std::string_view::npos) {
                for (std::string_view local : splitTextList(h.firstRest))
                    if (!local.empty()) def->locals.emplace_back(local);
                continue;
            }
            inHeader = code.empty();
        }
        def->body.push_back(body[i]);
        def->bodyLines.push_back(lines[i]);
    }
    std::string key = foldCase(name);
    if (!macros_.count(key))
        macroOrder_.push_back(def.get());
    else
        std::replace(macroOrder_.begin(), macroOrder_.end(), macros_[key], static_cast<const MacroDef*>(def.get()));
    macros_[key] = def.get();
    macroStore_.push_back(std::move(def));
}

std::vector<std::string> Preprocessor::splitArguments(std::string_view text, const SourceLine& at) {
    std::vector<std::string> out;
    if (trim(text).empty()) return out;
    for (std::string_view item : splitTextList(text)) {
        if (!item.empty() && item[0] == '%') {
            out.push_back(expansionText(item.substr(1), at).value_or(std::string()));
        } else {
            out.push_back(itemText(item));
        }
    }
    return out;
}

void Preprocessor::invokeMacro(const MacroDef& def, std::string_view argsText, const SourceLine& at) {
    if (at.macroDepth >= kMaxMacroDepth) {
        report(Diag::MacroNestingTooDeep, def.name, at);
        return;
    }
    std::vector<std::string> args = splitArguments(argsText, at);
    for (const std::string& arg : args)
        if (arg.size() > kMaxTextLength) {  // the call is not expanded
            report(Diag::TextTooLong, def.name, at);
            return;
        }
    auto f = std::make_unique<Frame>();
    for (std::size_t i = 0; i < def.params.size(); ++i) {
        const MacroParam& p = def.params[i];
        std::string value = i < args.size() ? args[i] : std::string();
        if (p.vararg) {
            for (std::size_t k = i + 1; k < args.size(); ++k) value += "," + args[k];
        }
        if (trim(value).empty()) {
            if (!p.defaultText.empty())
                value = p.defaultText;
            else if (p.required) {
                report(Diag::MissingMacroArgument, def.name + " : " + p.name, at);
                return;
            }
        }
        f->bindings.emplace_back(p.name, std::move(value));
    }
    bool hasVararg = !def.params.empty() && def.params.back().vararg;
    if (!hasVararg && args.size() > def.params.size()) report(Diag::TooManyMacroArguments, def.name, at);
    for (const std::string& local : def.locals) f->bindings.emplace_back(local, "??" + hex(localCounter_++, 4));
    f->kind = Frame::Kind::Macro;
    f->body = &def.body;
    f->bodyLines = &def.bodyLines;
    pushExpansion(std::move(f), def.name, at);
}

// Starts reading an expansion's lines; they report `at` as the line that called them.
void Preprocessor::pushExpansion(std::unique_ptr<Frame> f, std::string name, const SourceLine& at) {
    Expansion& e = expansions_.emplace_back();
    e.name = std::move(name);
    e.parent = at.expansion;
    e.callerMacroLine = at.macroLine;
    f->expansion = &e;
    f->condDepth = conds_.size();
    f->mainFile = at.file;
    f->mainLine = at.line;
    f->depth = static_cast<std::uint8_t>(std::min<std::size_t>(at.macroDepth + 1u, 255));
    f->opener = at;
    frames_.push_back(std::move(f));
}

void Preprocessor::startRepeat(std::string_view word, std::string_view operands, const SourceLine& at) {
    auto f = std::make_unique<Frame>();
    if (!captureBlock(at, word, f->ownedBody, f->ownedBodyLines)) return;
    if (at.macroDepth >= kMaxMacroDepth) {
        report(Diag::MacroNestingTooDeep, std::string(word), at);
        return;
    }
    if (equalsAny(word, {"REPT", "REPEAT"})) {
        auto count = constantOperand(operands, at);
        if (!count || *count <= 0) return;
        f->repeat = Frame::Repeat::Count;
        f->remaining = *count;
    } else if (equalsNoCase(word, "WHILE")) {
        f->repeat = Frame::Repeat::While;
        f->condition = std::string(operands);
        if (constantOperand(operands, at).value_or(0) == 0) return;
    } else {
        auto items = splitTextList(operands);
        if (items.size() < 2) {
            report(Diag::SyntaxError, std::string(word), at);
            return;
        }
        std::string_view param = items[0];
        std::string defaultText;
        if (auto colon = param.find(':'); colon != std::string_view::npos) {
            std::string_view qualifier = trim(param.substr(colon + 1));
            if (!qualifier.empty() && qualifier[0] == '=') defaultText = itemText(qualifier.substr(1));
            param = trim(param.substr(0, colon));
        }
        if (!isValidName(param)) {
            report(Diag::SyntaxError, std::string(param), at);
            return;
        }
        f->bindings.emplace_back(std::string(param), std::string());
        bool perCharacter = equalsAny(word, {"FORC", "IRPC"});
        f->repeat = perCharacter ? Frame::Repeat::Forc : Frame::Repeat::For;
        if (perCharacter) {
            std::string text = itemText(items[1]);
            for (char c : text) f->items.emplace_back(1, c);
        } else {
            auto list = angleLiteral(items[1]);
            if (!list) {
                report(Diag::MissingAngleBracket, std::string(word), at);
                return;
            }
            for (std::string_view item : splitTextList(*list)) {
                std::string value = itemText(item);
                f->items.push_back(value.empty() ? defaultText : value);
            }
        }
        if (f->items.empty()) return;
        f->bindings[0].second = f->items[0];
    }
    f->kind = Frame::Kind::Repeat;
    f->body = &f->ownedBody;
    f->bodyLines = &f->ownedBodyLines;
    pushExpansion(std::move(f), upperCase(word), at);
}

bool Preprocessor::advanceRepeat(Frame& f) {
    if (++expandedLines_ > bounds_.lines) {
        report(Diag::ExpansionTooLarge, "", f.opener);
        return false;
    }
    switch (f.repeat) {
        case Frame::Repeat::Count:
            return --f.remaining > 0;
        case Frame::Repeat::While: {
            return constantOperand(f.condition, f.opener).value_or(0) != 0;
        }
        case Frame::Repeat::For:
        case Frame::Repeat::Forc:
            if (++f.item >= f.items.size()) return false;
            f.bindings[0].second = f.items[f.item];
            return true;
    }
    return false;
}

bool Preprocessor::exitExpansion(std::string_view operand, const SourceLine& at) {
    if (frames_.empty() || frames_.back()->kind == Frame::Kind::File) {
        report(Diag::ExitmOutsideMacro, "", at);
        return false;
    }
    // The value is <text>, %expression, a text macro or another function's result.
    operand = trim(operand);
    std::string result;
    if (auto literal = angleLiteral(operand)) {
        result = std::move(*literal);
    } else if (!operand.empty() && (operand[0] == '%' || operand.find('(') != std::string_view::npos)) {
        result = textItem(operand, at).value_or(std::string());
    } else if (const Symbol* s = symbols_.find(operand); s && s->kind == SymbolKind::Text) {
        result = s->text;
    } else {
        result = std::string(operand);
    }
    functionResult_ = std::move(result);
    conds_.resize(std::min(conds_.size(), frames_.back()->condDepth));
    frames_.pop_back();
    return true;
}

namespace {

// `line` without its private comment (";;" outside quotes and everything after it).
// The scan jumps from one quote or semicolon to the next instead of walking every character.
std::string_view withoutPrivateComment(std::string_view line) {
    std::size_t i = line.find_first_of(";'\"");
    while (i != std::string_view::npos && line[i] != ';') {
        const std::size_t close = line.find(line[i], i + 1);
        if (close == std::string_view::npos) return line;
        i = line.find_first_of(";'\"", close + 1);
    }
    if (i == std::string_view::npos || i + 1 >= line.size() || line[i + 1] != ';') return line;
    return line.substr(0, i);
}

}  // namespace

// Replaces parameters and LOCAL names in one body line. Inside strings a name is
// replaced only where '&' marks it; outside, '&' next to a replaced name is dropped.
//   mov eax, val&_x   with val=count   ->  mov eax, count_x
// Most lines of a repeat block have nothing to replace: they come back as views of
// the body itself, so that a long expansion neither copies nor stores them again.
std::string_view Preprocessor::substituteBody(std::string_view line, const Frame& frame) {
    if (frame.bindings.empty()) return withoutPrivateComment(line);
    std::string& out = substituted_;
    out.clear();
    auto lookup = [&](std::string_view name) -> const std::string* {
        for (const auto& [param, value] : frame.bindings)
            if (equalsNoCase(param, name)) return &value;
        return nullptr;
    };
    char quote = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (!quote && c == ';') {
            if (i + 1 < line.size() && line[i + 1] == ';') break;
            out.append(line.substr(i));
            break;
        }
        if (c == '\'' || c == '"') {
            if (!quote)
                quote = c;
            else if (quote == c)
                quote = 0;
            out.push_back(c);
            ++i;
            continue;
        }
        if (isDigit(c) && !quote) {
            while (i < line.size() && isAlnum(line[i])) out.push_back(line[i++]);
            continue;
        }
        if (!isIdentStart(c)) {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < line.size() && isIdentChar(line[i])) ++i;
        std::string_view word = line.substr(start, i - start);
        const std::string* value = lookup(word);
        bool ampBefore = !out.empty() && out.back() == '&';
        bool ampAfter = i < line.size() && line[i] == '&';
        if (!value || (quote && !ampBefore && !ampAfter)) {
            out.append(word);
            continue;
        }
        if (ampBefore) out.pop_back();
        out += *value;
        if (ampAfter) ++i;
        // Already too long to assemble: the rest would only cost memory.
        if (out.size() > kMaxLineLength) break;
    }
    return out == line ? line : arena_.store(out);
}

}  // namespace ml

namespace ml {

namespace {

// The text functions every assembly knows, called like macro functions.
enum class BuiltinFunction { None, CatStr, SizeStr, InStr, SubStr };

BuiltinFunction builtinFunction(std::string_view name) {
    if (equalsNoCase(name, "@CatStr")) return BuiltinFunction::CatStr;
    if (equalsNoCase(name, "@SizeStr")) return BuiltinFunction::SizeStr;
    if (equalsNoCase(name, "@InStr")) return BuiltinFunction::InStr;
    if (equalsNoCase(name, "@SubStr")) return BuiltinFunction::SubStr;
    return BuiltinFunction::None;
}

// The index after the ')' that closes the '(' at `open`, or npos.
std::size_t closingParen(std::string_view s, std::size_t open) {
    int depth = 0;
    char quote = 0;
    for (std::size_t i = open; i < s.size(); ++i) {
        char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth == 0) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

}  // namespace

// Runs a macro called as a function: its lines are assembled now, one by one and
// before the line that called it, so that EXITM %count sees what the body assigned;
// EXITM <text> gives the value that replaces the call.
std::string Preprocessor::runMacroFunction(const MacroDef& def, std::string_view args, const SourceLine& at) {
    const std::size_t depth = frames_.size();
    functionResult_.clear();
    invokeMacro(def, args, at);
    RawLine raw;
    while (fetchRaw(raw, depth)) {
        process(raw);
        assemblePending();
    }
    return functionResult_;
}

// Hands the lines produced so far to the assembler, in order, as next() would.
void Preprocessor::assemblePending() {
    while (!pending_.empty()) {
        SourceLine line = pending_.front();
        pending_.pop_front();
        ++order_;
        assembler_.assembleNow(line);
    }
}

std::string Preprocessor::callBuiltin(int function, std::string_view args, const SourceLine& at) {
    std::vector<std::string> items;
    for (std::string_view item : splitTextList(args)) {
        if (!item.empty() && item[0] == '%') {
            items.push_back(textItem(item, at).value_or(std::string()));
        } else if (auto lit = angleLiteral(item)) {
            items.push_back(*lit);
        } else if (auto called =
                       item.find('(') != std::string_view::npos ? expandMacroFunctions(item, at) : std::nullopt) {
            items.push_back(*called);  // @SizeStr(@SubStr(<abc>, 2))
        } else {
            const Symbol* s = symbols_.find(item);
            items.push_back(s && s->kind == SymbolKind::Text ? s->text : std::string(item));
        }
    }
    auto number = [&](std::size_t i, std::int64_t fallback) {
        return i < items.size() ? constantOperand(items[i], at).value_or(fallback) : fallback;
    };
    switch (static_cast<BuiltinFunction>(function)) {
        case BuiltinFunction::CatStr: {
            std::string out;
            for (const std::string& item : items) {
                out += item;
                if (out.size() > kMaxTextLength) {
                    report(Diag::TextTooLong, "@CatStr", at);
                    return {};
                }
            }
            return out;
        }
        case BuiltinFunction::SizeStr:
            return std::to_string(items.empty() ? 0 : items[0].size());
        case BuiltinFunction::InStr: {  // @InStr([start], text, wanted): the start may be left out
            if (items.size() < 2) return "0";
            const std::size_t first = items.size() >= 3 ? 1 : 0;
            std::int64_t start = first == 1 && !trim(items[0]).empty() ? number(0, 1) : 1;
            const std::string& text = items[first];
            const std::string& wanted = items[first + 1];
            if (start < 1 || std::size_t(start) > text.size() + 1) return "0";
            auto pos = text.find(wanted, std::size_t(start - 1));
            return std::to_string(pos == std::string::npos ? 0 : pos + 1);
        }
        case BuiltinFunction::SubStr: {
            if (items.size() < 2) return {};
            std::int64_t start = number(1, 1);
            if (start < 1 || std::size_t(start) > items[0].size() + 1) {
                report(Diag::ValueOutOfRange, "@SubStr", at);
                return {};
            }
            std::size_t from = std::size_t(start - 1);
            std::int64_t length = number(2, std::int64_t(items[0].size() - from));
            if (length < 0) length = 0;
            return items[0].substr(from, std::size_t(length));
        }
        case BuiltinFunction::None:
            break;
    }
    return {};
}

// Replaces calls of macro functions and of the built-in text functions:
//   mov eax, Twice(3)   ->   mov eax, 6
std::optional<std::string> Preprocessor::expandMacroFunctions(std::string_view text, const SourceLine& at) {
    std::string out;
    bool changed = false;
    char quote = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (quote || c == '\'' || c == '"') {
            if (quote && c == quote)
                quote = 0;
            else if (!quote)
                quote = c;
            out.push_back(c);
            ++i;
            continue;
        }
        if (c == ';') {
            out.append(text.substr(i));
            break;
        }
        if (isDigit(c)) {
            while (i < text.size() && isAlnum(text[i])) out.push_back(text[i++]);
            continue;
        }
        if (!isIdentStart(c)) {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < text.size() && isIdentChar(text[i])) ++i;
        std::string_view name = text.substr(start, i - start);
        std::size_t open = i;
        while (open < text.size() && isSpace(text[open])) ++open;
        BuiltinFunction builtin = builtinFunction(name);
        const MacroDef* def = builtin == BuiltinFunction::None ? findMacro(name) : nullptr;
        std::size_t close = open < text.size() && text[open] == '(' ? closingParen(text, open) : std::string_view::npos;
        if ((builtin == BuiltinFunction::None && !def) || close == std::string_view::npos) {
            out.append(name);
            continue;
        }
        std::string_view args = text.substr(open + 1, close - open - 2);
        out += builtin != BuiltinFunction::None ? callBuiltin(static_cast<int>(builtin), args, at)
                                                : runMacroFunction(*def, args, at);
        i = close;
        changed = true;
    }
    if (!changed) return std::nullopt;
    return out;
}

}  // namespace ml
