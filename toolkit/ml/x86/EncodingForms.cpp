// Lays out the bytes of each encoding form:
//
//   [9B] [segment] [67] [66] [F0/F2/F3]  opcode(1-3)  [ModR/M] [SIB] [disp] [imm] [imm]
//
// The prefixes come in the order GNU as writes them.
#include "EncodingForms.h"

#include "Addressing.h"

#include <cassert>

namespace ml::x86 {
namespace {

bool fitsInt8(std::int64_t value) { return value >= -128 && value <= 127; }

FixupKind absoluteFixup(std::uint8_t size) {
    return size == 4 ? FixupKind::Abs32 : size == 2 ? FixupKind::Abs16 : FixupKind::Abs8;
}

class ByteWriter {
public:
    explicit ByteWriter(Encoded& out) : out_(out) {}

    void byte(std::uint8_t value) {
        assert(out_.length < out_.bytes.size() && "instruction longer than 16 bytes");
        if (out_.length < out_.bytes.size()) out_.bytes[out_.length++] = value;
    }

    // `size` bytes of `value`, least significant first.
    void number(std::int64_t value, std::uint8_t size) {
        const auto bits = static_cast<std::uint64_t>(value);
        for (std::uint8_t i = 0; i < size; ++i) byte(static_cast<std::uint8_t>(bits >> (8 * i)));
    }

    // A field holding `value`; with a symbol the field also gets a fixup whose addend
    // is the value already stored (ELF REL).
    Field field(const Value& value, std::uint8_t size, FixupKind kind) {
        const Field f{out_.length, size};
        if (value.symbol != 0) out_.fixups.push_back({out_.length, kind, value.symbol, value.constant});
        number(value.constant, size);
        return f;
    }

    void prefixes(const Form& form, const Instruction& insn, std::uint8_t segmentPrefix, bool addressSize16) {
        if (form.wait) byte(0x9B);
        if (segmentPrefix != 0) byte(segmentPrefix);
        if (form.addressSize16 || addressSize16) {
            byte(0x67);
            out_.addressSizePrefix = true;
        }
        if (form.operandSize16) {
            byte(0x66);
            out_.operandSizePrefix = true;
        }
        switch (insn.prefix) {
            case Prefix::Lock:
                byte(0xF0);
                break;
            case Prefix::Rep:
            case Prefix::Repe:
                byte(0xF3);
                break;
            case Prefix::Repne:
                byte(0xF2);
                break;
            case Prefix::None:
                break;
        }
        out_.prefixLength = out_.length;
    }

    // The opcode bytes, with `addend` (a register number) added to the last one.
    void opcode(const Form& form, std::uint8_t addend = 0) {
        for (std::uint8_t i = 0; i < form.opcodeLength; ++i)
            byte(static_cast<std::uint8_t>(form.opcode[i] + (i + 1 == form.opcodeLength ? addend : 0)));
    }

    void modrm(std::uint8_t mod, std::uint8_t reg, std::uint8_t rm) {
        byte(static_cast<std::uint8_t>(mod << 6 | (reg & 7) << 3 | (rm & 7)));
    }

    void memory(const MemoryLayout& layout, std::uint8_t reg, const Value& disp) {
        modrm(layout.mod, reg, layout.rm);
        if (layout.hasSib) byte(layout.sib);
        if (layout.displacementSize != 0)
            out_.displacement = field(disp, layout.displacementSize, absoluteFixup(layout.displacementSize));
    }

    // The imm operands in order, sized by the form's ib/iw/id.
    void immediates(const Form& form, const Instruction& insn) {
        std::uint8_t written = 0;
        for (int i = 0; i < form.operandCount && written < form.immediateCount; ++i) {
            if (form.operands[i].kind != PatternKind::Imm) continue;
            const std::uint8_t size = form.immediateSize[written];
            const Field f = field(insn.operands[i].imm, size, absoluteFixup(size));
            (written == 0 ? out_.immediate : out_.immediate2) = f;
            ++written;
        }
    }

    std::uint8_t position() const { return out_.length; }

private:
    Encoded& out_;
};

// ModR/M forms share everything but the reg field.
EncodeError encodeModRM(const Form& form, const Instruction& insn, std::uint8_t reg, Encoded& out) {
    ByteWriter w(out);
    const Operand& rm = insn.operands[form.rmOperand];
    if (rm.kind == OperandKind::Reg) {
        w.prefixes(form, insn, 0, false);
        w.opcode(form);
        w.modrm(0b11, reg, rm.reg.number);
    } else {
        MemoryLayout layout;
        std::uint8_t segment = 0;
        if (const EncodeError e = layoutMemory(rm, layout); e != EncodeError::None) return e;
        if (const EncodeError e = segmentOverride(rm.segment, layout.defaultSegment, segment); e != EncodeError::None)
            return e;
        w.prefixes(form, insn, segment, layout.addressSize16);
        w.opcode(form);
        w.memory(layout, reg, rm.disp);
    }
    w.immediates(form, insn);
    return EncodeError::None;
}

}  // namespace

EncodeError encodeRaw(const Form& form, const Instruction& insn, Encoded& out) {
    ByteWriter w(out);
    w.prefixes(form, insn, 0, false);
    w.opcode(form);
    w.immediates(form, insn);
    return EncodeError::None;
}

EncodeError encodeAddReg(const Form& form, const Instruction& insn, Encoded& out) {
    ByteWriter w(out);
    w.prefixes(form, insn, 0, false);
    w.opcode(form, insn.operands[form.regOperand].reg.number);
    w.immediates(form, insn);
    return EncodeError::None;
}

EncodeError encodeModRMReg(const Form& form, const Instruction& insn, Encoded& out) {
    return encodeModRM(form, insn, insn.operands[form.regOperand].reg.number, out);
}

EncodeError encodeModRMDigit(const Form& form, const Instruction& insn, Encoded& out) {
    return encodeModRM(form, insn, form.digit, out);
}

// A target without a symbol is an offset in the current section: the displacement
// counts from the end of the instruction. Any other target gets a PC-relative fixup
// whose addend (stored in the field) is the target's addend minus the field size.
EncodeError encodeRelative(const Form& form, const Instruction& insn, std::uint32_t address, Encoded& out) {
    ByteWriter w(out);
    w.prefixes(form, insn, 0, false);
    w.opcode(form);
    const Value& target = insn.operands[0].imm;
    if (target.constant < INT32_MIN || target.constant > UINT32_MAX) return EncodeError::JumpTooFar;
    const std::uint8_t size = form.relativeSize;
    const std::uint8_t fieldOffset = w.position();
    if (target.symbol != 0) {
        const std::int64_t addend = target.constant - size;
        out.fixups.push_back({fieldOffset, size == 4 ? FixupKind::Pc32 : FixupKind::Pc8, target.symbol, addend});
        w.number(addend, size);
    } else {
        const std::int64_t end = static_cast<std::int64_t>(address) + fieldOffset + size;
        const std::int64_t displacement = target.constant - end;
        if (size == 1 && !fitsInt8(displacement)) return EncodeError::JumpTooFar;
        w.number(displacement, size);
    }
    out.displacement = {fieldOffset, size};
    return EncodeError::None;
}

EncodeError encodeMemoryOffset(const Form& form, const Instruction& insn, Encoded& out) {
    const int memoryIndex = form.operands[0].kind == PatternKind::MemOffset ? 0 : 1;
    const Operand& memory = insn.operands[memoryIndex];
    if (memory.disp.constant < INT32_MIN || memory.disp.constant > UINT32_MAX) return EncodeError::ImmediateTooBig;
    std::uint8_t segment = 0;
    if (const EncodeError e = segmentOverride(memory.segment, kSegmentDs, segment); e != EncodeError::None) return e;
    ByteWriter w(out);
    w.prefixes(form, insn, segment, false);
    w.opcode(form);
    out.displacement = w.field(memory.disp, 4, FixupKind::Abs32);
    return EncodeError::None;
}

// String instructions address DS:ESI and ES:EDI themselves; their memory operands
// only give the size and, for the DS:ESI operand, a segment override.
EncodeError encodeImplicitMemory(const Form& form, const Instruction& insn, Encoded& out) {
    std::uint8_t segment = 0;
    for (int i = 0; i < form.operandCount; ++i) {
        if (form.operands[i].kind != PatternKind::StringSource) continue;
        if (const EncodeError e = segmentOverride(insn.operands[i].segment, kSegmentDs, segment);
            e != EncodeError::None)
            return e;
    }
    ByteWriter w(out);
    w.prefixes(form, insn, segment, false);
    w.opcode(form);
    return EncodeError::None;
}

}  // namespace ml::x86
