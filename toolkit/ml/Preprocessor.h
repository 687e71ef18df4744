// The preprocessor: conditional assembly, macros and repeat blocks, INCLUDE, text
// macros, COMMENT blocks and the listing switches. It turns source files into the
// stream of logical lines that the assembler processes (pass 1) and lists.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Diagnostics.h"
#include "Lexer.h"
#include "SourceLine.h"

namespace ml {

class SourceFiles;
class SymbolTable;
struct Symbol;

// What the preprocessor asks of the assembler: constant values for IF, REPT, WHILE,
// .ERRE and % operands, whether a name is defined for IFDEF, and the assembly of a
// macro function's lines before the call's value is read.
class AssemblerHooks {
public:
    virtual ~AssemblerHooks() = default;
    // Reports problems at `at` unless `quiet`; returns nothing when the text is no constant.
    virtual std::optional<std::int64_t> evaluateConstant(std::string_view text, const SourceLine& at, bool quiet) = 0;
    // True when `text` is a number or an address (possibly not yet defined): EQU then
    // defines a symbol instead of a text macro.
    virtual bool isNumericEquate(std::string_view text) = 0;
    // Assembles `line` now, ahead of the line being expanded: a macro function's
    // `n = n + 1` must be done before its `EXITM %n` is evaluated.
    virtual void assembleNow(const SourceLine& line) = 0;
};

struct MacroParam {
    std::string name;
    bool required = false;
    bool vararg = false;
    std::string defaultText;
};

struct MacroDef {
    std::string name;
    std::vector<MacroParam> params;
    std::vector<std::string> locals;
    std::vector<std::string_view> body;    // lines between MACRO and ENDM, LOCAL lines removed
    std::vector<std::uint32_t> bodyLines;  // each body line's number within the definition
};

class Preprocessor {
public:
    Preprocessor(SourceFiles& files, SymbolTable& symbols, DiagnosticSink& diagnostics, TextArena& arena,
                 AssemblerHooks& assembler, std::vector<std::string> includeDirs, ExpansionBounds bounds = {});
    ~Preprocessor();

    void start(std::uint32_t mainFile);
    // The next logical line; false at the end of the input or after stop().
    bool next(SourceLine& out);
    // END was assembled: the rest of the input is not read.
    void stop() { stopped_ = true; }
    // Sort key of the line that next() returns next (its index among all lines).
    void setOrderBase(std::uint64_t order) { order_ = order; }

    const std::vector<std::string>& echoes() const { return echoes_; }
    // Defines (or redefines) a text macro from outside a source line: @code, @data ...
    void setTextMacro(std::string_view name, std::string value);
    // IF blocks still open (END was reached inside one).
    std::size_t openConditionals() const { return conds_.size(); }
    // Every macro that was defined, in order of definition (for the listing).
    std::vector<const MacroDef*> macros() const;
    std::string_view title() const { return title_; }
    std::string_view subtitle() const { return subtitle_; }

    // Expands the text macros of `text` (and inside strings when `inStrings`).
    // Returns nothing when nothing was replaced.
    std::optional<std::string> expandTextMacros(std::string_view text, bool inStrings, const SourceLine& at);

private:
    struct Frame;
    struct Conditional {
        bool active = false;  // this branch is being assembled
        bool taken = false;   // some branch of the block was assembled
        bool parentActive = false;
        bool elseSeen = false;
    };
    enum class MacroListing : std::uint8_t { All, CodeOnly, None };
    struct RawLine {
        std::string_view text;
        std::uint32_t fileLine = 0;  // line in the file (file frames)
        std::uint32_t bodyLine = 0;  // line within the body (expansion frames)
        std::size_t codeSize = 0;    // length of `text` before its comment
    };

    // The next raw line of the frames above `floor` (ending exhausted frames on the way).
    bool fetchRaw(RawLine& raw, std::size_t floor = 0);
    bool readTop(RawLine& raw);  // next line of the innermost frame; false when it is exhausted
    SourceLine makeLine(const RawLine& raw, std::string_view text) const;
    void process(const RawLine& raw);
    bool handleDirective(const RawLine& raw, const StatementHead& head, const SourceLine& line);
    void startComment(const RawLine& raw, std::string_view rest, const SourceLine& line);
    void echo(std::string_view text);
    void gotoMacroLabel(std::string_view name, const SourceLine& at);
    std::string_view expandWholeLine(std::string_view text, const SourceLine& at);
    // `secondDefinesName`: the second word is a directive that defines the first (EQU, PROC ...).
    void emitStatement(SourceLine line, std::string_view code, const StatementHead& head, bool secondDefinesName);
    std::string_view expandStatement(std::string_view code, const StatementHead& head, bool definesName,
                                     const SourceLine& line);
    void callMacro(SourceLine line, const StatementHead& head, const MacroDef& def);
    std::optional<std::string> expandCallsAndTextMacros(std::string_view text, const SourceLine& at);
    void emit(SourceLine line, bool statement);
    void report(Diag id, std::string detail, const SourceLine& at);

    // conditional assembly
    bool isActive() const { return conds_.empty() || conds_.back().active; }
    bool handleConditional(std::string_view word, std::string_view operands, const SourceLine& at);
    bool evaluateCondition(std::string_view kind, std::string_view operands, const SourceLine& at);
    void handleForcedError(std::string_view word, std::string_view operands, const SourceLine& at);
    bool isDefinedName(std::string_view name) const;

    // macros and repeat blocks
    bool captureBlock(const SourceLine& opener, std::string_view name, std::vector<std::string_view>& body,
                      std::vector<std::uint32_t>& bodyLines);
    void defineMacro(std::string_view name, std::string_view params, const SourceLine& at);
    void startRepeat(std::string_view word, std::string_view operands, const SourceLine& at);
    void invokeMacro(const MacroDef& def, std::string_view args, const SourceLine& at);
    void pushExpansion(std::unique_ptr<Frame> frame, std::string name, const SourceLine& at);
    bool exitExpansion(std::string_view operand, const SourceLine& at);
    std::optional<std::string> expandMacroFunctions(std::string_view text, const SourceLine& at);
    std::string runMacroFunction(const MacroDef& def, std::string_view args, const SourceLine& at);
    void assemblePending();
    std::string callBuiltin(int function, std::string_view args, const SourceLine& at);
    std::vector<std::string> splitArguments(std::string_view text, const SourceLine& at);
    std::string_view substituteBody(std::string_view line, const Frame& frame);
    bool advanceRepeat(Frame& frame);
    const MacroDef* findMacro(std::string_view name) const;

    // INCLUDE, text macros, listing switches
    void include(std::string_view operand, const SourceLine& at);
    bool defineTextMacro(std::string_view name, std::string_view directive, std::string_view operands,
                         const SourceLine& at);
    std::optional<std::string> textItem(std::string_view operand, const SourceLine& at);
    std::optional<std::int64_t> constantOperand(std::string_view text, const SourceLine& at);
    std::optional<std::string> expansionText(std::string_view expr, const SourceLine& at);
    bool handleListingSwitch(std::string_view word, std::string_view operands);
    void popFrame();

    SourceFiles& files_;
    SymbolTable& symbols_;
    DiagnosticSink& diagnostics_;
    TextArena& arena_;
    AssemblerHooks& assembler_;
    std::vector<std::string> includeDirs_;
    ExpansionBounds bounds_;

    std::vector<std::unique_ptr<Frame>> frames_;
    std::vector<Conditional> conds_;
    std::deque<SourceLine> pending_;
    // Folded names: looked up with a string_view, so that asking whether a line's first
    // word is a macro copies nothing.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, const MacroDef*, NameHash, std::equal_to<>> macros_;
    std::deque<std::unique_ptr<MacroDef>> macroStore_;  // every definition stays alive: frames point into them
    std::vector<const MacroDef*> macroOrder_;
    std::deque<Expansion> expansions_;
    std::vector<std::string> echoes_;
    std::string title_, subtitle_;
    std::uint64_t order_ = 0;
    std::uint64_t expandedLines_ = 0;
    std::uint64_t expandedBytes_ = 0;
    std::uint32_t localCounter_ = 0;
    std::uint32_t textMacroCount_ = 0;
    std::array<bool, 256> textMacroInitials_{};  // folded first characters of text macro names
    std::string initialsList_;                   // the same characters, each once
    void noteTextMacro(std::string_view name);
    bool mayMentionTextMacro(std::string_view text) const;
    bool mentionsTextMacro(std::string_view text, bool inStrings) const;
    std::string substituted_;             // substituteBody's work buffer, kept to spare an allocation per line
    const Symbol* lineSymbol_ = nullptr;  // @Line
    std::string functionResult_;          // EXITM <text> of the macro function that ran last
    bool stopped_ = false;
    char commentDelimiter_ = 0;
    bool listEnabled_ = true;
    bool listFalseConditionals_ = false;
    MacroListing macroListing_ = MacroListing::CodeOnly;
};

// Splits off a leading <literal> (with ! escapes) or returns nothing when `text`
// does not start with '<'. `rest` receives what follows the closing '>'.
std::optional<std::string> angleLiteral(std::string_view text, std::string_view* rest = nullptr);

// The text of a directive item: the contents of a <literal>, or the item itself.
std::string itemText(std::string_view item);

}  // namespace ml
