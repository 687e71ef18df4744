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

Closeness matchForm(const Form& form, const Instruction& insn);

// The diagnostic for the closest miss.
EncodeError errorFor(Closeness closest, std::uint8_t operandCount);

}  // namespace ml::x86
