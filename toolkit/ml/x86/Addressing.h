// The ModR/M, SIB and displacement layout of a memory operand, for 32-bit addressing
// and for the 16-bit [bx+si] forms, chosen as GNU as chooses them.
#pragma once

#include "Encoder.h"

#include <cstdint>

namespace ml::x86 {

constexpr std::uint8_t kSegmentEs = 0;
constexpr std::uint8_t kSegmentSs = 2;
constexpr std::uint8_t kSegmentDs = 3;

//   ModR/M   7 6 | 5 4 3 | 2 1 0        SIB   7 6   | 5 4 3 | 2 1 0
//            mod |  reg  |  rm                scale | index | base
//
//   mod 00: [rm]   (rm 101: disp32 only;   rm 100: SIB follows)
//   mod 01: [rm] + disp8
//   mod 10: [rm] + disp32
//   mod 11: rm is a register
struct MemoryLayout {
    std::uint8_t mod = 0;
    std::uint8_t rm = 0;
    bool hasSib = false;
    std::uint8_t sib = 0;
    std::uint8_t displacementSize = 0;         // 0, 1, 2 or 4 bytes
    bool addressSize16 = false;                // 16-bit addressing: 67h prefix
    std::uint8_t defaultSegment = kSegmentDs;  // SS when the base is EBP, ESP or BP
};

// Lays out `memory` (base, index, scale, displacement). A displacement with a symbol
// always takes the full size. EBP and ESP bases, and an index without a base, take
// the special forms of the manuals; an index of ESP with scale 1 is swapped with the
// base, as MASM does.
EncodeError layoutMemory(const Operand& memory, MemoryLayout& layout);

// The segment-override prefix byte for `segment`, or 0 when none is written or it
// names `defaultSegment` (GNU as drops a redundant override).
EncodeError segmentOverride(const Register& segment, std::uint8_t defaultSegment, std::uint8_t& prefix);

}  // namespace ml::x86
