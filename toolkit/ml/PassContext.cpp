// The services the statement units share during a pass: diagnostics at the current
// line, expressions in the pass's environment, and defining symbols and labels.
#include "PassContext.h"

#include "SourceFiles.h"
#include "Text.h"

namespace ml {

void PassContext::beginPass() {
    currentProc = nullptr;
    symbols.closeScope();
    radix = 10;
    changed = false;
    sawUnresolved = false;
    anonymousLabels = 0;
    frames.reset();
    language = Language::None;
    scoped = true;
    procsPublic = true;
}

void PassContext::markDefined(Symbol& s) {
    s.defined = true;
    s.definedPass = pass;
    s.definedAt = lineIndex;
}

void PassContext::closeFrame() {
    if (!frames.active()) return;
    const FrameRange& open = frames.ranges().back();
    frames.end(out.offsetIn(open.section));
}

void PassContext::error(Diag id, std::string detail) {
    if (!reporting || !line) return;
    diagnostics.add(diagnosticAt(id, std::move(detail), *line, files, lineIndex));
}

EvalEnvironment PassContext::environment(bool reportUndefined) const {
    EvalEnvironment env;
    env.symbols = const_cast<SymbolTable*>(&symbols);
    env.radix = radix;
    if (const Location here = out.here(); here.section >= 0) {
        env.locationSymbol = const_cast<Symbol*>(out.currentSectionSymbol());  // values name symbols mutably
        env.locationOffset = here.offset;
    }
    env.undefinedIsError = reportUndefined;
    env.dependsOnSymbols = const_cast<bool*>(&lineDependsOnSymbols);
    env.anonymousLabels = anonymousLabels;
    return env;
}

std::optional<ExprValue> PassContext::evaluateTokens(Tokens tokens) {
    std::optional<ExprValue> v(std::in_place);
    if (!evaluateTokens(tokens, *v)) v.reset();
    return v;
}

bool PassContext::evaluateTokens(Tokens tokens, ExprValue& value) {
    EvalError err;
    if (!evaluateInto(tokens, environment(pass > 1), err, value)) {
        evalError(err);
        return false;
    }
    if (value.unresolved) sawUnresolved = true;
    return true;
}

std::optional<std::int64_t> PassContext::constantTokens(Tokens tokens, std::string_view what) {
    auto v = evaluateTokens(tokens);
    if (!v) return std::nullopt;
    if (v->kind == ValueKind::String) return stringValue(v->text);
    if (v->kind != ValueKind::Constant && v->kind != ValueKind::TypeName && !v->unresolved) {
        error(Diag::ConstantExpected, std::string(what));
        return std::nullopt;
    }
    return v->unresolved ? 0 : v->number;
}

void PassContext::placeLabel(Symbol& s) {
    if (out.label(s)) changed = true;
    s.definedPass = pass;
    s.definedAt = lineIndex;
}

void PassContext::setSymbolValue(Symbol& s, std::int64_t value, std::int32_t section) {
    if (s.defined && (s.value != value || s.section != section)) changed = true;
    s.value = value;
    s.section = section;
    s.defined = true;
    s.definedPass = pass;
    s.definedAt = lineIndex;
}

Symbol* PassContext::defineSymbol(std::string_view name, SymbolKind kind, bool local) {
    Symbol* s = local ? symbols.find(name) : symbols.findGlobal(name);
    if (s && local && !s->procLocal) s = nullptr;  // a global of the same name is hidden, not redefined
    if (!s) {
        // Only a new name needs the look at the reserved words: a reserved one never
        // becomes a symbol, so it is refused again in every pass.
        if (isReservedWord(name)) {  // size DWORD 6, eax: ...
            error(Diag::ReservedWordName, std::string(name));
            return nullptr;
        }
        return &symbols.create(name, kind, local);
    }
    bool definedHere = s->definedPass == pass && s->definedAt != lineIndex && s->defined;
    bool convertible = s->kind == kind || (s->isExternDef && s->kind == SymbolKind::External) ||
                       (!s->defined && s->kind == SymbolKind::Label);
    if (definedHere || !convertible) {
        error(definedHere ? Diag::SymbolRedefinition : Diag::SymbolTypeConflict, s->name);
        return nullptr;
    }
    s->kind = kind;
    return s;
}

Symbol* PassContext::defineLabel(std::string_view name, bool global, Type type, std::uint32_t length,
                                 std::uint32_t size) {
    if (!requireSection()) return nullptr;
    bool local = currentProc && scoped && !global && type.isCode;
    Symbol* s = defineSymbol(name, SymbolKind::Label, local);
    if (!s) return nullptr;
    placeLabel(*s);
    s->type = type;
    s->lengthOf = length;
    s->sizeOf = size;
    s->globalLabel = global;
    if (s->language == Language::None) s->language = language;
    // A public code label outside procedures starts code that a debugger unwinds from.
    if (type.isCode && s->isPublic && !currentProc && out.sectionKind() == SectionKind::Text)
        frames.begin(out.here().section, out.here().offset);
    return s;
}

bool PassContext::reportOutsideSegment() {
    error(Diag::OutsideSegment);
    return false;
}

// The code label of that name that the assembler made (created on first use); it is
// never listed nor written to the object.
Symbol& PassContext::hiddenLabel(const std::string& name) {
    Symbol* s = symbols.findGlobal(name);
    if (!s) {
        s = &symbols.create(name, SymbolKind::Label);
        s->type = Type{4, false, false, true};
        s->hidden = true;
    }
    return *s;
}

x86::Value PassContext::relocatable(const Symbol* symbol, std::int64_t addend) const {
    if (!symbol) return x86::Value{addend, 0};
    bool local = symbol->section >= 0 && symbol->defined &&
                 (symbol->kind == SymbolKind::Label || symbol->kind == SymbolKind::Procedure ||
                  symbol->kind == SymbolKind::Segment);
    if (local) {
        const Symbol* anchor = out.sectionSymbol(symbol->section);
        return x86::Value{symbol->value + addend, anchor ? anchor->id : 0};
    }
    return x86::Value{addend, symbol->id};
}

std::optional<Type> PassContext::parseType(Tokens tokens) const {
    if (tokens.empty()) return std::nullopt;
    for (const Token& t : tokens)
        if (t.isWord("PTR")) return Type{4};
    if (tokens.size() != 1) return std::nullopt;
    if (const Type* t = builtinType(tokens[0].text)) return *t;
    const Symbol* s = symbols.find(tokens[0].text);
    if (s && (s->kind == SymbolKind::StructType || s->kind == SymbolKind::TypeAlias)) return s->type;
    return std::nullopt;
}

}  // namespace ml
