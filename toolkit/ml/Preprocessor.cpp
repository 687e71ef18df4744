// The preprocessor's line loop: reading files and expansions, conditional assembly,
// INCLUDE, COMMENT, .ERR directives, text macros and the listing switches.
#include "Preprocessor.h"
#include "PreprocessorFrame.h"

#include <algorithm>

#include "Lexer.h"
#include "SourceFiles.h"
#include "Symbols.h"
#include "Text.h"
#include "WordIndex.h"

namespace ml {

namespace {

struct Word {
    std::string_view name;
};

// First words of the lines the preprocessor handles itself (lower case, sorted).
constexpr std::array kFirstWords = std::to_array<Word>({
    {".cref"},     {".err"},       {".err1"},     {".err2"},        {".errb"},     {".errdef"},    {".errdif"},
    {".errdifi"},  {".erre"},      {".erridn"},   {".erridni"},     {".errnb"},    {".errndef"},   {".errnz"},
    {".lall"},     {".lfcond"},    {".list"},     {".listall"},     {".listif"},   {".listmacro"}, {".listmacroall"},
    {".nocref"},   {".nolist"},    {".nolistif"}, {".nolistmacro"}, {".sall"},     {".sfcond"},    {".tfcond"},
    {".xall"},     {".xcref"},     {".xlist"},    {"comment"},      {"echo"},      {"else"},       {"elseif"},
    {"elseif1"},   {"elseif2"},    {"elseifb"},   {"elseifdef"},    {"elseifdif"}, {"elseifdifi"}, {"elseife"},
    {"elseifidn"}, {"elseifidni"}, {"elseifnb"},  {"elseifndef"},   {"endif"},     {"endm"},       {"exitm"},
    {"for"},       {"forc"},       {"goto"},      {"if"},           {"if1"},       {"if2"},        {"ifb"},
    {"ifdef"},     {"ifdif"},      {"ifdifi"},    {"ife"},          {"ifidn"},     {"ifidni"},     {"ifnb"},
    {"ifndef"},    {"include"},    {"irp"},       {"irpc"},         {"page"},      {"purge"},      {"repeat"},
    {"rept"},      {"subtitle"},   {"subttl"},    {"title"},        {"while"},
});

enum SecondWordRole : std::uint8_t {
    kHandledHere = 1,  // the preprocessor handles the line: name MACRO, name TEXTEQU ...
    kDefinesName = 2,  // the directive defines its first word, which is not expanded
};

struct SecondWord {
    std::string_view name;
    std::uint8_t roles;
};

// Second words with a meaning for the preprocessor (lower case, sorted).
// clang-format off
constexpr std::array kSecondWords = std::to_array<SecondWord>({
    {"=", kDefinesName},       {"catstr", kHandledHere},  {"endp", kDefinesName},
    {"ends", kDefinesName},    {"equ", kHandledHere | kDefinesName},
    {"group", kDefinesName},   {"instr", kHandledHere},   {"label", kDefinesName},
    {"macro", kHandledHere},   {"proc", kDefinesName},    {"proto", kDefinesName},
    {"record", kDefinesName},  {"segment", kDefinesName}, {"sizestr", kHandledHere},
    {"struc", kDefinesName},   {"struct", kDefinesName},  {"substr", kHandledHere},
    {"textequ", kHandledHere}, {"typedef", kDefinesName}, {"union", kDefinesName},
});
// clang-format on

bool isFirstWord(std::string_view word) {
    static const WordIndex index(kFirstWords);
    return index.find(word) != nullptr;
}

// The roles of a statement's second word; 0 for most words.
std::uint8_t secondWordRoles(std::string_view word) {
    if (word.empty()) return 0;
    static const WordIndex index(kSecondWords);
    const SecondWord* w = index.find(word);
    return w ? w->roles : 0;
}

// `text` begins with the word `word` (in any case), not merely with its letters.
bool startsWithWord(std::string_view text, std::string_view word) {
    return text.size() >= word.size() && equalsNoCase(text.substr(0, word.size()), word) &&
           (text.size() == word.size() || !isIdentChar(text[word.size()]));
}

// Lines ending in '\' or ',' continue on the next line; `code` is the line without
// its comment.
bool continues(std::string_view code, std::string_view* joined) {
    std::string_view c = trim(code);
    if (c.empty()) return false;
    if (c.back() == '\\') {
        *joined = c.substr(0, c.size() - 1);
        return true;
    }
    if (c.back() == ',') {
        *joined = c;
        return true;
    }
    return false;
}

bool isBlank(std::string_view s) { return trim(s).empty(); }

// ":name" alone on a line of a macro or repeat block: a label for GOTO.
bool isMacroLabel(std::string_view code) {
    code = trim(code);
    if (code.size() < 2 || code[0] != ':') return false;
    std::string_view name = trim(code.substr(1));
    return !name.empty() && isIdentStart(name[0]) && std::all_of(name.begin(), name.end(), isIdentChar);
}

}  // namespace

bool isRepeatWord(std::string_view w) {
    return equalsAny(w, {"REPT", "REPEAT", "WHILE", "FOR", "FORC", "IRP", "IRPC"});
}

bool startsWithPercent(std::string_view code) {
    std::size_t i = 0;
    while (i < code.size() && isSpace(code[i])) ++i;
    return i < code.size() && code[i] == '%';
}

std::string_view afterExpansionOperator(std::string_view code) {
    return startsWithPercent(code) ? trim(code).substr(1) : code;
}

std::string itemText(std::string_view item) {
    if (auto lit = angleLiteral(item)) return *lit;
    return std::string(trim(item));
}

std::optional<std::string> angleLiteral(std::string_view text, std::string_view* rest) {
    text = trim(text);
    if (text.empty() || text[0] != '<') return std::nullopt;
    std::string out;
    int depth = 1;
    std::size_t i = 1;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '!' && i + 1 < text.size()) {
            out.push_back(text[++i]);
            continue;
        }
        if (c == '<') ++depth;
        if (c == '>' && --depth == 0) break;
        out.push_back(c);
    }
    if (depth != 0) return std::nullopt;
    if (rest) *rest = trim(text.substr(i + 1));
    return out;
}

Preprocessor::Preprocessor(SourceFiles& files, SymbolTable& symbols, DiagnosticSink& diagnostics, TextArena& arena,
                           AssemblerHooks& assembler, std::vector<std::string> includeDirs, ExpansionBounds bounds)
    : files_(files),
      symbols_(symbols),
      diagnostics_(diagnostics),
      arena_(arena),
      assembler_(assembler),
      includeDirs_(std::move(includeDirs)),
      bounds_(bounds) {}

Preprocessor::~Preprocessor() = default;

void Preprocessor::start(std::uint32_t mainFile) {
    auto f = std::make_unique<Frame>();
    f->kind = Frame::Kind::File;
    f->file = mainFile;
    frames_.push_back(std::move(f));
    // @Line is the text macro whose text is the number of the line that reads it.
    // It is no symbol of the program's own: the listing leaves it out.
    setTextMacro("@Line", "0");
    Symbol* line = symbols_.findGlobal("@Line");
    if (line) line->hidden = true;
    lineSymbol_ = line;
}

std::vector<const MacroDef*> Preprocessor::macros() const {
    std::vector<const MacroDef*> out;
    for (const MacroDef* m : macroOrder_)
        if (findMacro(m->name) == m) out.push_back(m);
    return out;
}

void Preprocessor::report(Diag id, std::string detail, const SourceLine& at) {
    diagnostics_.add(diagnosticAt(id, std::move(detail), at, files_, order_ + pending_.size()));
    if (diagInfo(id).severity == Severity::Fatal) stopped_ = true;
}

bool Preprocessor::next(SourceLine& out) {
    while (pending_.empty()) {
        if (stopped_) return false;
        RawLine raw;
        if (!fetchRaw(raw)) return false;
        process(raw);
    }
    out = pending_.front();
    pending_.pop_front();
    ++order_;
    return true;
}

void Preprocessor::popFrame() {
    Frame& f = *frames_.back();
    if (conds_.size() > f.condDepth) {
        if (f.kind == Frame::Kind::File) {
            SourceLine at;
            at.file = f.file;
            at.line = static_cast<std::uint32_t>(files_.file(f.file).lines.size());
            report(Diag::BlockNotClosed, "IF", at);
        }
        conds_.resize(f.condDepth);
    }
    frames_.pop_back();
}

bool Preprocessor::readTop(RawLine& raw) {
    Frame& f = *frames_.back();
    if (f.kind == Frame::Kind::File) {
        const auto& lines = files_.file(f.file).lines;
        if (f.next >= lines.size()) return false;
        std::size_t first = f.next++;
        std::string_view text = lines[first];
        std::size_t codeSize = commentStart(text);
        std::string_view code;
        if (continues(text.substr(0, codeSize), &code) && f.next < lines.size()) {
            // Past the length limit the continued lines are still read, not kept: the
            // line is reported once as too long.
            std::string joined(code);
            while (f.next < lines.size()) {
                std::string_view nextLine = lines[f.next++];
                const bool more = continues(nextLine.substr(0, commentStart(nextLine)), &code);
                if (joined.size() <= kMaxLineLength) {
                    joined += ' ';
                    joined += more ? code : nextLine;
                }
                if (!more) break;
            }
            text = arena_.store(joined);
            codeSize = commentStart(text);
        }
        raw.text = text;
        raw.codeSize = codeSize;
        raw.fileLine = static_cast<std::uint32_t>(first + 1);
        raw.bodyLine = 0;
        return true;
    }
    if (f.next >= f.body->size()) return false;
    std::size_t i = f.next++;
    if (++expandedLines_ > bounds_.lines) {
        report(Diag::ExpansionTooLarge, "", f.opener);
        return false;
    }
    raw.text = substituteBody((*f.body)[i], f);
    if ((expandedBytes_ += raw.text.size()) > bounds_.bytes) {
        report(Diag::ExpansionTooLarge, "", f.opener);
        return false;
    }
    raw.codeSize = commentStart(raw.text);
    raw.bodyLine = (*f.bodyLines)[i];
    raw.fileLine = 0;
    return true;
}

bool Preprocessor::fetchRaw(RawLine& raw, std::size_t floor) {
    while (frames_.size() > floor && !stopped_) {
        if (readTop(raw)) return true;
        Frame& f = *frames_.back();
        if (!stopped_ && f.kind == Frame::Kind::Repeat && advanceRepeat(f)) {
            f.next = 0;
            continue;
        }
        popFrame();
    }
    return false;
}

SourceLine Preprocessor::makeLine(const RawLine& raw, std::string_view text) const {
    const Frame& f = *frames_.back();
    SourceLine l;
    l.text = text;
    l.listText = raw.text;
    if (f.kind == Frame::Kind::File) {
        l.file = f.file;
        l.line = raw.fileLine;
        if (f.fromInclude) l.flags |= kFromInclude;
    } else {
        l.file = f.mainFile;
        l.line = f.mainLine;
        l.expansion = f.expansion;
        l.macroLine = raw.bodyLine;
        l.macroDepth = f.depth;
        l.flags |= kExpansion;
    }
    return l;
}

void Preprocessor::emit(SourceLine line, bool statement) {
    if (statement) line.flags |= kStatement;
    bool listed = listEnabled_;
    if (line.has(kExpansion)) {
        if (macroListing_ == MacroListing::None) listed = false;
        if (macroListing_ == MacroListing::CodeOnly) line.flags |= kListIfCode;
    }
    if (listed) line.flags |= kListed;
    pending_.push_back(line);
}

void Preprocessor::process(const RawLine& raw) {
    SourceLine line = makeLine(raw, raw.text);
    if (commentDelimiter_) {
        if (raw.text.find(commentDelimiter_) != std::string_view::npos) commentDelimiter_ = 0;
        emit(line, false);
        return;
    }
    if (raw.codeSize > kMaxLineLength) {
        report(Diag::LineTooLong, "", line);  // before emit(): the listing shows it under the line
        emit(line, false);
        return;
    }
    std::string_view code = raw.text.substr(0, raw.codeSize);
    if (startsWithPercent(code) && isActive()) {
        std::string_view rest = trim(code).substr(1);
        if (startsWithWord(rest, "OUT")) {  // %OUT text: the old spelling of ECHO
            emit(line, false);
            echo(rest.substr(3));
            return;
        }
        code = expandWholeLine(rest, line);
    }
    if (frames_.back()->kind != Frame::Kind::File && isActive() && isMacroLabel(code)) {
        emit(line, false);  // :label, a target of GOTO
        return;
    }
    StatementHead head = splitHead(code);
    std::string_view w1 = head.first, w2 = head.second;
    // Most lines are instructions: only lines whose words the preprocessor knows go
    // through its directives.
    const std::uint8_t roles = secondWordRoles(w2);
    bool directive = (roles & kHandledHere) || isFirstWord(w1);
    if (directive && head.label.empty() && handleConditional(w1, head.firstRest, line)) return;
    if (!isActive()) {
        if (listFalseConditionals_) emit(line, false);
        return;
    }
    if (!directive) {
        emitStatement(line, code, head, roles & kDefinesName);
        return;
    }
    if (head.label.empty()) {
        if (equalsNoCase(w2, "MACRO")) {
            emit(line, false);
            defineMacro(w1, head.secondRest, line);
            return;
        }
        if (isRepeatWord(w1)) {
            emit(line, false);
            startRepeat(w1, head.firstRest, line);
            return;
        }
    } else if (isRepeatWord(w1)) {  // label: REPT n
        SourceLine labelLine = line;
        labelLine.text = arena_.store(std::string(head.label) + (head.globalLabel ? "::" : ":"));
        emit(labelLine, true);
        line.listText = {};
        startRepeat(w1, head.firstRest, line);
        return;
    }
    if (head.label.empty() && handleDirective(raw, head, line)) return;
    emitStatement(line, code, head, roles & kDefinesName);
}

// The directives that the preprocessor carries out itself, written without a label;
// false when `head` is none of them.
bool Preprocessor::handleDirective(const RawLine& raw, const StatementHead& head, const SourceLine& line) {
    std::string_view w1 = head.first, w2 = head.second;
    if (equalsNoCase(w1, "EXITM")) {
        emit(line, false);
        exitExpansion(head.firstRest, line);
    } else if (equalsNoCase(w1, "ENDM")) {
        emit(line, false);
        report(Diag::UnmatchedBlock, "ENDM", line);
    } else if (equalsNoCase(w1, "PURGE")) {
        emit(line, false);
        for (std::string_view name : splitTextList(head.firstRest)) macros_.erase(foldCase(name));
    } else if (equalsNoCase(w1, "INCLUDE")) {
        emit(line, false);
        include(head.firstRest, line);
    } else if (equalsNoCase(w1, "COMMENT")) {
        emit(line, false);
        startComment(raw, head.firstRest, line);
    } else if (handleListingSwitch(w1, head.firstRest)) {
        emit(line, false);
    } else if (w1.size() >= 4 && equalsNoCase(w1.substr(0, 4), ".ERR")) {
        emit(line, false);
        handleForcedError(w1, head.firstRest, line);
    } else if (equalsNoCase(w1, "ECHO")) {
        emit(line, false);
        echo(head.firstRest);
    } else if (equalsNoCase(w1, "GOTO")) {
        emit(line, false);
        gotoMacroLabel(head.firstRest, line);
    } else {
        return equalsAny(w2, {"TEXTEQU", "CATSTR", "SUBSTR", "SIZESTR", "INSTR", "EQU"}) &&
               defineTextMacro(w1, w2, head.secondRest, line);
    }
    return true;
}

// ECHO shows its text as written: text macros in it are expanded only by a "%"
// before the line.
void Preprocessor::echo(std::string_view text) { echoes_.emplace_back(trim(text)); }

// "%" at the start of a line expands every text macro and macro function in it, in
// its strings too, before the line is read:
//   % ECHO count is count     |   % msg BYTE "@FileName"
std::string_view Preprocessor::expandWholeLine(std::string_view text, const SourceLine& at) {
    std::string_view result = trim(text);
    if (auto expanded = expandTextMacros(result, true, at)) result = arena_.store(*expanded);
    if (result.find('(') != std::string_view::npos)
        if (auto called = expandMacroFunctions(result, at)) result = arena_.store(*called);
    return result;
}

// GOTO name inside a macro or repeat block goes on after the line ":name" of the same
// block, leaving the IF blocks it opened; the expansion bounds stop a GOTO that loops.
void Preprocessor::gotoMacroLabel(std::string_view name, const SourceLine& at) {
    name = trim(name);
    Frame& f = *frames_.back();
    if (f.kind == Frame::Kind::File) {
        report(Diag::SyntaxError, "GOTO", at);
        return;
    }
    for (std::size_t i = 0; i < f.body->size(); ++i) {
        std::string_view code = trim((*f.body)[i].substr(0, commentStart((*f.body)[i])));
        if (isMacroLabel(code) && equalsNoCase(trim(code.substr(1)), name)) {
            f.next = i + 1;
            conds_.resize(std::min(conds_.size(), f.condDepth));
            return;
        }
    }
    report(Diag::UndefinedSymbol, std::string(name), at);
}

// COMMENT d ... d: the lines up to the next occurrence of the delimiter d are
// comment, unless it closes on this same line.
void Preprocessor::startComment(const RawLine& raw, std::string_view rest, const SourceLine& line) {
    if (rest.empty()) {
        report(Diag::CommentDelimiterExpected, "", line);
        return;
    }
    std::string_view afterDelimiter = raw.text.substr(raw.text.find(rest[0]) + 1);
    if (afterDelimiter.find(rest[0]) == std::string_view::npos) commentDelimiter_ = rest[0];
}

// A statement: expand text macros, then see whether it calls a macro.
void Preprocessor::emitStatement(SourceLine line, std::string_view code, const StatementHead& head,
                                 bool secondDefinesName) {
    // A macro call gets its arguments as written: their text macros are expanded where
    // the body uses them, and "%" arguments when they are bound.
    if (const MacroDef* def = head.first.empty() ? nullptr : findMacro(head.first)) {
        callMacro(line, head, *def);
        return;
    }
    std::string_view text = expandStatement(code, head, head.label.empty() && secondDefinesName, line);
    if (text.data() != code.data()) {
        StatementHead expanded = splitHead(text);
        if (const MacroDef* def = expanded.first.empty() ? nullptr : findMacro(expanded.first)) {
            callMacro(line, expanded, *def);
            return;
        }
    }
    line.text = text;
    emit(line, true);
}

void Preprocessor::callMacro(SourceLine line, const StatementHead& head, const MacroDef& def) {
    if (!head.label.empty()) {
        SourceLine labelLine = line;
        labelLine.text = arena_.store(std::string(head.label) + (head.globalLabel ? "::" : ":"));
        emit(labelLine, true);
        line.listText = {};
    } else {
        emit(line, false);
    }
    invokeMacro(def, head.firstRest, line);
}

// A statement's text with its macro function calls and text macros expanded, left to
// right as MASM reads them: a call takes its arguments as written (so @SizeStr(%t)
// sees t's text), and a text macro whose text calls a function is expanded first.
// The name a directive defines (`x = ...`, `name PROC`) is not expanded. Returns
// `code` itself when nothing changed.
std::string_view Preprocessor::expandStatement(std::string_view code, const StatementHead& head, bool definesName,
                                               const SourceLine& line) {
    std::size_t from = 0;
    if (definesName)
        from = head.secondRest.empty() ? code.size() : static_cast<std::size_t>(head.secondRest.data() - code.data());
    auto result = expandCallsAndTextMacros(code.substr(from), line);
    if (!result) return code;
    return arena_.store(std::string(code.substr(0, from)) + *result);
}

// Macro function calls, then text macros, then the calls those produced: a call
// takes its arguments as written (so @SizeStr(%t) sees t's text), and a text macro
// whose text calls a function is expanded first. Nothing when nothing changed.
std::optional<std::string> Preprocessor::expandCallsAndTextMacros(std::string_view text, const SourceLine& at) {
    auto mayCallFunction = [&](std::string_view t) {
        return (!macros_.empty() || t.find('@') != std::string_view::npos) && t.find('(') != std::string_view::npos;
    };
    std::optional<std::string> result;
    if (mayCallFunction(text)) result = expandMacroFunctions(text, at);
    if (auto t = expandTextMacros(result ? std::string_view(*result) : text, false, at)) {
        result = std::move(t);
        if (mayCallFunction(*result))
            if (auto called = expandMacroFunctions(*result, at)) result = std::move(called);
    }
    return result;
}

// ---- conditional assembly -------------------------------------------------

bool Preprocessor::handleConditional(std::string_view word, std::string_view operands, const SourceLine& at) {
    if (word.size() < 2) return false;
    bool opens = word.size() >= 2 && equalsNoCase(word.substr(0, 2), "IF") &&
                 equalsAny(word, {"IF", "IFE", "IFB", "IFNB", "IFDEF", "IFNDEF", "IFIDN", "IFIDNI", "IFDIF", "IFDIFI",
                                  "IF1", "IF2"});
    bool isElse = equalsNoCase(word, "ELSE");
    bool isElseIf = !isElse && word.size() > 4 && equalsNoCase(word.substr(0, 4), "ELSE") &&
                    equalsAny(word.substr(4), {"IF", "IFE", "IFB", "IFNB", "IFDEF", "IFNDEF", "IFIDN", "IFIDNI",
                                               "IFDIF", "IFDIFI", "IF1", "IF2"});
    bool isEnd = equalsNoCase(word, "ENDIF");
    if (!opens && !isElse && !isElseIf && !isEnd) return false;

    if (opens) {
        if (conds_.size() >= kMaxConditionalDepth) {
            report(Diag::NestingTooDeep, "IF", at);
            return true;
        }
        Conditional c;
        c.parentActive = isActive();
        if (c.parentActive) {
            c.active = c.taken = evaluateCondition(word, operands, at);
        } else {
            c.taken = true;
        }
        if (c.parentActive || listFalseConditionals_) emit(at, false);
        conds_.push_back(c);
        return true;
    }
    std::size_t floor = frames_.empty() ? 0 : frames_.back()->condDepth;
    if (conds_.size() <= floor) {
        emit(at, false);
        report(Diag::UnmatchedBlock, std::string(word), at);
        return true;
    }
    Conditional& c = conds_.back();
    if (c.parentActive || listFalseConditionals_) emit(at, false);
    if (isEnd) {
        conds_.pop_back();
    } else if (isElse) {
        if (c.elseSeen) report(Diag::ElseTwice, "", at);
        c.elseSeen = true;
        c.active = c.parentActive && !c.taken;
        c.taken = true;
    } else {
        if (c.elseSeen) report(Diag::ElseTwice, "", at);
        if (c.parentActive && !c.taken) {
            c.active = c.taken = evaluateCondition(word.substr(4), operands, at);
        } else {
            c.active = false;
        }
    }
    return true;
}

bool Preprocessor::isDefinedName(std::string_view name) const {
    name = trim(name);
    if (findMacro(name)) return true;
    const Symbol* s = symbols_.find(name);
    return s &&
           (s->defined || s->kind == SymbolKind::External || s->kind == SymbolKind::Text ||
            s->kind == SymbolKind::Prototype || s->kind == SymbolKind::StructType || s->kind == SymbolKind::TypeAlias);
}

bool Preprocessor::evaluateCondition(std::string_view kind, std::string_view operands, const SourceLine& at) {
    auto constant = [&]() -> std::int64_t { return constantOperand(operands, at).value_or(0); };
    if (equalsNoCase(kind, "IF")) return constant() != 0;
    if (equalsNoCase(kind, "IFE")) return constant() == 0;
    if (equalsNoCase(kind, "IF1")) return true;
    if (equalsNoCase(kind, "IF2")) return false;
    if (equalsNoCase(kind, "IFDEF")) return isDefinedName(operands);
    if (equalsNoCase(kind, "IFNDEF")) return !isDefinedName(operands);
    if (equalsNoCase(kind, "IFB")) return isBlank(itemText(operands));
    if (equalsNoCase(kind, "IFNB")) return !isBlank(itemText(operands));
    auto items = splitTextList(operands);
    if (items.size() < 2) {
        report(Diag::SyntaxError, std::string(kind), at);
        return false;
    }
    std::string a = itemText(items[0]), b = itemText(items[1]);
    bool ignoreCase = kind.size() == 6;  // IFIDNI, IFDIFI
    bool same = ignoreCase ? equalsNoCase(a, b) : a == b;
    return equalsNoCase(kind.substr(0, 5), "IFIDN") ? same : !same;
}

void Preprocessor::handleForcedError(std::string_view word, std::string_view operands, const SourceLine& at) {
    std::string_view kind = word.substr(4);  // after ".ERR"
    auto items = splitTextList(operands);
    auto message = [&](std::size_t index) { return index < items.size() ? itemText(items[index]) : std::string(); };
    auto constant = [&]() -> std::int64_t {
        return constantOperand(items.empty() ? std::string_view() : items[0], at).value_or(0);
    };
    if (kind.empty() || equalsNoCase(kind, "1")) {
        report(Diag::ForcedError, message(0), at);
    } else if (equalsNoCase(kind, "2")) {
        // second-pass errors never fire: conditions are decided once
    } else if (equalsNoCase(kind, "E")) {
        if (constant() == 0) report(Diag::ForcedErrorZero, message(1), at);
    } else if (equalsNoCase(kind, "NZ")) {
        if (constant() != 0) report(Diag::ForcedErrorNotZero, message(1), at);
    } else if (equalsNoCase(kind, "B")) {
        if (isBlank(message(0))) report(Diag::ForcedErrorBlank, message(1), at);
    } else if (equalsNoCase(kind, "NB")) {
        if (!isBlank(message(0))) report(Diag::ForcedErrorNotBlank, message(1), at);
    } else if (equalsNoCase(kind, "DEF")) {
        if (isDefinedName(message(0))) report(Diag::ForcedErrorDefined, message(1), at);
    } else if (equalsNoCase(kind, "NDEF")) {
        if (!isDefinedName(message(0))) report(Diag::ForcedErrorNotDefined, message(1), at);
    } else if (equalsAny(kind, {"IDN", "IDNI", "DIF", "DIFI"})) {
        if (items.size() < 2) {
            report(Diag::SyntaxError, std::string(word), at);
            return;
        }
        std::string a = message(0), b = message(1);
        bool same = kind.size() == 4 ? equalsNoCase(a, b) : a == b;
        bool identical = equalsNoCase(kind.substr(0, 3), "IDN");
        if (identical && same) report(Diag::ForcedErrorEqual, message(2), at);
        if (!identical && !same) report(Diag::ForcedErrorNotEqual, message(2), at);
    } else {
        report(Diag::UnknownDirective, std::string(word), at);
    }
}

// ---- INCLUDE, text macros, listing switches --------------------------------

void Preprocessor::include(std::string_view operand, const SourceLine& at) {
    std::string name = itemText(operand);
    if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front())
        name = name.substr(1, name.size() - 2);
    name = std::string(trim(name));
    if (name.empty()) {
        report(Diag::SyntaxError, "INCLUDE", at);
        return;
    }
    std::size_t fileFrames = 0;
    std::string includerDir;
    for (const auto& f : frames_) {
        if (f->kind != Frame::Kind::File) continue;
        ++fileFrames;
        includerDir = SourceFiles::directoryOf(files_.file(f->file).path);
    }
    if (fileFrames >= kMaxIncludeDepth) {
        report(Diag::NestingTooDeep, name, at);
        return;
    }
    std::vector<std::string> dirs = includeDirs_;
    if (!frames_.empty()) dirs.insert(dirs.begin(), SourceFiles::directoryOf(files_.file(frames_.front()->file).path));
    auto path = SourceFiles::findInclude(name, includerDir, dirs);
    std::optional<std::uint32_t> id;
    if (path) id = files_.load(*path);
    if (!id) {
        report(Diag::CannotOpenFile, name, at);
        return;
    }
    auto f = std::make_unique<Frame>();
    f->kind = Frame::Kind::File;
    f->file = *id;
    f->fromInclude = true;
    f->condDepth = conds_.size();
    frames_.push_back(std::move(f));
}

std::optional<std::string> Preprocessor::textItem(std::string_view operand, const SourceLine& at) {
    operand = trim(operand);
    if (auto lit = angleLiteral(operand)) return lit;
    if (!operand.empty() && operand[0] == '%') return expansionText(operand.substr(1), at);
    if (const Symbol* s = symbols_.find(operand); s && s->kind == SymbolKind::Text) return s->text;
    if (operand.find('(') != std::string_view::npos)
        if (auto called = expandMacroFunctions(operand, at)) return called;
    report(Diag::TextItemRequired, std::string(operand), at);
    return std::nullopt;
}

// "%" before a text item or a macro argument: a constant expression gives its value
// as decimal text, and text macros that make no constant give their text.
//   m %count + 1   ->  m 5        |   len SIZESTR %name   ->  the length of name's text
std::optional<std::string> Preprocessor::expansionText(std::string_view expr, const SourceLine& at) {
    expr = trim(expr);
    auto expanded = expandCallsAndTextMacros(expr, at);
    std::string_view text = expanded ? std::string_view(*expanded) : expr;
    if (auto v = assembler_.evaluateConstant(text, at, true)) return std::to_string(*v);
    if (expanded) return std::string(trim(text));
    assembler_.evaluateConstant(text, at, false);  // says why it is no constant
    return std::nullopt;
}

// The value of a directive's constant operand, once its text macros and macro
// function calls are expanded:  rev SUBSTR rev, 1, @SizeStr(%rev) - 1
std::optional<std::int64_t> Preprocessor::constantOperand(std::string_view text, const SourceLine& at) {
    auto expanded = expandCallsAndTextMacros(text, at);
    return assembler_.evaluateConstant(expanded ? std::string_view(*expanded) : text, at, false);
}

bool Preprocessor::defineTextMacro(std::string_view name, std::string_view directive, std::string_view operands,
                                   const SourceLine& at) {
    std::string value;
    if (equalsNoCase(directive, "EQU")) {
        std::string_view rest;
        if (auto lit = angleLiteral(operands, &rest)) {
            value = *lit;
        } else {
            if (const Symbol* s = symbols_.find(name); s && s->kind != SymbolKind::Text) return false;
            auto expanded = expandTextMacros(operands, false, at);
            if (assembler_.isNumericEquate(expanded ? std::string_view(*expanded) : operands))
                return false;  // a number or an address: the assembler defines the symbol
            value = std::string(trim(operands));
        }
    } else if (equalsAny(directive, {"TEXTEQU", "CATSTR"})) {
        for (std::string_view item : splitTextList(operands)) {
            auto text = textItem(item, at);
            if (!text) {
                emit(at, false);
                return true;
            }
            value += *text;
            if (value.size() > kMaxTextLength) break;  // reported below; the rest need not be read
        }
    } else if (equalsNoCase(directive, "SUBSTR")) {
        auto items = splitTextList(operands);
        std::optional<std::string> source = items.empty() ? std::nullopt : textItem(items[0], at);
        auto position = items.size() > 1 ? constantOperand(items[1], at) : std::nullopt;
        if (!source || !position || *position < 1 || std::size_t(*position) > source->size() + 1) {
            if (source && position)
                report(Diag::ValueOutOfRange, "SUBSTR", at);
            else if (source)
                report(Diag::SyntaxError, "SUBSTR", at);
            emit(at, false);
            return true;
        }
        std::size_t start = std::size_t(*position) - 1;
        std::size_t length = source->size() - start;
        if (items.size() > 2) {
            auto l = constantOperand(items[2], at);
            if (!l || *l < 0 || std::size_t(*l) > length) {
                report(Diag::ValueOutOfRange, "SUBSTR", at);
                emit(at, false);
                return true;
            }
            length = std::size_t(*l);
        }
        value = source->substr(start, length);
    } else {
        // SIZESTR and INSTR give numbers: the assembler defines them as '=' symbols.
        std::int64_t number = 0;
        auto items = splitTextList(operands);
        if (equalsNoCase(directive, "SIZESTR")) {
            auto text = items.empty() ? std::nullopt : textItem(items[0], at);
            number = text ? std::int64_t(text->size()) : 0;
        } else {
            std::size_t first = 0;
            std::int64_t start = 1;
            if (items.size() == 3) {  // the start may be left out: pos INSTR , <text>, <wanted>
                if (!trim(items[0]).empty()) start = constantOperand(items[0], at).value_or(1);
                first = 1;
            }
            auto hay = items.size() > first ? textItem(items[first], at) : std::nullopt;
            auto needle = items.size() > first + 1 ? textItem(items[first + 1], at) : std::nullopt;
            if (hay && needle && start >= 1 && std::size_t(start) <= hay->size() + 1) {
                auto pos = hay->find(*needle, std::size_t(start - 1));
                number = pos == std::string::npos ? 0 : std::int64_t(pos + 1);
            } else if (hay && needle) {
                report(Diag::ValueOutOfRange, "INSTR", at);
            }
        }
        SourceLine statement = at;
        statement.text = arena_.store(std::string(name) + " = " + std::to_string(number));
        emit(statement, true);
        return true;
    }
    if (value.size() > kMaxTextLength) report(Diag::TextTooLong, std::string(name), at);
    emit(at, false);
    if (value.size() > kMaxTextLength) return true;
    Symbol* s = symbols_.find(name);
    if (s && s->kind != SymbolKind::Text && (s->defined || s->kind != SymbolKind::Label)) {
        report(Diag::SymbolRedefinition, std::string(name), at);
        return true;
    }
    if (!s) s = &symbols_.create(name, SymbolKind::Text);
    noteTextMacro(name);
    s->kind = SymbolKind::Text;
    s->defined = true;
    s->text = std::move(value);
    return true;
}

void Preprocessor::setTextMacro(std::string_view name, std::string value) {
    Symbol* s = symbols_.findGlobal(name);
    if (!s) {
        s = &symbols_.create(name, SymbolKind::Text);
        noteTextMacro(name);
    }
    if (s->kind != SymbolKind::Text) return;
    s->defined = true;
    s->text = std::move(value);
}

// A quick look for a name that is a text macro, before any text is copied.
bool Preprocessor::mentionsTextMacro(std::string_view text, bool inStrings) const {
    char quote = 0;
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        if (quote && c == quote)
            quote = 0;
        else if (!quote && (c == '\'' || c == '"'))
            quote = c;
        if (c == ';' && !quote) return false;
        if (isDigit(c)) {
            while (i < text.size() && isAlnum(text[i])) ++i;
            continue;
        }
        if (!isIdentStart(c) || (quote && !inStrings)) {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < text.size() && isIdentChar(text[i])) ++i;
        if (!textMacroInitials_[static_cast<unsigned char>(toLowerAscii(c))]) continue;
        const Symbol* s = symbols_.find(text.substr(start, i - start));
        if (s && s->kind == SymbolKind::Text && s->defined) return true;
    }
    return false;
}

void Preprocessor::noteTextMacro(std::string_view name) {
    ++textMacroCount_;
    if (name.empty()) return;
    const char initial = toLowerAscii(name[0]);
    bool& known = textMacroInitials_[static_cast<unsigned char>(initial)];
    if (!known) initialsList_.push_back(initial);
    known = true;
}

// False when no character of `text` can start a text macro's name; a few character
// scans settle most lines before the word-by-word look.
bool Preprocessor::mayMentionTextMacro(std::string_view text) const {
    constexpr std::size_t kFewInitials = 4;
    if (initialsList_.size() > kFewInitials) return true;
    for (char c : initialsList_) {
        if (text.find(c) != std::string_view::npos) return true;
        char upper = toUpperAscii(c);
        if (upper != c && text.find(upper) != std::string_view::npos) return true;
    }
    return false;
}

std::optional<std::string> Preprocessor::expandTextMacros(std::string_view text, bool inStrings, const SourceLine& at) {
    if (textMacroCount_ == 0 || !mayMentionTextMacro(text) || !mentionsTextMacro(text, inStrings)) return std::nullopt;
    std::string current(text);
    bool changedAny = false;
    for (int round = 0; round < 32; ++round) {
        std::string out;
        bool changed = false;
        char quote = 0;
        // Inside a string (after "%" at the start of the line) only a name joined to an
        // "&" is expanded, and the "&" goes: % BYTE "&name is &count"
        auto copyWord = [&](std::size_t& i, bool quoted) {
            std::size_t start = i;
            while (i < current.size() && isIdentChar(current[i])) ++i;
            std::string_view word(current.data() + start, i - start);
            const bool ampBefore = quoted && !out.empty() && out.back() == '&';
            const bool ampAfter = quoted && i < current.size() && current[i] == '&';
            // Only names that start like some text macro are looked up.
            const Symbol* s = (!quoted || ampBefore || ampAfter) &&
                                      textMacroInitials_[static_cast<unsigned char>(toLowerAscii(word[0]))]
                                  ? symbols_.find(word)
                                  : nullptr;
            const bool expands = s && (s == lineSymbol_ || (s->kind == SymbolKind::Text && s->defined));
            if (expands && ampBefore) out.pop_back();
            if (expands && ampAfter) ++i;
            if (s && s == lineSymbol_) {
                out += std::to_string(at.line);
                changed = true;
            } else if (s && s->kind == SymbolKind::Text && s->defined) {
                out += s->text;
                changed = true;
            } else {
                out.append(word);
            }
        };
        for (std::size_t i = 0; i < current.size();) {
            char c = current[i];
            if (quote) {
                if (c == quote) {
                    quote = 0;
                } else if (inStrings && isIdentStart(c)) {
                    copyWord(i, true);
                    continue;
                }
                out.push_back(c);
                ++i;
            } else if (c == '\'' || c == '"') {
                quote = c;
                out.push_back(c);
                ++i;
            } else if (c == ';') {
                out.append(current, i, std::string::npos);
                break;
            } else if (isDigit(c)) {
                while (i < current.size() && isAlnum(current[i])) out.push_back(current[i++]);
            } else if (isIdentStart(c)) {
                copyWord(i, false);
            } else {
                out.push_back(c);
                ++i;
            }
        }
        if (out.size() > kMaxLineLength && commentStart(out) > kMaxLineLength) {
            report(Diag::LineTooLong, "", at);
            return std::nullopt;
        }
        if (!changed || out == current) break;
        current = std::move(out);
        changedAny = true;
    }
    if (!changedAny) return std::nullopt;
    return current;
}

bool Preprocessor::handleListingSwitch(std::string_view word, std::string_view operands) {
    if (equalsAny(word, {".LIST"}))
        listEnabled_ = true;
    else if (equalsAny(word, {".NOLIST", ".XLIST"}))
        listEnabled_ = false;
    else if (equalsAny(word, {".LISTALL"})) {
        listEnabled_ = true;
        listFalseConditionals_ = true;
        macroListing_ = MacroListing::All;
    } else if (equalsAny(word, {".LISTMACRO", ".XALL"}))
        macroListing_ = MacroListing::CodeOnly;
    else if (equalsAny(word, {".NOLISTMACRO", ".SALL"}))
        macroListing_ = MacroListing::None;
    else if (equalsAny(word, {".LISTMACROALL", ".LALL"}))
        macroListing_ = MacroListing::All;
    else if (equalsAny(word, {".LISTIF", ".LFCOND"}))
        listFalseConditionals_ = true;
    else if (equalsAny(word, {".NOLISTIF", ".SFCOND"}))
        listFalseConditionals_ = false;
    else if (equalsAny(word, {".TFCOND"}))
        listFalseConditionals_ = !listFalseConditionals_;
    else if (equalsAny(word, {"TITLE"}))
        title_ = std::string(operands);
    else if (equalsAny(word, {"SUBTITLE", "SUBTTL"}))
        subtitle_ = std::string(operands);
    else if (!equalsAny(word, {"PAGE", ".CREF", ".XCREF", ".NOCREF"}))
        return false;
    return true;
}

}  // namespace ml
