// The table of every assembler diagnostic (number, severity, text) and their collection.
#include "Diagnostics.h"

#include <algorithm>
#include <array>

// clang-format off
namespace ml {
namespace {

using enum Diag;
using namespace asmora::toolkit::severity_column;

// id                         number  severity level  text
constexpr std::array kTable = std::to_array<DiagInfo>({
    {CannotOpenFile,            1000, F, 0, "cannot open file"},
    {CannotWriteFile,           1001, F, 0, "cannot write output file"},
    {NestingTooDeep,            1007, F, 0, "nesting of include files, macros or blocks is too deep"},
    {MacroNotClosed,            1008, F, 0, "macro or repeat block has no matching ENDM"},
    {BlockNotClosed,            1010, F, 0, "a block is still open here"},
    {NoSourceFile,              1017, F, 0, "no source file was given"},
    {TooManyErrors,             1012, F, 0, "assembly stopped after this many errors"},
    {MemoryNotAllowed,          2000, E, 0, "a memory operand is not allowed here"},
    {ImmediateNotAllowed,       2001, E, 0, "an immediate operand is not allowed here"},
    {ElseTwice,                 2002, E, 0, "an IF block may have only one ELSE"},
    {ExtraCharacters,           2003, E, 0, "unexpected text after the statement"},
    {SymbolTypeConflict,        2004, E, 0, "symbol is already used as something else"},
    {SymbolRedefinition,        2005, E, 0, "symbol is already defined"},
    {UndefinedSymbol,           2006, E, 0, "symbol is not defined"},
    {SyntaxError,               2008, E, 0, "syntax error"},
    {ExpressionSyntax,          2009, E, 0, "syntax error in expression"},
    {InvalidType,               2010, E, 0, "not a valid type"},
    {LocalOutsideBlock,         2012, E, 0, "LOCAL must follow PROC, MACRO or a repeat directive"},
    {ModelRequired,             2013, E, 0, ".MODEL must come before this directive"},
    {CannotBePublic,            2014, E, 0, "symbol cannot be made public or external"},
    {ExpressionExpected,        2016, E, 0, "an expression is missing"},
    {OperatorExpected,          2017, E, 0, "an operator is missing"},
    {ExternalNotAllowed,        2018, E, 0, "an external symbol cannot be used here"},
    {SizeMismatch,              2022, E, 0, "operands of the instruction differ in size"},
    {SizeMissing,               2023, E, 0, "the operand size is not known; use a PTR type"},
    {InvalidSize,               2024, E, 0, "operand size is not valid for this instruction"},
    {ConstantExpected,          2026, E, 0, "a constant is needed here"},
    {MemoryExpected,            2027, E, 0, "a memory operand is needed here"},
    {CodeAddressExpected,       2028, E, 0, "a code address is needed here"},
    {TwoBaseRegisters,          2029, E, 0, "only one base register is allowed"},
    {TwoIndexRegisters,         2030, E, 0, "only one index register is allowed"},
    {NotIndexOrBase,            2031, E, 0, "register cannot be used as base or index"},
    {InvalidRegisterUse,        2032, E, 0, "register cannot be used here"},
    {InvalidInvokeArgument,     2033, E, 0, "INVOKE argument is not valid"},
    {OutsideSegment,            2034, E, 0, "statement needs an open segment (.CODE or .DATA)"},
    {TooManyInitialValues,      2036, E, 0, "too many initial values"},
    {NotInStructure,            2037, E, 0, "statement is not allowed in a structure definition"},
    {MissingMacroOperand,       2038, E, 0, "macro operator has no operand"},
    {LineTooLong,               2039, E, 0, "line is longer than 512 characters"},
    {MissingAngleBracket,       2045, E, 0, "literal lacks its closing angle bracket"},
    {MissingQuote,              2046, E, 0, "string lacks its closing quotation mark"},
    {EmptyString,               2047, E, 0, "string is empty"},
    {NonDigitInNumber,          2048, E, 0, "number contains a character that is not a digit of its radix"},
    {BadRealNumber,             2049, E, 0, "real number is written wrongly"},
    {RealNotAllowed,            2050, E, 0, "a real number is not allowed here"},
    {TextItemRequired,          2051, E, 0, "a text item is needed here"},
    {ForcedError,               2052, E, 0, "error forced by .ERR"},
    {ForcedErrorZero,           2053, E, 0, "error forced by .ERRE: value is zero"},
    {ForcedErrorNotZero,        2054, E, 0, "error forced by .ERRNZ: value is not zero"},
    {ForcedErrorNotDefined,     2055, E, 0, "error forced by .ERRNDEF: symbol is not defined"},
    {ForcedErrorDefined,        2056, E, 0, "error forced by .ERRDEF: symbol is defined"},
    {ForcedErrorBlank,          2057, E, 0, "error forced by .ERRB: text is blank"},
    {ForcedErrorNotBlank,       2058, E, 0, "error forced by .ERRNB: text is not blank"},
    {ForcedErrorEqual,          2059, E, 0, "error forced by .ERRIDN: texts are equal"},
    {ForcedErrorNotEqual,       2060, E, 0, "error forced by .ERRDIF: texts differ"},
    {AlignNotPowerOfTwo,        2063, E, 0, "alignment must be a power of 2"},
    {InvalidOperands,           2070, E, 0, "operands are not valid for this instruction"},
    {InitializerTooLarge,       2071, E, 0, "initial value does not fit the data size"},
    {JumpTooFar,                2075, E, 0, "jump target is out of range"},
    {JumpNeedsLabel,            2076, E, 0, "jump target must be a label"},
    {InvalidScale,              2083, E, 0, "scale factor must be 1, 2, 4 or 8"},
    {ValueTooLarge,             2084, E, 0, "constant is too large"},
    {EndRequired,               2088, E, 0, "source ends without an END directive"},
    {RelocatableExpected,       2094, E, 0, "operand must be relocatable"},
    {InvalidOffsetOperand,      2098, E, 0, "OFFSET cannot be applied to this operand"},
    {CannotAddLabels,           2101, E, 0, "two relocatable labels cannot be added"},
    {InvalidDataType,           2104, E, 0, "type cannot be used for data"},
    {BackslashNotLast,          2109, E, 0, "only blanks or a comment may follow a continuation backslash"},
    {CommentDelimiterExpected,  2110, E, 0, "COMMENT needs a delimiter character"},
    {ConflictingParameter,      2111, E, 0, "parameter list differs from the earlier declaration"},
    {InvalidRadix,              2113, E, 0, "radix must be between 2 and 16"},
    {InvokeArgumentMismatch,    2114, E, 0, "INVOKE argument does not match its parameter"},
    {InvalidFpuRegister,        2115, E, 0, "floating-point register number must be 0 to 7"},
    {LanguageRequired,          2119, E, 0, "a language type is needed for this declaration"},
    {MissingMacroArgument,      2125, E, 0, "required macro argument is missing"},
    {VarargNotLast,             2129, E, 0, "VARARG must be the last parameter"},
    {OrgNeedsLocal,             2132, E, 0, "ORG needs a constant or an offset in the current segment"},
    {InvokeOverwritesRegister,  2133, E, 0, "INVOKE has already overwritten this register for an earlier argument"},
    {ReservedWordName,          2008, E, 0, "a reserved word (an operator, register, type or instruction) cannot be a name"},
    {TooManyInvokeArguments,    2136, E, 0, "INVOKE has more arguments than the prototype"},
    {TooFewInvokeArguments,     2137, E, 0, "INVOKE has fewer arguments than the prototype"},
    {InvalidDataInitializer,    2138, E, 0, "initial value is not valid"},
    {TooManyOperands,           2141, E, 0, "instruction has too many operands"},
    {ElseClauseTwice,           2142, E, 0, "a .IF block may have only one .ELSE"},
    {NestedProcedure,           2144, E, 0, "procedures cannot be nested"},
    {ControlFlowSyntax,         2154, E, 0, "syntax error in control-flow directive"},
    {ValueOutOfRange,           2156, E, 0, "constant is out of range"},
    {MissingRightParen,         2157, E, 0, "closing parenthesis is missing"},
    {NotAStructure,             2166, E, 0, "name is not a structure field"},
    {InvokeNeedsPrototype,      2190, E, 0, "INVOKE needs a prototype or a procedure"},
    {UnmatchedBlock,            1010, F, 0, "directive closes a block that is not open"},
    {ProcNotOpen,               1010, F, 0, "ENDP does not match the open procedure"},
    {MacroNestingTooDeep,       1007, F, 0, "macro calls and repeat blocks nest more than 20 deep"},
    {ControlBlockExpected,      1011, F, 0, "directive must be inside a .IF, .WHILE or .REPEAT block"},
    {ParameterCountMismatch,    2111, E, 0, "parameter count differs from the prototype"},
    {DivideByZero,              2169, E, 0, "division by zero in expression"},
    {UnknownDirective,          2008, E, 0, "not an instruction or directive"},
    {UnknownOption,             4018, W, 1, "command-line option is not known; ignored"},
    {ModelRepeated,             4011, W, 1, ".MODEL given again; ignored"},
    {ExitmOutsideMacro,         2126, E, 0, "EXITM is only allowed inside a macro"},
    {CodeAfterEnd,              4005, W, 2, "text after END is ignored"},
    {ExpansionTooLarge,         1009, F, 0, "macro and repeat expansions produce too many lines or too much text"},
    {TooManyMacroArguments,     4006, W, 1, "macro call has more arguments than parameters"},
    {NotInCpuMode,              2085, E, 0, "instruction or register is not enabled by the processor directive"},
    {FlatNeeds386,              2085, E, 0, ".MODEL FLAT needs .386 or a later processor directive before it"},
    {TextTooLong,               2041, E, 0, "text macro or macro argument is longer than 255 characters"},
});
// clang-format on

static_assert(asmora::toolkit::rowsFollowIds(kTable), "diagnostic table rows must follow the Diag enumerators");

}  // namespace

const DiagInfo& diagInfo(Diag id) { return asmora::toolkit::rowOf(kTable, id); }

std::span<const DiagInfo> diagTable() { return kTable; }

void DiagnosticSink::add(Diagnostic d) {
    const DiagInfo& info = diagInfo(d.id);
    if (info.severity == Severity::Warning && (warningLevel_ == 0 || info.warningLevel > warningLevel_)) return;
    if (fatal_) return;  // the assembly has stopped
    bool limitReached = errorLimit_ && info.severity != Severity::Warning && errors_ + 1 >= errorLimit_;
    Diagnostic stop{Diag::TooManyErrors, std::to_string(errorLimit_), d.file, d.line, {}, d.order};
    list_.push_back(std::move(d));
    if (info.severity == Severity::Fatal) fatal_ = true;
    if (info.severity == Severity::Warning && !warningsAreErrors_)
        ++warnings_;
    else
        ++errors_;
    if (limitReached && !fatal_) {
        list_.push_back(std::move(stop));
        ++errors_;
        fatal_ = true;
    }
}

void DiagnosticSink::recount() {
    errors_ = warnings_ = 0;
    fatal_ = false;
    for (const Diagnostic& d : list_) {
        const DiagInfo& info = diagInfo(d.id);
        if (info.severity == Severity::Fatal) fatal_ = true;
        if (info.severity == Severity::Warning && !warningsAreErrors_)
            ++warnings_;
        else
            ++errors_;
    }
}

void DiagnosticSink::dropFrom(std::size_t count) {
    if (count < list_.size()) {
        list_.resize(count);
        recount();
    }
}

std::vector<Diagnostic> DiagnosticSink::sorted() const {
    std::vector<Diagnostic> out = list_;
    std::stable_sort(out.begin(), out.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.order < b.order; });
    return out;
}

std::vector<std::string> formatDiagnostic(const Diagnostic& d, std::string_view programName) {
    const DiagInfo& info = diagInfo(d.id);
    std::string head = d.file.empty() ? std::string(programName) : d.file + "(" + std::to_string(d.line) + ")";
    std::string first = head + " : " + asmora::toolkit::severityWord(info.severity) + " A" +
                        std::to_string(info.number) + ": " + info.text;
    if (!d.detail.empty()) first += " : " + d.detail;
    std::vector<std::string> lines{first};
    for (const ContextFrame& frame : d.macroChain)
        lines.push_back(" " + frame.name + "(" + std::to_string(frame.line) + "): inside macro expansion");
    if (!d.macroChain.empty())
        lines.push_back("  " + d.file + "(" + std::to_string(d.line) + "): invoked from this line");
    return lines;
}

}  // namespace ml
