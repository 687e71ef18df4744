// The assembler's pass loop and statement dispatch: labels, equates, sections, the
// memory model, END, ALIGN, ORG, OPTION and the other directives without data or code.
#include "Assembler.h"

#include <algorithm>
#include <cstdlib>

#include "ControlBlock.h"
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
      output_(symbols_, options_.debugInfo) {
    std::vector<std::string> dirs = options_.includeDirs;
    pp_ = std::make_unique<Preprocessor>(files_, symbols_, diagnostics_, arena_, *this, dirs);
}

Assembler::~Assembler() = default;

// ---- passes ---------------------------------------------------------------

bool Assembler::assemble(std::uint32_t mainFile) {
    pass_ = 1;
    beginPass();
    pp_->start(mainFile);
    definePredefinedSymbols(mainFile);
    lines_.reserve(files_.file(mainFile).lines.size() + 16);
    SourceLine line;
    while (!endSeen_ && pp_->next(line)) {
        lines_.push_back(line);
        processLine(lines_.size() - 1);
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
        ++pass_;
        std::size_t before = diagnostics_.size();
        reporting_ = true;
        beginPass();
        runPass();
        if (diagnostics_.hasFatal()) return false;
        if (passIsStable() || pass_ >= kMaxPasses) break;
        diagnostics_.dropFrom(before);
    }
    // What only the passes needed goes now, before the outputs are built.
    codeCache_ = CodeCache{};
    if (!options_.keepListing) lines_ = std::vector<SourceLine>{};
    return diagnostics_.errorCount() == 0;
}

void Assembler::beginPass() {
    output_.beginPass(options_.keepListing && reporting_, lines_.size());
    currentProc_ = nullptr;
    enclosingProcs_.clear();
    symbols_.closeScope();
    radix_ = 10;
    cpuMode_ = x86::CpuMode{};
    changed_ = false;
    sawUnresolved_ = false;
    branchIndex_ = 0;
    hiddenLabels_ = 0;
    anonymousLabels_ = 0;
    openStructure_ = nullptr;
    controlBlocks_.clear();
    frames_.reset();
    prologuePending_ = false;
    modelSeen_ = false;
    language_ = Language::None;
}

void Assembler::runPass() {
    endSeen_ = false;
    for (std::size_t i = 0; i < lines_.size() && !endSeen_ && !diagnostics_.hasFatal(); ++i) processLine(i);
    closeFrame();
}

void Assembler::closeFrame() {
    if (!frames_.active()) return;
    const FrameRange& open = frames_.ranges().back();
    frames_.end(out_.offsetIn(open.section));
}

void Assembler::processLine(std::size_t index) {
    lineIndex_ = index;
    line_ = &lines_[index];
    lineDependsOnSymbols_ = false;
    if (!line_->has(kStatement)) return;
    out_.beginLine(index, *line_);
    processLineStatement();
    out_.endLine();
}

void Assembler::processLineStatement() {
    if (replayCachedCode()) return;
    LexResult lex = tokenize(line_->text, tokens_);
    if (lex.error) {
        error(*lex.error);
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
    if (!encoded_.fixups.empty() || t[0].isWord("RET") || t[0].isWord("RETN")) return;
    if (lineDependsOnSymbols_) return;
    // The stack tracker of /Zi must see the instructions that move esp or ebp.
    if (options_.debugInfo && touchesStack(t)) return;
    // The listing shows the displacement and immediates as numbers: keep where they are.
    const CodeLayout layout{encoded_.prefixLength, encoded_.displacement, encoded_.immediate, encoded_.immediate2};
    // The line emitted one instruction: its bytes are the encoder's.
    codeCache_.store(lineIndex_, std::span<const std::uint8_t>(encoded_.bytes.data(), end - before),
                     options_.keepListing ? &layout : nullptr);
}

bool Assembler::replayCachedCode() {
    if (pass_ == 1 || prologuePending_ || !options_.copyFirstPassCode) return false;
    const CachedCode cached = codeCache_.find(lineIndex_);
    if (cached.bytes.empty() || !out_.hasSection()) return false;
    if (out_.listing() && !cached.layout) return false;
    // Emitted as the instruction it was, without fixups; the listing reads its layout.
    x86::Encoded& enc = encoded_;
    enc.fixups.clear();
    enc.length = static_cast<std::uint8_t>(cached.bytes.size());
    std::copy(cached.bytes.begin(), cached.bytes.end(), enc.bytes.begin());
    const CodeLayout layout = cached.layout.value_or(CodeLayout{});
    enc.prefixLength = layout.prefixLength;
    enc.displacement = layout.displacement;
    enc.immediate = layout.immediate;
    enc.immediate2 = layout.immediate2;
    out_.instruction(enc);
    return true;
}

void Assembler::error(Diag id, std::string detail) {
    if (!reporting_ || !line_) return;
    diagnostics_.add(diagnosticAt(id, std::move(detail), *line_, files_, lineIndex_));
}

// ---- statements -----------------------------------------------------------

void Assembler::processStatement(Tokens t) {
    // Labels: "name:" or "name::" before the statement.
    if (t.size() >= 2 && t[0].kind == TokenKind::Identifier && (t[1].is(":") || t[1].is("::"))) {
        if (openStructure_) {
            error(Diag::NotInStructure, std::string(t[0].text));
            return;
        }
        if (!requireSection()) return;  // one error for the line, not one per part
        Type code{4, false, false, true};
        if (t[0].text == "@@") defineAnonymousLabel();
        else defineLabel(t[0].text, t[1].is("::"), code);
        out_.listOffset();
        t = t.subspan(2);
        if (t.empty()) return;
    }
    const Token& first = t[0];
    if (prologuePending_ && !first.isWord("LOCAL")) {
        prologuePending_ = false;
        if (currentProc_ && currentProc_->proc) emitPrologue(*currentProc_->proc);
    }
    if (first.kind != TokenKind::Identifier) {
        error(Diag::SyntaxError, std::string(first.text));
        return;
    }
    // Most statements are instructions; RET may still stand for a procedure's epilogue.
    const x86::Mnemonic mnemonic = x86::lookupMnemonic(first.text);
    if (!openStructure_ && mnemonic && !(currentProc_ && (first.isWord("RET") || first.isWord("RETN")))) {
        std::size_t before = out_.hasSection() ? out_.here().offset : 0;
        assembleInstruction(t, mnemonic);
        if (pass_ == 1 && t.data() == tokens_.data()) cacheCode(t, before);  // no label before it
        return;
    }
    if (t.size() >= 2 && (t[1].kind == TokenKind::Identifier || t[1].is("=")) &&
        processNamedDirective(first, t[1], t.subspan(2)))
        return;
    if (processDirective(first, t.subspan(1))) return;
    if (processControlFlow(first, t.subspan(1))) return;
    if (const Type* type = dataType(first)) {
        if (openStructure_) addStructField(nullptr, *type, t.subspan(1));
        else defineData(nullptr, *type, t.subspan(1));
        return;
    }
    if (openStructure_) {
        error(Diag::NotInStructure, std::string(first.text));
        return;
    }
    assembleInstruction(t, mnemonic);
}

bool Assembler::processNamedDirective(const Token& name, const Token& directive, Tokens rest) {
    std::string_view d = directive.text;
    if (d == "=" || equalsNoCase(d, "EQU")) {
        defineEquate(name.text, rest, d == "=");
        return true;
    }
    if (equalsNoCase(d, "PROC")) { directiveProc(name.text, rest); return true; }
    if (equalsNoCase(d, "ENDP")) { directiveEndp(name.text); return true; }
    if (equalsNoCase(d, "PROTO")) { directiveProto(name.text, rest); return true; }
    if (equalsNoCase(d, "LABEL")) { directiveLabel(name.text, rest); return true; }
    if (equalsAny(d, {"STRUCT", "STRUC", "UNION"})) {
        beginStructure(name.text, equalsNoCase(d, "UNION"), rest);
        return true;
    }
    if (equalsNoCase(d, "ENDS")) {
        if (openStructure_) endStructure();
        else directiveEnds(name.text);
        return true;
    }
    if (equalsNoCase(d, "SEGMENT")) { directiveSegment(name.text, rest); return true; }
    if (equalsNoCase(d, "RECORD")) { directiveRecord(name.text, rest); return true; }
    if (equalsNoCase(d, "TYPEDEF")) { directiveTypedef(name.text, rest); return true; }
    if (equalsNoCase(d, "GROUP")) return true;
    if (const Type* type = dataType(directive)) {
        if (x86::isInstruction(name.text)) return false;  // mov BYTE PTR [esi], 0
        if (openStructure_) addStructField(&name, *type, rest);
        else defineData(&name, *type, rest);
        return true;
    }
    return false;
}

bool Assembler::processDirective(const Token& word, Tokens rest) {
    std::string_view w = word.text;
    if (w.empty()) return false;
    if (w[0] == '.') {
        if (processorDirective(w)) return true;
        if (equalsNoCase(w, ".model")) { directiveModel(rest); return true; }
        if (equalsNoCase(w, ".stack")) {
            if (!rest.empty()) constantTokens(rest, ".STACK");
            return true;
        }
        for (const StandardSection& s : standardSections()) {
            if (equalsNoCase(w, s.directive)) {
                if (!modelSeen_) error(Diag::ModelRequired, std::string(w));
                selectSection(s.masmName);
                out_.listOffset();
                return true;
            }
        }
        if (equalsNoCase(w, ".radix")) {
            // The operand is always read in decimal.
            auto saved = radix_;
            radix_ = 10;
            auto r = constantTokens(rest, ".RADIX");
            radix_ = saved;
            if (r && (*r < 2 || *r > 16)) error(Diag::InvalidRadix);
            else if (r) radix_ = static_cast<int>(*r);
            return true;
        }
        if (equalsAny(w, {".startup", ".exit"})) return true;
        return false;
    }
    if (equalsNoCase(w, "END")) { directiveEnd(rest); return true; }
    if (equalsNoCase(w, "PUBLIC")) { directivePublic(rest); return true; }
    if (equalsAny(w, {"EXTRN", "EXTERN"})) { directiveExtern(rest, false); return true; }
    if (equalsNoCase(w, "EXTERNDEF")) { directiveExtern(rest, true); return true; }
    if (equalsNoCase(w, "INCLUDELIB")) {
        if (pass_ == 1 && !rest.empty()) {
            std::string_view text = line_->text;
            std::size_t from = rest.front().column;
            includeLibs_.emplace_back(trim(text.substr(from)));
        }
        return true;
    }
    if (equalsNoCase(w, "ALIGN")) {
        auto a = rest.empty() ? std::optional<std::int64_t>(4) : constantTokens(rest, "ALIGN");
        if (a) directiveAlign(*a);
        return true;
    }
    if (equalsNoCase(w, "EVEN")) { directiveAlign(2); return true; }
    if (equalsNoCase(w, "ORG")) { directiveOrg(rest); return true; }
    if (equalsNoCase(w, "OPTION")) { directiveOption(rest); return true; }
    if (equalsAny(w, {"ASSUME", "NAME", ".NOLIST", "PAGE"})) return true;
    if (equalsNoCase(w, "INVOKE")) { directiveInvoke(rest); return true; }
    if (equalsNoCase(w, "LOCAL")) { directiveLocal(rest); return true; }
    if (equalsNoCase(w, "ENDS") && openStructure_) { endStructure(); return true; }
    if (equalsAny(w, {"RET", "RETN"}) && currentProc_ && emitReturn(rest)) return true;
    if (equalsNoCase(w, "ENDP") || equalsNoCase(w, "PROC")) {
        error(Diag::SyntaxError, std::string(w));
        return true;
    }
    return false;
}

// ---- symbols ----------------------------------------------------------------

EvalEnvironment Assembler::environment(bool reportUndefined) const {
    EvalEnvironment env;
    env.symbols = const_cast<SymbolTable*>(&symbols_);
    env.radix = radix_;
    if (out_.hasSection()) {
        const Location here = out_.here();
        env.locationSymbol = const_cast<Symbol*>(out_.sectionSymbol(here.section));  // values name symbols mutably
        env.locationOffset = here.offset;
    }
    env.undefinedIsError = reportUndefined;
    env.dependsOnSymbols = const_cast<bool*>(&lineDependsOnSymbols_);
    env.anonymousLabels = anonymousLabels_;
    return env;
}

std::optional<ExprValue> Assembler::evaluateTokens(Tokens tokens) {
    std::optional<ExprValue> v(std::in_place);
    if (!evaluateTokens(tokens, *v)) v.reset();
    return v;
}

bool Assembler::evaluateTokens(Tokens tokens, ExprValue& out) {
    EvalError err;
    if (!evaluateInto(tokens, environment(pass_ > 1), err, out)) {
        evalError(err);
        return false;
    }
    if (out.unresolved) sawUnresolved_ = true;
    return true;
}

std::optional<std::int64_t> Assembler::constantTokens(Tokens tokens, std::string_view what) {
    auto v = evaluateTokens(tokens);
    if (!v) return std::nullopt;
    if (v->kind == ValueKind::String) return stringValue(v->text);
    if (v->kind != ValueKind::Constant && v->kind != ValueKind::TypeName && !v->unresolved) {
        error(Diag::ConstantExpected, std::string(what));
        return std::nullopt;
    }
    return v->unresolved ? 0 : v->number;
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
    EvalEnvironment env = environment(!quiet);
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
    EvalEnvironment env = environment(false);
    env.markReferenced = false;
    EvalError err;
    auto v = evaluate(tokens, env, err);
    if (!v) return false;
    if (v->kind == ValueKind::Constant) return true;
    return v->kind == ValueKind::Address && !v->isOffset && (v->unresolved || v->symbol);
}

void Assembler::placeLabel(Symbol& s) {
    if (out_.label(s)) changed_ = true;
    s.definedPass = pass_;
    s.definedAt = lineIndex_;
}

void Assembler::setSymbolValue(Symbol& s, std::int64_t value, std::int32_t section) {
    if (s.defined && (s.value != value || s.section != section)) changed_ = true;
    s.value = value;
    s.section = section;
    s.defined = true;
    s.definedPass = pass_;
    s.definedAt = lineIndex_;
}

Symbol* Assembler::defineSymbol(std::string_view name, SymbolKind kind, bool local) {
    Symbol* s = local ? symbols_.find(name) : symbols_.findGlobal(name);
    if (s && local && !s->procLocal) s = nullptr;  // a global of the same name is hidden, not redefined
    if (!s) return &symbols_.create(name, kind, local);
    bool definedHere = s->definedPass == pass_ && s->definedAt != lineIndex_ && s->defined;
    bool convertible = s->kind == kind || (s->isExternDef && s->kind == SymbolKind::External) ||
                       (!s->defined && s->kind == SymbolKind::Label);
    if (definedHere || !convertible) {
        error(definedHere ? Diag::SymbolRedefinition : Diag::SymbolTypeConflict, s->name);
        return nullptr;
    }
    s->kind = kind;
    return s;
}

Symbol* Assembler::defineLabel(std::string_view name, bool global, Type type, std::uint32_t length,
                               std::uint32_t size) {
    if (!requireSection()) return nullptr;
    bool local = currentProc_ && scoped_ && !global && type.isCode;
    Symbol* s = defineSymbol(name, SymbolKind::Label, local);
    if (!s) return nullptr;
    placeLabel(*s);
    s->type = type;
    s->lengthOf = length;
    s->sizeOf = size;
    s->globalLabel = global;
    if (s->language == Language::None) s->language = language_;
    // A public code label outside procedures starts code that a debugger unwinds from.
    if (type.isCode && s->isPublic && !currentProc_ && out_.sectionKind() == SectionKind::Text)
        frames_.begin(out_.here().section, out_.here().offset);
    return s;
}

// "@@:" places the next of the pass's numbered hidden labels; @B and @F find them
// by number, so every procedure and every macro expansion may hold any number of them.
void Assembler::defineAnonymousLabel() {
    Symbol& s = hiddenLabel(anonymousLabelName(anonymousLabels_++));
    placeLabel(s);
}

void Assembler::defineEquate(std::string_view name, Tokens rest, bool redefinable) {
    if (rest.empty()) {
        error(Diag::ExpressionExpected, std::string(name));
        return;
    }
    auto v = evaluateTokens(rest);
    if (!v) return;
    if (v->kind == ValueKind::String) {
        v->kind = ValueKind::Constant;
        v->number = stringValue(v->text);
    }
    if (v->kind == ValueKind::TypeName) v->kind = ValueKind::Constant;
    Symbol* existing = symbols_.find(name);
    if (!redefinable && v->kind == ValueKind::Address && !v->isOffset && (v->symbol || v->unresolved)) {
        // name EQU label: another name for the address
        Symbol* s = defineSymbol(name, SymbolKind::Label);
        if (!s || !v->symbol) return;
        setSymbolValue(*s, v->symbol->value + v->number, v->symbol->section);
        s->type = v->symbol->type;
        s->lengthOf = v->symbol->lengthOf;
        s->sizeOf = v->symbol->sizeOf;
        return;
    }
    if (v->kind != ValueKind::Constant) {
        error(Diag::ConstantExpected, std::string(name));
        return;
    }
    if (existing && existing->defined) {
        bool sameKind = existing->kind == (redefinable ? SymbolKind::Redefinable : SymbolKind::Equate);
        if (!sameKind) {
            error(Diag::SymbolRedefinition, existing->name);
            return;
        }
        // EQU may repeat only with the same value (within a pass; across passes it is the same line).
        if (!redefinable && existing->definedPass == pass_ && existing->definedAt != lineIndex_ &&
            existing->value != v->number) {
            error(Diag::SymbolRedefinition, existing->name);
            return;
        }
    }
    Symbol* s = existing && existing->defined ? existing
                                              : defineSymbol(name, redefinable ? SymbolKind::Redefinable
                                                                               : SymbolKind::Equate);
    if (!s) return;
    s->kind = redefinable ? SymbolKind::Redefinable : SymbolKind::Equate;
    if (!redefinable && s->defined && s->value != v->number && s->definedPass != pass_) changed_ = true;
    s->value = v->number;
    s->section = -1;
    s->defined = true;
    s->definedPass = pass_;
    s->definedAt = lineIndex_;
    out_.listEquate(v->number);
}

// ---- sections and the model --------------------------------------------------

void Assembler::selectSection(std::string_view masmName) {
    closeFrame();
    out_.switchSection(masmName);
}

const Symbol* Assembler::sectionAnchor(std::int32_t index) const { return output_.sectionSymbol(index); }

bool Assembler::requireSection() {
    if (out_.hasSection()) return true;
    error(Diag::OutsideSegment);
    return false;
}

void Assembler::directiveModel(Tokens rest) {
    if (modelSeen_) {
        error(Diag::ModelRepeated);
        return;
    }
    modelSeen_ = true;
    if (rest.empty()) {
        error(Diag::SyntaxError, ".MODEL");
        return;
    }
    if (!equalsAny(rest[0].text, {"flat", "tiny", "small", "medium", "compact", "large", "huge"})) {
        error(Diag::SyntaxError, std::string(rest[0].text));
        return;
    }
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i].is(",")) continue;
        if (auto lang = languageWord(rest[i])) language_ = *lang;
        else if (!equalsAny(rest[i].text, {"nearstack", "farstack", "os_dos", "os_os2"}))
            error(Diag::SyntaxError, std::string(rest[i].text));
    }
    defineModelSymbols();
}

void Assembler::defineNumber(std::string_view name, std::int64_t value) {
    Symbol* s = symbols_.findGlobal(name);
    if (!s) s = &symbols_.create(name, SymbolKind::Equate);
    if (s->kind != SymbolKind::Equate) return;
    s->value = value;
    s->defined = true;
    s->definedPass = pass_;
    s->definedAt = lineIndex_;
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
}

void Assembler::defineModelSymbols() {
    defineNumber("@Model", 7);  // FLAT
    defineNumber("@Interface", static_cast<int>(language_));  // Language follows MASM's numbering
    defineNumber("@CodeSize", 0);
    defineNumber("@DataSize", 0);
    defineNumber("@WordSize", 4);
    if (pass_ != 1) return;  // text macros act in the first pass only
    pp_->setTextMacro("@code", "_TEXT");
    for (const char* flat : {"@data", "@stack", "@fardata", "@fardata?"}) pp_->setTextMacro(flat, "FLAT");
}

void Assembler::directiveEnd(Tokens rest) {
    endSeen_ = true;
    pp_->stop();
    closeFrame();
    if (pass_ == 1) endInsideConditional_ = pp_->openConditionals() > 0;
    if (endInsideConditional_) error(Diag::BlockNotClosed, "IF");
    if (currentProc_) error(Diag::BlockNotClosed, currentProc_->name);
    if (openStructure_) error(Diag::BlockNotClosed, openStructure_->name);
    if (!rest.empty()) {
        auto v = evaluateTokens(rest);
        if (!v) return;
        if (v->kind != ValueKind::Address || !v->symbol || !v->type.isCode) {
            error(Diag::CodeAddressExpected, "END");
            return;
        }
        entryPoint_ = v->symbol;
        if (v->symbol->kind == SymbolKind::Label || v->symbol->kind == SymbolKind::Procedure)
            v->symbol->isPublic = true;
    }
}

void Assembler::directiveAlign(std::int64_t alignment) {
    if (alignment <= 0 || (alignment & (alignment - 1)) != 0 || alignment > 8192) {
        error(Diag::AlignNotPowerOfTwo);
        return;
    }
    if (openStructure_) {
        openStructure_->alignment = std::max<std::uint32_t>(openStructure_->alignment, std::uint32_t(alignment));
        openStructure_->size = (openStructure_->size + std::uint32_t(alignment) - 1) & ~std::uint32_t(alignment - 1);
        return;
    }
    if (!requireSection()) return;
    const std::uint32_t offset = out_.here().offset;
    std::uint32_t pad = static_cast<std::uint32_t>((alignment - offset % alignment) % alignment);
    out_.listOffset();
    // Code is padded with NOPs, data with zeros.
    out_.fill(out_.sectionKind() == SectionKind::Text ? 0x90 : 0x00, pad);
}

void Assembler::directiveOrg(Tokens rest) {
    if (!requireSection()) return;
    auto v = evaluateTokens(rest);
    if (!v) return;
    std::int64_t target;
    if (v->kind == ValueKind::Constant) target = v->number;
    else if (v->kind == ValueKind::Address && v->unresolved) target = out_.here().offset;
    else if (v->kind == ValueKind::Address && v->symbol && v->symbol->section == out_.here().section)
        target = v->symbol->value + v->number;
    else {
        error(Diag::OrgNeedsLocal);
        return;
    }
    if (target < 0 || !out_.mayGrowTo(std::uint64_t(target))) {
        error(Diag::ValueOutOfRange, "ORG");
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
            if (equalsNoCase(value, "none")) symbols_.setCaseSensitive(true);
            else if (equalsAny(value, {"notpublic", "all"})) symbols_.setCaseSensitive(false);
            else error(Diag::SyntaxError, std::string(value));
        } else if (equalsNoCase(name, "language")) {
            Token t = item.size() >= 3 ? item[2] : item[0];
            if (auto lang = languageWord(t)) language_ = *lang;
            else error(Diag::SyntaxError, std::string(value));
        } else if (equalsNoCase(name, "scoped")) {
            scoped_ = true;
        } else if (equalsNoCase(name, "noscoped")) {
            scoped_ = false;
        } else if (!equalsAny(name, {"proc", "dotname", "nodotname", "nokeyword", "ljmp", "noljmp", "expr32",
                                   "expr16", "m510", "nom510", "oldstructs", "nooldstructs", "oldmacros",
                                   "nooldmacros", "readonly", "noreadonly", "emulator", "noemulator",
                                   "epilogue", "prologue", "segment", "offset", "nosignextend", "setif2"})) {
            error(Diag::SyntaxError, std::string(name));
        }
    }
}

void Assembler::directiveSegment(std::string_view name, Tokens rest) {
    closeFrame();
    out_.pushSection(name);
    if (pass_ == 1) {
        // The last class that names a kind decides it: 'CODE', 'BSS', 'CONST'.
        SectionKind kind = out_.sectionKind();
        for (const Token& t : rest) {
            if (t.kind != TokenKind::String) continue;
            std::string cls = foldCase(unquote(t.text));
            if (cls == "code") kind = SectionKind::Text;
            else if (cls == "bss") kind = SectionKind::Bss;
            else if (cls == "const") kind = SectionKind::Rodata;
        }
        out_.classifySection(kind);
    }
    out_.listOffset();
}

void Assembler::directiveEnds(std::string_view name) {
    if (!out_.hasSection() || !equalsNoCase(out_.sectionName(), name)) {
        error(Diag::UnmatchedBlock, std::string(name));
        return;
    }
    out_.listOffset();
    out_.popSection();
}

}  // namespace ml
