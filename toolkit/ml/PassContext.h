// What the statement units (data, procedures, control flow, instructions) share
// during a pass: the line being assembled, the pass's settings, the symbol table, the
// emitter, and the few services all of them use (diagnostics, expressions, defining
// symbols and labels).
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Diagnostics.h"
#include "Emitter.h"
#include "Expression.h"
#include "FrameTracker.h"
#include "Lexer.h"
#include "SourceLine.h"
#include "Symbols.h"

namespace ml {

class SourceFiles;

enum class CaseMode : std::uint8_t { Insensitive, Sensitive, Upper };

struct AssemblerOptions {
    std::vector<std::string> includeDirs;
    CaseMode caseMode = CaseMode::Insensitive;
    bool keepListing = false;  // record listing entries (/Fl)
    bool debugInfo = false;    // record line numbers and follow the stack for call frames (/Zi)
    // Later passes copy the bytes of first-pass instructions that cannot change instead
    // of assembling their lines again; off, every line is assembled in every pass (the
    // tests compare both ways).
    bool copyFirstPassCode = true;
    ExpansionBounds expansionBounds;
    std::time_t startTime = 0;  // the assembly's date and time, for @Date and @Time
};

using Tokens = std::span<const Token>;

// The tokens as one text, blanks only between words: "corner.y", "[ebp+8]".
std::string joinTokens(Tokens t);
// C, SYSCALL, STDCALL, PASCAL, FORTRAN, BASIC; nothing for another word.
std::optional<Language> languageWord(const Token& t);
// The ELF name of `s` as MASM hands it to the linker (_Name@8, _name, name).
std::string linkName(const Symbol& s, CaseMode caseMode);

class PassContext {
public:
    PassContext(SourceFiles& files, DiagnosticSink& diagnostics, SymbolTable& symbols, Emitter& out,
                const AssemblerOptions& options)
        : files(files), diagnostics(diagnostics), symbols(symbols), out(out), options(options) {}

    // Settings and state that every pass starts afresh.
    void beginPass();

    // ---- diagnostics: reported by the final passes only, at the current line
    void error(Diag id, std::string detail = {});
    void evalError(const EvalError& e) { error(e.id, e.detail); }

    // ---- expressions
    EvalEnvironment environment(bool reportUndefined) const;
    std::optional<ExprValue> evaluateTokens(Tokens tokens);
    bool evaluateTokens(Tokens tokens, ExprValue& out);  // the same into `out`
    std::optional<std::int64_t> constantTokens(Tokens tokens, std::string_view what);
    // BYTE, DWORD PTR, a structure or TYPEDEF name: the type the tokens name.
    std::optional<Type> parseType(Tokens tokens) const;
    // The encoder's value of `symbol` + `addend`: section-relative for labels here.
    x86::Value relocatable(const Symbol* symbol, std::int64_t addend) const;

    // ---- symbols and labels
    Symbol* defineSymbol(std::string_view name, SymbolKind kind, bool local = false);
    Symbol* defineLabel(std::string_view name, bool global, Type type, std::uint32_t length = 1,
                        std::uint32_t size = 0);
    void setSymbolValue(Symbol& s, std::int64_t value, std::int32_t section);
    // Binds `s` to the location counter in this pass.
    void placeLabel(Symbol& s);
    // Marks `s` as defined by the current line of this pass.
    void markDefined(Symbol& s);
    // The code label of that name that the assembler made (created on first use); it is
    // never listed nor written to the object.
    Symbol& hiddenLabel(const std::string& name);
    bool requireSection() { return out.hasSection() || reportOutsideSegment(); }
    // Ends the open call-frame range at its section's location counter.
    void closeFrame();

private:
    bool reportOutsideSegment();

public:
    SourceFiles& files;
    DiagnosticSink& diagnostics;
    SymbolTable& symbols;
    Emitter& out;
    const AssemblerOptions& options;

    // ---- the pass and its line
    std::uint32_t pass = 0;
    bool reporting = false;      // the final passes report diagnostics
    bool changed = false;        // a label moved: another pass follows
    bool sawUnresolved = false;  // an expression named a symbol not defined yet
    std::size_t lineIndex = 0;
    const SourceLine* line = nullptr;
    bool lineDependsOnSymbols = false;  // an operand of the line read a symbol or $

    // ---- settings that directives change
    int radix = 10;
    Language language = Language::None;
    bool scoped = true;                 // OPTION SCOPED: code labels are local to procedures
    bool procsPublic = true;            // OPTION PROC: PUBLIC (the default) or PRIVATE
    std::uint32_t anonymousLabels = 0;  // "@@:" labels placed so far in this pass
    Symbol* currentProc = nullptr;
    FrameTracker frames;  // call frames for .debug_frame (/Zi)
};

}  // namespace ml
