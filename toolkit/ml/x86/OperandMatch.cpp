// Operand matching: register classes and numbers, memory sizes (given, implied by
// another operand, or defaulted), immediate ranges and branch forms.
#include "OperandMatch.h"

#include <algorithm>

namespace ml::x86 {
namespace {

bool isGeneral(RegClass cls) { return cls == RegClass::Gpr8 || cls == RegClass::Gpr16 || cls == RegClass::Gpr32; }

std::uint8_t registerSize(const Register& r) {
    switch (r.cls) {
        case RegClass::Gpr8:
            return 1;
        case RegClass::Gpr16:
        case RegClass::Segment:
            return 2;
        case RegClass::Gpr32:
            return 4;
        default:
            return 0;
    }
}

bool isValidRegister(const Register& r) {
    switch (r.cls) {
        case RegClass::Gpr8:
        case RegClass::Gpr16:
        case RegClass::Gpr32:
        case RegClass::Fpu:
            return r.number <= 7;
        case RegClass::Segment:
            return r.number <= 5;
        default:
            return false;
    }
}

// The size an operand carries on its own: a register's, or a memory operand's or an
// immediate's PTR type.
std::uint8_t ownSize(const Operand& op) {
    if (op.kind == OperandKind::Reg) return registerSize(op.reg);
    return op.size;
}

Closeness matchRegister(const OperandPattern& p, const Operand& op) {
    if (op.kind != OperandKind::Reg || !isValidRegister(op.reg)) return Closeness::WrongKind;
    if (op.reg.cls != p.regClass)
        return isGeneral(op.reg.cls) && isGeneral(p.regClass) ? Closeness::WrongSize : Closeness::WrongKind;
    if (p.kind == PatternKind::FixedReg && op.reg.number != p.regNumber) return Closeness::WrongKind;
    constexpr std::uint8_t kCs = 1;
    if (p.loadable && op.reg.number == kCs) return Closeness::WrongKind;  // mov cs, ax faults (#UD)
    return Closeness::Match;
}

// A memory operand without a size fits when the pattern takes any size or makes the
// size optional, the row defaults it, or another operand fixes it (mov [ebx], eax).
Closeness matchMemorySize(const Form& form, int index, const Instruction& insn) {
    const OperandPattern& p = form.operands[index];
    const std::uint8_t size = insn.operands[index].size;
    if (p.size == 0 || size == p.size) return Closeness::Match;
    if (size != 0) return Closeness::WrongSize;
    if (p.sizeOptional || form.defaultSize) return Closeness::Match;
    for (int other = 0; other < form.operandCount; ++other) {
        if (other != index && form.operands[other].fixesSize && ownSize(insn.operands[other]) == p.size)
            return Closeness::Match;
    }
    return Closeness::SizeUnknown;
}

// imm8 takes -128..255, imm16 -32768..65535, imm32 -2^31..2^32-1 (MASM accepts a
// value that fits signed or unsigned). imm8s takes what sign extension to the
// operand size reproduces: -128..127, or FF80h..FFFFh / FFFFFF80h..FFFFFFFFh.
// A symbol's address is only known at link time, so it never takes imm8s; the
// constant added to it must fit the field all the same.
// A PTR type on the immediate must be the size the form works on (typedSize).
Closeness matchImmediate(const Form& form, const OperandPattern& p, const Operand& op) {
    const Value& value = op.imm;
    if (value.symbol != 0 && p.signExtended) return Closeness::WrongKind;
    if (op.size != 0 && p.typedSize != 0 && op.size != p.typedSize) return Closeness::WrongSize;
    const std::int64_t c = value.constant;
    bool fits = false;
    switch (p.size) {
        case 1:
            if (p.signExtended) {
                const std::int64_t top = form.operandSize16 ? 0xFFFF : 0xFFFFFFFF;
                fits = (c >= -128 && c <= 127) || (c >= top - 127 && c <= top);
            } else {
                fits = c >= -128 && c <= 255;
            }
            break;
        case 2:
            fits = c >= -32768 && c <= 65535;
            break;
        default:
            fits = c >= INT32_MIN && c <= UINT32_MAX;
            break;
    }
    return fits ? Closeness::Match : Closeness::ImmediateRange;
}

Closeness matchOperand(const Form& form, int index, const Instruction& insn) {
    const OperandPattern& p = form.operands[index];
    const Operand& op = insn.operands[index];
    switch (p.kind) {
        case PatternKind::Reg:
        case PatternKind::FixedReg:
            return matchRegister(p, op);
        case PatternKind::RegOrMem:
            if (op.kind == OperandKind::Reg) {
                if (!isValidRegister(op.reg) || !isGeneral(op.reg.cls)) return Closeness::WrongKind;
                return registerSize(op.reg) == p.size ? Closeness::Match : Closeness::WrongSize;
            }
            return op.kind == OperandKind::Mem ? matchMemorySize(form, index, insn) : Closeness::WrongKind;
        case PatternKind::Mem:
        case PatternKind::StringSource:
            return op.kind == OperandKind::Mem ? matchMemorySize(form, index, insn) : Closeness::WrongKind;
        case PatternKind::MemOffset:
            if (op.kind != OperandKind::Mem || op.base.cls != RegClass::None || op.index.cls != RegClass::None)
                return Closeness::WrongKind;
            return matchMemorySize(form, index, insn);
        case PatternKind::StringDest:
            if (op.kind != OperandKind::Mem) return Closeness::WrongKind;
            if (op.segment.cls != RegClass::None && (op.segment.cls != RegClass::Segment || op.segment.number != 0))
                return Closeness::WrongKind;
            return matchMemorySize(form, index, insn);
        case PatternKind::Imm:
            return op.kind == OperandKind::Imm ? matchImmediate(form, p, op) : Closeness::WrongKind;
        case PatternKind::Const:
            return op.kind == OperandKind::Imm && op.imm.symbol == 0 && op.imm.constant == p.size
                       ? Closeness::Match
                       : Closeness::WrongKind;
        case PatternKind::Rel:
            if (op.kind != OperandKind::Imm) return Closeness::WrongKind;
            if ((p.size == 1 && insn.branch == BranchForm::Near) || (p.size == 4 && insn.branch == BranchForm::Short))
                return Closeness::WrongKind;
            return Closeness::Match;
        case PatternKind::None:
            break;
    }
    return Closeness::WrongKind;
}

}  // namespace

OperandKinds operandKinds(const Instruction& insn) {
    OperandKinds kinds{0xFF, 0xFF, 0xFF};
    for (std::size_t i = 0; i < kinds.size() && i < insn.operandCount; ++i) {
        const unsigned kind = static_cast<unsigned>(insn.operands[i].kind);
        kinds[i] = kind < 8 ? static_cast<std::uint8_t>(1u << kind) : 0;
    }
    return kinds;
}

Closeness matchOperands(const Form& form, const Instruction& insn) {
    Closeness worst = Closeness::Match;
    for (int i = 0; i < form.operandCount && worst != Closeness::WrongKind; ++i)
        worst = std::min(worst, matchOperand(form, i, insn));
    return worst;
}

bool operandsMatch(const Form& form, const Instruction& insn) {
    for (int i = 0; i < form.operandCount; ++i)
        if (matchOperand(form, i, insn) != Closeness::Match) return false;
    return true;
}

Closeness matchForm(const Form& form, const Instruction& insn) {
    // An operand of a kind its pattern does not take makes matchOperand() answer
    // WrongKind, whatever else it would look at: decide that from the kinds alone.
    if (!kindsFit(form, insn.operandCount, operandKinds(insn))) return Closeness::WrongKind;
    return matchOperands(form, insn);
}

EncodeError errorFor(Closeness closest, std::uint8_t operandCount) {
    switch (closest) {
        case Closeness::ImmediateRange:
            return EncodeError::ImmediateTooBig;
        case Closeness::SizeUnknown:
            return EncodeError::SizeMissing;
        // "operands must be the same size" needs two operands; one of the wrong size is invalid.
        case Closeness::WrongSize:
            return operandCount >= 2 ? EncodeError::SizeMismatch : EncodeError::InvalidOperands;
        default:
            return EncodeError::InvalidOperands;
    }
}

}  // namespace ml::x86
