// The assembler's pass loop and statement dispatch: labels, equates, sections, the
// memory model, END, ALIGN, ORG, OPTION and the other directives without data or code.
#include "Assembler.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "Directives.h"
#include "SourceFiles.h"
#include "Text.h"

namespace ml {

namespace {

constexpr std::uint32_t kMaxPasses = 40;

}  // namespace

Assembler::Assembler(SourceFiles& files, DiagnosticSink& diagnostics, AssemblerOptions options)
    : files_(files),
      diagnostics_(diagnostics),
      options_(std::move(options)),
      symbols_(options_.caseMode == CaseMode::Sensitive),
      output_(symbols_, options_.debugInfo),
      ctx_(files_, diagnostics_, symbols_, out_, options_),
      insns_(ctx_),
      data_(ctx_),
      procs_(ctx_, insns_),
      flow_(ctx_, insns_) {
    std::vector<std::string> dirs = options_.includeDirs;
    pp_ = std::make_unique<Preprocessor>(files_, symbols_, diagnostics_, arena_, *this, dirs, options_.expansionBounds);
}

Assembler::~Assembler() = default;

// ---- passes ---------------------------------------------------------------

bool Assembler::assemble(std::uint32_t mainFile) {
    ctx_.pass = 1;
    beginPass();
    pp_->start(mainFile);
    definePredefinedSymbols(mainFile);
    lines_.reserve(files_.file(mainFile).lines.size() + 16);
    SourceLine line;
    while (!endSeen_ && pp_->next(line)) {
        assembleNow(line);
        if (diagnostics_.hasFatal()) return false;
    }
    if (!endSeen_ && !diagnostics_.hasFatal()) {
        SourceLine at;
        at.file = mainFile;
        at.line = static_cast<std::uint32_t>(files_.file(mainFile).lines.size());
        diagnostics_.add(diagnosticAt(Diag::EndRequired, "", at, files_, lines_.size()));
    }
    // Every line has been read: the later passes work on the stored lines, so the
    // files' line indexes make room for what those passes build.
    files_.releaseLineIndexes();
    // Later passes reread the stored lines until no label moves; the first pass whose
    // labels all kept their values is final, and only its diagnostics are kept.
    while (true) {
        ++ctx_.pass;
        std::size_t before = diagnostics_.size();
        ctx_.reporting = true;
        beginPass();
        runPass();
        if (diagnostics_.hasFatal()) return false;
        if (passIsStable() || ctx_.pass >= kMaxPasses) break;
        diagnostics_.dropFrom(before);
    }
    // What only the passes needed goes now, before the outputs are built.
    codeCache_ = CodeCache{};
    if (!options_.keepListing) lines_ = std::vector<SourceLine>{};
    return diagnostics_.errorCount() == 0;
}

// Pass 1 takes each line as the preprocessor hands it over; the later passes reread them.
void Assembler::assembleNow(const SourceLine& line) {
    lines_.push_back(line);
    if (diagnostics_.hasFatal()) return;
    processLine(lines_.size() - 1);
    noteCurrentSegment();
}

void Assembler::beginPass() {
    output_.beginPass(options_.keepListing && ctx_.reporting, lines_.size());
    ctx_.beginPass();
    insns_.beginPass();
    data_.beginPass();
    procs_.beginPass();
    flow_.beginPass();
    modelSeen_ = false;
}

void Assembler::runPass() {
    endSeen_ = false;
    for (std::size_t i = 0; i < lines_.size() && !endSeen_ && !diagnostics_.hasFatal(); ++i) processLine(i);
    ctx_.closeFrame();
}

void Assembler::processLine(std::size_t index) {
    ctx_.lineIndex = index;
    ctx_.line = &lines_[index];
    ctx_.lineDependsOnSymbols = false;
    if (!ctx_.line->has(kStatement)) return;
    // The pass driver owns the streamer: it opens and closes each line on it directly.
    output_.beginLine(index, *ctx_.line);
    processLineStatement();
    output_.endLine();
}

void Assembler::processLineStatement() {
    if (replayCachedCode()) return;
    LexResult lex = tokenize(ctx_.line->text, tokens_);
    if (lex.error) {
        ctx_.error(*lex.error);
        return;
    }
    if (tokens_.empty()) return;
    processStatement(tokens_);
}

// Instructions whose operands depend on no symbol and not on $ encode the same in
// every pass: their bytes are kept from the first pass and copied in the later ones.
//   push ebp | mov ebp, esp | imul eax, ecx | sub eax, 3    (cached)
//   add eax, total | jle done | mov ecx, count | jmp $+2    (assembled again)
namespace {

bool touchesStack(std::span<const Token> t) {
    for (const Token& tok : t)
        if (tok.isWord("esp") || tok.isWord("ebp") || tok.isWord("sp") || tok.isWord("bp") ||
            (tok.text.size() >= 3 && equalsNoCase(tok.text.substr(0, 3), "pop")) ||
            (tok.text.size() >= 4 && equalsNoCase(tok.text.substr(0, 4), "push")) || tok.isWord("enter") ||
            tok.isWord("leave"))
            return true;
    return false;
}

}  // namespace

void Assembler::cacheCode(Tokens t, std::size_t before) {
    if (!out_.hasSection() || out_.sectionKind() == SectionKind::Bss) return;
    const std::uint32_t end = out_.here().offset;
    if (end < before || end - before > 15) return;
    const x86::Encoded& enc = insns_.lastEncoded();
    if (!enc.fixups.empty() || t[0].isWord("RET") || t[0].isWord("RETN")) return;
    if (ctx_.lineDependsOnSymbols) return;
    // The stack tracker of /Zi must see the instructions that move esp or ebp.
    if (options_.debugInfo && touchesStack(t)) return;
    // The listing shows the displacement and immediates as numbers: keep where they are.
    const CodeLayout layout{enc.prefixLength, enc.displacement, enc.immediate, enc.immediate2};
    // The line emitted one instruction: its bytes are the encoder's.
    codeCache_.store(ctx_.lineIndex, std::span<const std::uint8_t>(enc.bytes.data(), end - before),
                     options_.keepListing ? &layout : nullptr);
}

bool Assembler::replayCachedCode() {
    if (ctx_.pass == 1 || procs_.prologuePending() || !options_.copyFirstPassCode) return false;
    const CachedCode cached = codeCache_.find(ctx_.lineIndex);
    if (cached.bytes.empty() || !out_.hasSection()) return false;
    if (out_.listing() && !cached.layout) return false;
    // Emitted as the instruction it was (cached code has no fixups); only the listing
    // reads the layout.
    x86::Encoded& enc = replayed_;
    enc.length = static_cast<std::uint8_t>(cached.bytes.size());
    std::copy(cached.bytes.begin(), cached.bytes.end(), enc.bytes.begin());
    if (cached.layout) {
        enc.prefixLength = cached.layout->prefixLength;
        enc.displacement = cached.layout->displacement;
        enc.immediate = cached.layout->immediate;
        enc.immediate2 = cached.layout->immediate2;
    }
    out_.instruction(enc);
    return true;
}

// ---- statements -----------------------------------------------------------

void Assembler::processStatement(Tokens t) {
    // Labels: "name:" or "name::" before the statement.
    if (t.size() >= 2 && t[0].kind == TokenKind::Identifier && (t[1].is(":") || t[1].is("::"))) {
        if (data_.openStructure()) {
            ctx_.error(Diag::NotInStructure, std::string(t[0].text));
            return;
        }
        if (!ctx_.requireSection()) return;  // one error for the line, not one per part
        Type code{4, false, false, true};
        if (t[0].text == "@@")
            defineAnonymousLabel();
        else
            ctx_.defineLabel(t[0].text, t[1].is("::"), code);
        out_.listOffset();
        t = t.subspan(2);
        if (t.empty()) return;
    }
    const Token& first = t[0];
    if (!first.isWord("LOCAL")) procs_.beforeStatement();
    if (first.kind != TokenKind::Identifier) {
        ctx_.error(Diag::SyntaxError, std::string(first.text));
        return;
    }
    // Most statements are instructions; RET may still stand for a procedure's epilogue.
    const x86::Mnemonic mnemonic = x86::lookupMnemonic(first.text);
    if (!data_.openStructure() && mnemonic && !(ctx_.currentProc && (first.isWord("RET") || first.isWord("RETN")))) {
        std::size_t before = out_.hasSection() ? out_.here().offset : 0;
        insns_.assemble(t, mnemonic);
        if (ctx_.pass == 1 && t.data() == tokens_.data()) cacheCode(t, before);  // no label before it
        return;
    }
    // A word with a leading dot is a directive, never a name: .WHILE BYTE PTR [esi] != 0
    if (t.size() >= 2 && first.text[0] != '.' && (t[1].kind == TokenKind::Identifier || t[1].is("=")) &&
        processNamedDirective(first, t[1], t.subspan(2)))
        return;
    if (processDirective(first, t.subspan(1))) return;
    if (const Type* type = data_.dataType(first)) {
        if (data_.openStructure())
            data_.addStructField(nullptr, *type, t.subspan(1));
        else
            data_.defineData(nullptr, *type, t.subspan(1));
        return;
    }
    if (data_.openStructure()) {
        ctx_.error(Diag::NotInStructure, std::string(first.text));
        return;
    }
    insns_.assemble(t, mnemonic);
}

// "name WORD operands": a named directive from the table, or a data definition
// ("count DWORD 0") or structure field.
bool Assembler::processNamedDirective(const Token& name, const Token& directive, Tokens rest) {
    if (const Directive* d = findDirective(directive.text, DirectiveForm::Named)) {
        // A directive's own word is never a name: OPTION PROC:PRIVATE defines no procedure.
        if (findDirective(name.text, DirectiveForm::Plain)) return false;
        return runDirective(*d, DirectiveCall{name.text, directive.text, rest});
    }
    if (const Type* type = data_.dataType(directive)) {
        if (x86::isInstruction(name.text)) return false;  // mov BYTE PTR [esi], 0
        if (data_.openStructure())
            data_.addStructField(&name, *type, rest);
        else
            data_.defineData(&name, *type, rest);
        return true;
    }
    return false;
}

// "WORD operands": a processor directive, or a directive from the table.
bool Assembler::processDirective(const Token& word, Tokens rest) {
    std::string_view w = word.text;
    if (w.starts_with('.') && insns_.processorDirective(w)) return true;
    const Directive* d = findDirective(w, DirectiveForm::Plain);
    return d && runDirective(*d, DirectiveCall{{}, w, rest});
}

bool Assembler::runDirective(const Directive& d, const DirectiveCall& call) {
    switch (d.when) {
        case DirectiveWhen::Always:
            break;
        case DirectiveWhen::InStructure:
            if (!data_.openStructure()) return false;
            break;
        case DirectiveWhen::InProcedure:
            if (!ctx_.currentProc) return false;
            break;
    }
    return d.handle(*this, call);
}

std::optional<std::int64_t> Assembler::evaluateConstant(std::string_view text, const SourceLine& at, bool quiet) {
    std::vector<Token> tokens;
    LexResult lex = tokenize(text, tokens);
    auto report = [&](Diag id, std::string detail) {
        if (!quiet) diagnostics_.add(diagnosticAt(id, std::move(detail), at, files_, lines_.size()));
    };
    if (lex.error) {
        report(*lex.error, "");
        return std::nullopt;
    }
    EvalEnvironment env = ctx_.environment(!quiet);
    env.markReferenced = false;
    EvalError err;
    auto v = evaluate(tokens, env, err);
    if (!v) {
        report(err.id, err.detail);
        return std::nullopt;
    }
    if (v->kind == ValueKind::String) return stringValue(v->text);
    if (v->kind != ValueKind::Constant && v->kind != ValueKind::TypeName) {
        report(Diag::ConstantExpected, "");
        return std::nullopt;
    }
    return v->number;
}

bool Assembler::isNumericEquate(std::string_view text) {
    std::vector<Token> tokens;
    if (tokenize(text, tokens).error || tokens.empty()) return false;
    EvalEnvironment env = ctx_.environment(false);
    env.markReferenced = false;
    EvalError err;
    auto v = evaluate(tokens, env, err);
    if (!v) return false;
    if (v->kind == ValueKind::Constant) return true;
    return v->kind == ValueKind::Address && !v->isOffset && (v->unresolved || v->symbol);
}

// "@@:" places the next of the pass's numbered hidden labels; @B and @F find them
// by number, so every procedure and every macro expansion may hold any number of them.
void Assembler::defineAnonymousLabel() {
    Symbol& s = ctx_.hiddenLabel(anonymousLabelName(ctx_.anonymousLabels++));
    ctx_.placeLabel(s);
}

void Assembler::defineEquate(std::string_view name, Tokens rest, bool redefinable) {
    if (rest.empty()) {
        ctx_.error(Diag::ExpressionExpected, std::string(name));
        return;
    }
    auto v = ctx_.evaluateTokens(rest);
    if (!v) return;
    if (v->kind == ValueKind::String) {
        v->kind = ValueKind::Constant;
        v->number = stringValue(v->text);
    }
    if (v->kind == ValueKind::TypeName) v->kind = ValueKind::Constant;
    Symbol* existing = symbols_.find(name);
    if (!redefinable && v->kind == ValueKind::Address && !v->isOffset && (v->symbol || v->unresolved)) {
        // name EQU label: another name for the address
        Symbol* s = ctx_.defineSymbol(name, SymbolKind::Label);
        if (!s || !v->symbol) return;
        ctx_.setSymbolValue(*s, v->symbol->value + v->number, v->symbol->section);
        s->type = v->symbol->type;
        s->lengthOf = v->symbol->lengthOf;
        s->sizeOf = v->symbol->sizeOf;
        return;
    }
    if (v->kind != ValueKind::Constant) {
        ctx_.error(Diag::ConstantExpected, std::string(name));
        return;
    }
    if (existing && existing->defined) {
        bool sameKind = existing->kind == (redefinable ? SymbolKind::Redefinable : SymbolKind::Equate);
        if (!sameKind) {
            ctx_.error(Diag::SymbolRedefinition, existing->name);
            return;
        }
        // EQU may repeat only with the same value (within a pass; across passes it is the same line).
        if (!redefinable && existing->definedPass == ctx_.pass && existing->definedAt != ctx_.lineIndex &&
            existing->value != v->number) {
            ctx_.error(Diag::SymbolRedefinition, existing->name);
            return;
        }
    }
    Symbol* s = existing && existing->defined
                    ? existing
                    : ctx_.defineSymbol(name, redefinable ? SymbolKind::Redefinable : SymbolKind::Equate);
    if (!s) return;
    s->kind = redefinable ? SymbolKind::Redefinable : SymbolKind::Equate;
    if (!redefinable && s->defined && s->value != v->number && s->definedPass != ctx_.pass) ctx_.changed = true;
    s->value = v->number;
    s->section = -1;
    s->defined = true;
    s->definedPass = ctx_.pass;
    s->definedAt = ctx_.lineIndex;
    out_.listEquate(v->number);
}

// ---- sections and the model --------------------------------------------------

void Assembler::selectSection(std::string_view masmName) {
    ctx_.closeFrame();
    out_.switchSection(masmName);
}

void Assembler::directiveModel(Tokens rest) {
    if (modelSeen_) {
        ctx_.error(Diag::ModelRepeated);
        return;
    }
    modelSeen_ = true;
    if (rest.empty()) {
        ctx_.error(Diag::SyntaxError, ".MODEL");
        return;
    }
    if (!equalsAny(rest[0].text, {"flat", "tiny", "small", "medium", "compact", "large", "huge"})) {
        ctx_.error(Diag::SyntaxError, std::string(rest[0].text));
        return;
    }
    // The flat model is a 386 one: .386 (or later) comes first.
    if (rest[0].isWord("flat") && insns_.cpu() < x86::Cpu::I386) ctx_.error(Diag::FlatNeeds386);
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i].is(",")) continue;
        if (auto lang = languageWord(rest[i]))
            ctx_.language = *lang;
        else if (!equalsAny(rest[i].text, {"nearstack", "farstack", "os_dos", "os_os2"}))
            ctx_.error(Diag::SyntaxError, std::string(rest[i].text));
    }
    defineModelSymbols();
}

void Assembler::defineNumber(std::string_view name, std::int64_t value) {
    Symbol* s = symbols_.findGlobal(name);
    if (!s) s = &symbols_.create(name, SymbolKind::Equate);
    if (s->kind != SymbolKind::Equate) return;
    s->value = value;
    s->defined = true;
    s->definedPass = ctx_.pass;
    s->definedAt = ctx_.lineIndex;
}

// MASM's predefined symbols: @Version and @FileName from the start, the model's
// @Model, @Interface, @CodeSize, @DataSize, @WordSize and the segment names
// @code, @data, @stack, @fardata, @fardata? after .MODEL.
void Assembler::definePredefinedSymbols(std::uint32_t mainFile) {
    defineNumber("@Version", 615);
    std::string name = files_.file(mainFile).path;
    if (auto slash = name.find_last_of('/'); slash != std::string::npos) name = name.substr(slash + 1);
    if (auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name = name.substr(0, dot);
    pp_->setTextMacro("@FileName", name);
    // @Date, @Time and @CurSeg change from one assembly or line to the next; like
    // MASM, the listing's symbol table leaves them out.
    std::tm tm{};
    localtime_r(&options_.startTime, &tm);
    char stamp[16];
    std::strftime(stamp, sizeof stamp, "%m/%d/%y", &tm);
    defineUnlistedText("@Date", stamp);
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &tm);
    defineUnlistedText("@Time", stamp);
    defineUnlistedText("@CurSeg", "");
    curSegSection_ = -1;
}

void Assembler::defineUnlistedText(std::string_view name, std::string value) {
    pp_->setTextMacro(name, std::move(value));
    if (Symbol* s = symbols_.findGlobal(name)) s->hidden = true;
}

// @CurSeg names the segment that is open, for the lines that follow.
void Assembler::noteCurrentSegment() {
    const std::int32_t section = out_.hasSection() ? out_.here().section : -1;
    if (section == curSegSection_) return;
    curSegSection_ = section;
    pp_->setTextMacro("@CurSeg", section < 0 ? std::string() : std::string(out_.sectionName()));
}

void Assembler::defineModelSymbols() {
    defineNumber("@Model", 7);                                    // FLAT
    defineNumber("@Interface", static_cast<int>(ctx_.language));  // Language follows MASM's numbering
    defineNumber("@CodeSize", 0);
    defineNumber("@DataSize", 0);
    defineNumber("@WordSize", 4);
    if (ctx_.pass != 1) return;  // text macros act in the first pass only
    pp_->setTextMacro("@code", "_TEXT");
    for (const char* flat : {"@data", "@stack", "@fardata", "@fardata?"}) pp_->setTextMacro(flat, "FLAT");
}

// A .IF, .WHILE or .REPEAT left open would jump to a label that never comes.
void Assembler::directiveEndp(std::string_view name) {
    flow_.reportOpenBlock();
    procs_.directiveEndp(name);
}

void Assembler::directiveEnd(Tokens rest) {
    endSeen_ = true;
    pp_->stop();
    flow_.reportOpenBlock();
    ctx_.closeFrame();
    if (ctx_.pass == 1) endInsideConditional_ = pp_->openConditionals() > 0;
    if (endInsideConditional_) ctx_.error(Diag::BlockNotClosed, "IF");
    if (ctx_.currentProc) ctx_.error(Diag::BlockNotClosed, ctx_.currentProc->name);
    if (data_.openStructure()) ctx_.error(Diag::BlockNotClosed, data_.openStructure()->name);
    if (!rest.empty()) {
        auto v = ctx_.evaluateTokens(rest);
        if (!v) return;
        if (v->kind != ValueKind::Address || !v->symbol || !v->type.isCode) {
            ctx_.error(Diag::CodeAddressExpected, "END");
            return;
        }
        entryPoint_ = v->symbol;
        if (v->symbol->kind == SymbolKind::Label || v->symbol->kind == SymbolKind::Procedure)
            v->symbol->isPublic = true;
    }
}

// ALIGN [n]: 4 when not given.
void Assembler::directiveAlign(Tokens rest) {
    auto a = rest.empty() ? std::optional<std::int64_t>(4) : ctx_.constantTokens(rest, "ALIGN");
    if (a) directiveAlign(*a);
}

void Assembler::directiveAlign(std::int64_t alignment) {
    if (alignment <= 0 || (alignment & (alignment - 1)) != 0 || alignment > 8192) {
        ctx_.error(Diag::AlignNotPowerOfTwo);
        return;
    }
    if (data_.openStructure()) {
        data_.alignStructure(std::uint32_t(alignment));
        return;
    }
    if (!ctx_.requireSection()) return;
    const std::uint32_t offset = out_.here().offset;
    std::uint32_t pad = static_cast<std::uint32_t>((alignment - offset % alignment) % alignment);
    out_.listOffset();
    // Code is padded with NOPs, data with zeros.
    out_.fill(out_.sectionKind() == SectionKind::Text ? 0x90 : 0x00, pad);
}

void Assembler::directiveOrg(Tokens rest) {
    if (!ctx_.requireSection()) return;
    auto v = ctx_.evaluateTokens(rest);
    if (!v) return;
    std::int64_t target;
    if (v->kind == ValueKind::Constant)
        target = v->number;
    else if (v->kind == ValueKind::Address && v->unresolved)
        target = out_.here().offset;
    else if (v->kind == ValueKind::Address && v->symbol && v->symbol->section == out_.here().section)
        target = v->symbol->value + v->number;
    else {
        ctx_.error(Diag::OrgNeedsLocal);
        return;
    }
    if (target < 0 || !out_.mayGrowTo(std::uint64_t(target))) {
        ctx_.error(Diag::ValueOutOfRange, "ORG");
        return;
    }
    out_.setOffset(static_cast<std::uint32_t>(target));
    out_.listOffset();
}

void Assembler::directiveOption(Tokens rest) {
    for (Tokens item : splitTokens(rest)) {
        if (item.empty()) continue;
        std::string_view name = item[0].text;
        std::string_view value = item.size() >= 3 && item[1].is(":") ? item[2].text : std::string_view();
        if (equalsNoCase(name, "casemap")) {
            if (equalsNoCase(value, "none"))
                symbols_.setCaseSensitive(true);
            else if (equalsAny(value, {"notpublic", "all"}))
                symbols_.setCaseSensitive(false);
            else
                ctx_.error(Diag::SyntaxError, std::string(value));
        } else if (equalsNoCase(name, "language")) {
            Token t = item.size() >= 3 ? item[2] : item[0];
            if (auto lang = languageWord(t))
                ctx_.language = *lang;
            else
                ctx_.error(Diag::SyntaxError, std::string(value));
        } else if (equalsNoCase(name, "proc")) {
            if (equalsAny(value, {"private", "public", "export"}))
                ctx_.procsPublic = !equalsNoCase(value, "private");
            else
                ctx_.error(Diag::SyntaxError, std::string(value));
        } else if (equalsNoCase(name, "scoped")) {
            ctx_.scoped = true;
        } else if (equalsNoCase(name, "noscoped")) {
            ctx_.scoped = false;
        } else if (!equalsAny(name,
                              {"dotname",     "nodotname", "nokeyword",  "ljmp",         "noljmp",       "expr32",
                               "expr16",      "m510",      "nom510",     "oldstructs",   "nooldstructs", "oldmacros",
                               "nooldmacros", "readonly",  "noreadonly", "emulator",     "noemulator",   "epilogue",
                               "prologue",    "segment",   "offset",     "nosignextend", "setif2"})) {
            ctx_.error(Diag::SyntaxError, std::string(name));
        }
    }
}

void Assembler::directiveSegment(std::string_view name, Tokens rest) {
    ctx_.closeFrame();
    out_.pushSection(name);
    if (ctx_.pass == 1) {
        // The last class that names a kind decides it: 'CODE', 'BSS', 'CONST'.
        SectionKind kind = out_.sectionKind();
        for (const Token& t : rest) {
            if (t.kind != TokenKind::String) continue;
            std::string cls = foldCase(unquote(t.text));
            if (cls == "code")
                kind = SectionKind::Text;
            else if (cls == "bss")
                kind = SectionKind::Bss;
            else if (cls == "const")
                kind = SectionKind::Rodata;
        }
        out_.classifySection(kind);
    }
    out_.listOffset();
}

void Assembler::directiveStandardSection(std::string_view directive) {
    for (const StandardSection& s : standardSections()) {
        if (!equalsNoCase(directive, s.directive)) continue;
        if (!modelSeen_) ctx_.error(Diag::ModelRequired, std::string(directive));
        selectSection(s.masmName);
        out_.listOffset();
        return;
    }
}

void Assembler::directiveStack(Tokens rest) {
    if (!rest.empty()) ctx_.constantTokens(rest, ".STACK");
}

void Assembler::directiveRadix(Tokens rest) {
    // The operand is always read in decimal.
    auto saved = ctx_.radix;
    ctx_.radix = 10;
    auto r = ctx_.constantTokens(rest, ".RADIX");
    ctx_.radix = saved;
    if (r && (*r < 2 || *r > 16))
        ctx_.error(Diag::InvalidRadix);
    else if (r)
        ctx_.radix = static_cast<int>(*r);
}

// INCLUDELIB name: the rest of the line as written, kept for the object's directives.
void Assembler::directiveIncludeLib(Tokens rest) {
    if (ctx_.pass != 1 || rest.empty()) return;
    std::string_view text = ctx_.line->text;
    std::size_t from = rest.front().column;
    includeLibs_.emplace_back(trim(text.substr(from)));
}

// name ENDS closes the structure being defined, else the segment of that name.
void Assembler::directiveEndsNamed(std::string_view name) {
    if (data_.openStructure())
        data_.endStructure();
    else
        directiveEnds(name);
}

void Assembler::directiveEnds(std::string_view name) {
    if (!out_.hasSection() || !equalsNoCase(out_.sectionName(), name)) {
        ctx_.error(Diag::UnmatchedBlock, std::string(name));
        return;
    }
    out_.listOffset();
    out_.popSection();
}

}  // namespace ml
