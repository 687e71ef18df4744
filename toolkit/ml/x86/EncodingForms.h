// The encoder functions, one per encoding form of the opcode table. Each writes the
// prefixes, opcode and operand fields of a form that matched the instruction.
#pragma once

#include "FormIndex.h"

namespace ml::x86 {

EncodeError encodeRaw(const Form& form, const Instruction& insn, Encoded& out);
EncodeError encodeAddReg(const Form& form, const Instruction& insn, Encoded& out);
EncodeError encodeModRMReg(const Form& form, const Instruction& insn, Encoded& out);
EncodeError encodeModRMDigit(const Form& form, const Instruction& insn, Encoded& out);
EncodeError encodeRelative(const Form& form, const Instruction& insn, std::uint32_t address, Encoded& out);
EncodeError encodeMemoryOffset(const Form& form, const Instruction& insn, Encoded& out);
EncodeError encodeImplicitMemory(const Form& form, const Instruction& insn, Encoded& out);

}  // namespace ml::x86
