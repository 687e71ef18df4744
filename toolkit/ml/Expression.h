// The expression evaluator: constants, relocatable addresses, registers and memory
// references, with MASM's operators and precedence.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "Diagnostics.h"
#include "Lexer.h"
#include "Symbols.h"
#include "x86/Encoder.h"

namespace ml {

enum class ValueKind : std::uint8_t {
    Constant,  // a plain number
    Address,   // symbol + number, not in brackets (a label, OFFSET x, $)
    Register,
    Memory,    // [base + index*scale + symbol + number], or a data label used as memory
    Real,      // a real-number literal
    String,    // a quoted string (its number is its characters, first one highest)
    TypeName,  // BYTE, DWORD, a structure name ...
};

struct ExprValue {
    ValueKind kind = ValueKind::Constant;
    std::int64_t number = 0;                // constant; address addend; memory displacement
    Symbol* symbol = nullptr;               // relocatable base of Address and Memory
    const Symbol* stackVariable = nullptr;  // the PROC parameter or LOCAL a Memory value names
    x86::Register reg;                      // Register
    x86::Register base, index, segment;
    std::uint8_t scale = 1;
    Type type;                  // from the label, PTR or the register
    bool explicitType = false;  // given by PTR
    bool bracketed = false;
    bool isOffset = false;  // OFFSET applied: an immediate address
    bool isShort = false;
    bool unresolved = false;  // depends on a symbol that has no value yet
    std::string_view text;    // String: the token with its quotes; Real: the literal
    long double real = 0;

    bool isConstant() const { return kind == ValueKind::Constant; }
    bool hasRegisters() const { return base.cls != x86::RegClass::None || index.cls != x86::RegClass::None; }
};

// What an expression needs from the assembler.
struct EvalEnvironment {
    SymbolTable* symbols = nullptr;
    int radix = 10;
    Symbol* locationSymbol = nullptr;  // anchor of the current section, for $
    std::int64_t locationOffset = 0;
    bool undefinedIsError = false;  // final pass: undefined names are errors
    bool markReferenced = true;     // note the symbols used (externals reach the object)
    // Set when the value depends on a symbol (or a name that is none yet) or on the
    // location counter: a value that depends on neither is the same in every pass.
    bool* dependsOnSymbols = nullptr;
    // How many anonymous labels (@@:) the pass has defined so far: @B names the last
    // of them, @F the next one.
    std::uint32_t anonymousLabels = 0;
};

// The symbol-table name of the n-th anonymous label of a pass ("@@#0003"); the '#'
// keeps it apart from every name a source can write.
std::string anonymousLabelName(std::uint32_t n);

// An operator (SIZE, TYPE, PTR ...), a register, a type or an instruction: MASM's
// reserved words, which no symbol may be named.
bool isReservedWord(std::string_view name);

struct EvalError {
    Diag id = Diag::SyntaxError;
    std::string detail;
};

// Evaluates the whole of `tokens`; fails on trailing tokens.
std::optional<ExprValue> evaluate(std::span<const Token> tokens, const EvalEnvironment& env, EvalError& error);
// The same into `out`, for the callers that evaluate every operand of every line.
bool evaluateInto(std::span<const Token> tokens, const EvalEnvironment& env, EvalError& error, ExprValue& out);

// The number of bytes of a register class (al 1, ax 2, eax 4, es 2, st 10).
std::uint32_t registerSize(x86::Register r);

// The value of a character constant: 'AB' is 4142h.
std::int64_t stringValue(std::string_view quoted);

}  // namespace ml
