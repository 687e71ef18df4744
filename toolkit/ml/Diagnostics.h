// Every message the assembler can print, and the sink that collects them with their
// source positions and macro-invocation context.
#pragma once

#include "MessageTable.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ml {

using Severity = asmora::toolkit::Severity;

// One enumerator per row of the table in Diagnostics.cpp.
enum class Diag : std::uint16_t {
    CannotOpenFile,
    CannotWriteFile,
    NestingTooDeep,
    MacroNotClosed,
    BlockNotClosed,
    NoSourceFile,
    TooManyErrors,
    MemoryNotAllowed,
    ImmediateNotAllowed,
    ElseTwice,
    ExtraCharacters,
    SymbolTypeConflict,
    SymbolRedefinition,
    UndefinedSymbol,
    SyntaxError,
    ExpressionSyntax,
    InvalidType,
    LocalOutsideBlock,
    ModelRequired,
    CannotBePublic,
    ExpressionExpected,
    OperatorExpected,
    ExternalNotAllowed,
    SizeMismatch,
    SizeMissing,
    InvalidSize,
    ConstantExpected,
    MemoryExpected,
    CodeAddressExpected,
    TwoBaseRegisters,
    TwoIndexRegisters,
    NotIndexOrBase,
    InvalidRegisterUse,
    InvalidInvokeArgument,
    OutsideSegment,
    TooManyInitialValues,
    NotInStructure,
    MissingMacroOperand,
    LineTooLong,
    MissingAngleBracket,
    MissingQuote,
    EmptyString,
    NonDigitInNumber,
    BadRealNumber,
    RealNotAllowed,
    TextItemRequired,
    ForcedError,
    ForcedErrorZero,
    ForcedErrorNotZero,
    ForcedErrorNotDefined,
    ForcedErrorDefined,
    ForcedErrorBlank,
    ForcedErrorNotBlank,
    ForcedErrorEqual,
    ForcedErrorNotEqual,
    AlignNotPowerOfTwo,
    InvalidOperands,
    InitializerTooLarge,
    JumpTooFar,
    JumpNeedsLabel,
    InvalidScale,
    ValueTooLarge,
    EndRequired,
    RelocatableExpected,
    InvalidOffsetOperand,
    CannotAddLabels,
    InvalidDataType,
    BackslashNotLast,
    CommentDelimiterExpected,
    ConflictingParameter,
    InvalidRadix,
    InvokeArgumentMismatch,
    InvalidFpuRegister,
    LanguageRequired,
    MissingMacroArgument,
    VarargNotLast,
    OrgNeedsLocal,
    InvokeOverwritesRegister,
    ReservedWordName,
    TooManyInvokeArguments,
    TooFewInvokeArguments,
    InvalidDataInitializer,
    TooManyOperands,
    ElseClauseTwice,
    NestedProcedure,
    ControlFlowSyntax,
    ValueOutOfRange,
    MissingRightParen,
    NotAStructure,
    InvokeNeedsPrototype,
    UnmatchedBlock,
    ProcNotOpen,
    MacroNestingTooDeep,
    ControlBlockExpected,
    ParameterCountMismatch,
    DivideByZero,
    UnknownDirective,
    UnknownOption,
    ModelRepeated,
    ExitmOutsideMacro,
    CodeAfterEnd,
    ExpansionTooLarge,
    TooManyMacroArguments,
    NotInCpuMode,
    FlatNeeds386,
    TextTooLong,
};

struct DiagInfo {
    Diag id;
    std::uint16_t number;  // printed as A<number>
    Severity severity;
    std::uint8_t warningLevel;  // /W level from which a warning shows; 0 for errors
    const char* text;
};

const DiagInfo& diagInfo(Diag id);
// Every diagnostic, in the order of Diag.
std::span<const DiagInfo> diagTable();

// Where a diagnostic points: the source line it belongs to, and for lines produced
// by macros the chain of invocations, innermost first.
struct ContextFrame {
    std::string name;    // macro name, or a file name for the main line
    std::uint32_t line;  // line within the macro body, or within the file
};

struct Diagnostic {
    Diag id;
    std::string detail;  // printed after " : " when not empty
    std::string file;    // empty for command-line diagnostics
    std::uint32_t line = 0;
    std::vector<ContextFrame> macroChain;  // innermost first; empty outside macros
    std::uint64_t order = 0;               // sort key: position in the assembly
};

// Collects diagnostics; the driver prints them in source order.
class DiagnosticSink {
public:
    void add(Diagnostic d);
    std::size_t errorCount() const { return errors_; }
    std::size_t warningCount() const { return warnings_; }
    bool hasFatal() const { return fatal_; }
    // Sorted by position; equal positions keep the order of reporting.
    std::vector<Diagnostic> sorted() const;
    const std::vector<Diagnostic>& all() const { return list_; }
    void dropFrom(std::size_t count);  // forgets diagnostics added after `count` were present
    std::size_t size() const { return list_.size(); }
    void setWarningLevel(int level) { warningLevel_ = level; }
    void setWarningsAreErrors(bool on) { warningsAreErrors_ = on; }
    // After this many errors a fatal "too many errors" ends the assembly; 0 = no limit.
    void setErrorLimit(std::size_t limit) { errorLimit_ = limit; }

private:
    std::vector<Diagnostic> list_;
    std::size_t errors_ = 0;
    std::size_t warnings_ = 0;
    bool fatal_ = false;
    int warningLevel_ = 1;
    bool warningsAreErrors_ = false;
    std::size_t errorLimit_ = 100;
    void recount();
};

// Formats one diagnostic as the lines the assembler prints:
//   lab1.asm(12) : error A2006: undefined symbol : foo
//    getValue(3): inside macro expansion
//    lab1.asm(12): invoked from this line
std::vector<std::string> formatDiagnostic(const Diagnostic& d, std::string_view programName);

}  // namespace ml
