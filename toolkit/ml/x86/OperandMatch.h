// Decides whether an instruction's operands fit a form, and how close a miss is, so
// that the most specific diagnostic can be reported when no form fits.
#pragma once

#include "FormIndex.h"

namespace ml::x86 {

// How close a form came to matching, worst first; a form is as close as its worst
// operand, and the error reported is that of the closest form.
enum class Closeness : std::uint8_t {
    WrongKind,       // register, memory or immediate where another is needed -> A2070
    WrongSize,       // the sizes of the operands disagree -> A2022
    SizeUnknown,     // memory without a size that nothing else fixes -> A2023
    ImmediateRange,  // the immediate does not fit its field -> immediate too big
    Match,
};

// The kinds of an instruction's operands as the bits that Form::acceptedKinds uses;
// places past operandCount hold a bit that every form takes there.
using OperandKinds = std::array<std::uint8_t, 3>;
OperandKinds operandKinds(const Instruction& insn);

// False when an operand's kind alone rules the form out (matchForm() would answer
// WrongKind): encode() skips such forms without matching them operand by operand.
inline bool kindsFit(const Form& form, std::uint8_t operandCount, const OperandKinds& kinds) {
    return form.operandCount == operandCount && (form.acceptedKinds[0] & kinds[0]) &&
           (form.acceptedKinds[1] & kinds[1]) && (form.acceptedKinds[2] & kinds[2]);
}

Closeness matchForm(const Form& form, const Instruction& insn);
// matchForm() for a form that kindsFit() the instruction.
Closeness matchOperands(const Form& form, const Instruction& insn);
// matchOperands() == Match, stopping at the first operand that does not match.
bool operandsMatch(const Form& form, const Instruction& insn);

// The diagnostic for the closest miss.
EncodeError errorFor(Closeness closest, std::uint8_t operandCount);

}  // namespace ml::x86
