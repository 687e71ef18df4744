// Chooses mod, rm, SIB and the displacement size of memory operands.
#include "Addressing.h"

#include <array>
#include <utility>

namespace ml::x86 {
namespace {

constexpr std::uint8_t kEsp = 4;
constexpr std::uint8_t kEbp = 5;
constexpr std::uint8_t kRmSib = 0b100;
constexpr std::uint8_t kRmDisp32 = 0b101;
constexpr std::uint8_t kSibNoIndex = 0b100;
constexpr std::uint8_t kSibNoBase = 0b101;

// 16-bit registers by number: bx = 3, bp = 5, si = 6, di = 7.
constexpr std::uint8_t kBx = 3, kBp = 5, kSi = 6, kDi = 7;
constexpr std::uint8_t kRm16Disp16 = 0b110;

bool fitsInt8(std::int64_t value) { return value >= -128 && value <= 127; }

bool hasRegister(const Register& r) { return r.cls != RegClass::None; }

// Chooses mod and the displacement size once the base is known.
void chooseDisplacement(const Value& disp, std::int64_t value, bool baseNeedsDisplacement, std::uint8_t fullSize,
                        MemoryLayout& layout) {
    if (disp.symbol != 0) {
        layout.mod = 0b10;
        layout.displacementSize = fullSize;
    } else if (value == 0 && !baseNeedsDisplacement) {
        layout.mod = 0b00;
        layout.displacementSize = 0;
    } else if (fitsInt8(value)) {
        layout.mod = 0b01;
        layout.displacementSize = 1;
    } else {
        layout.mod = 0b10;
        layout.displacementSize = fullSize;
    }
}

std::uint8_t scaleBits(std::uint8_t scale) {
    switch (scale) {
        case 1:
            return 0;
        case 2:
            return 1;
        case 4:
            return 2;
        case 8:
            return 3;
        default:
            return 0xFF;
    }
}

EncodeError layout32(Register base, Register index, std::uint8_t scale, const Value& disp, MemoryLayout& layout) {
    if (disp.constant < INT32_MIN || disp.constant > UINT32_MAX) return EncodeError::ImmediateTooBig;
    // Displacements wrap at 32 bits: [ebx+0FFFFFFFFh] is [ebx-1].
    const std::int64_t value = static_cast<std::int32_t>(static_cast<std::uint32_t>(disp.constant));
    if (hasRegister(index) && index.number == kEsp) {
        if (scale != 1 || !hasRegister(base) || base.number == kEsp) return EncodeError::InvalidOperands;
        std::swap(base, index);
    }
    const std::uint8_t scaleField = hasRegister(index) ? scaleBits(scale) : 0;
    if (scaleField == 0xFF) return EncodeError::InvalidOperands;

    if (!hasRegister(base) && !hasRegister(index)) {
        layout.mod = 0b00;
        layout.rm = kRmDisp32;
        layout.displacementSize = 4;
    } else if (!hasRegister(base)) {
        layout.mod = 0b00;
        layout.rm = kRmSib;
        layout.hasSib = true;
        layout.sib = static_cast<std::uint8_t>(scaleField << 6 | index.number << 3 | kSibNoBase);
        layout.displacementSize = 4;
    } else {
        if (hasRegister(index) || base.number == kEsp) {
            layout.rm = kRmSib;
            layout.hasSib = true;
            const std::uint8_t indexField = hasRegister(index) ? index.number : kSibNoIndex;
            layout.sib = static_cast<std::uint8_t>(scaleField << 6 | indexField << 3 | base.number);
        } else {
            layout.rm = base.number;
        }
        chooseDisplacement(disp, value, base.number == kEbp, 4, layout);
        if (base.number == kEsp || base.number == kEbp) layout.defaultSegment = kSegmentSs;
    }
    return EncodeError::None;
}

//   rm:  000 [bx+si]  001 [bx+di]  010 [bp+si]  011 [bp+di]
//        100 [si]     101 [di]     110 [bp] (mod 00: disp16)  111 [bx]
EncodeError layout16(const Register& base, const Register& index, std::uint8_t scale, const Value& disp,
                     MemoryLayout& layout) {
    if (disp.constant < INT16_MIN || disp.constant > UINT16_MAX) return EncodeError::ImmediateTooBig;
    if (hasRegister(index) && scale != 1) return EncodeError::InvalidOperands;
    Register pointer, indexReg;  // bx or bp, si or di
    for (const Register& r : {base, index}) {
        if (!hasRegister(r)) continue;
        Register& slot = (r.number == kBx || r.number == kBp) ? pointer : indexReg;
        if (hasRegister(slot) || (&slot == &indexReg && r.number != kSi && r.number != kDi))
            return EncodeError::InvalidOperands;
        slot = r;
    }
    layout.addressSize16 = true;
    const std::int64_t value = static_cast<std::int16_t>(static_cast<std::uint16_t>(disp.constant));
    if (!hasRegister(pointer) && !hasRegister(indexReg)) {
        layout.mod = 0b00;
        layout.rm = kRm16Disp16;
        layout.displacementSize = 2;
        return EncodeError::None;
    }
    const bool bp = hasRegister(pointer) && pointer.number == kBp;
    if (hasRegister(pointer) && hasRegister(indexReg)) {
        layout.rm = static_cast<std::uint8_t>((bp ? 0b010 : 0b000) | (indexReg.number == kDi ? 1 : 0));
    } else if (hasRegister(indexReg)) {
        layout.rm = indexReg.number == kSi ? 0b100 : 0b101;
    } else {
        layout.rm = bp ? 0b110 : 0b111;
    }
    chooseDisplacement(disp, value, bp && !hasRegister(indexReg), 2, layout);
    if (bp) layout.defaultSegment = kSegmentSs;
    return EncodeError::None;
}

}  // namespace

EncodeError layoutMemory(const Operand& memory, MemoryLayout& layout) {
    layout = MemoryLayout{};
    const RegClass baseClass = memory.base.cls;
    const RegClass indexClass = memory.index.cls;
    const auto is = [&](RegClass cls) {
        return (baseClass == cls || baseClass == RegClass::None) && (indexClass == cls || indexClass == RegClass::None);
    };
    if (memory.base.number > 7 || memory.index.number > 7) return EncodeError::InvalidOperands;
    if (is(RegClass::Gpr32)) return layout32(memory.base, memory.index, memory.scale, memory.disp, layout);
    if (is(RegClass::Gpr16)) return layout16(memory.base, memory.index, memory.scale, memory.disp, layout);
    return EncodeError::InvalidOperands;
}

EncodeError segmentOverride(const Register& segment, std::uint8_t defaultSegment, std::uint8_t& prefix) {
    static constexpr std::array<std::uint8_t, 6> kPrefixes = {0x26, 0x2E, 0x36, 0x3E, 0x64, 0x65};
    prefix = 0;
    if (segment.cls == RegClass::None) return EncodeError::None;
    if (segment.cls != RegClass::Segment || segment.number >= kPrefixes.size()) return EncodeError::InvalidOperands;
    if (segment.number != defaultSegment) prefix = kPrefixes[segment.number];
    return EncodeError::None;
}

}  // namespace ml::x86
