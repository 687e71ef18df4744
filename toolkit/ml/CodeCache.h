// The bytes of first-pass instructions that encode the same in every pass, kept by
// line index so that later passes copy them instead of assembling the line again.
// With a listing, an entry also keeps where the listing finds the instruction's
// numbers (prefixes, displacement, immediates), so that its code column can be shown.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "x86/Encoder.h"

namespace ml {

// The parts of x86::Encoded that the listing's code column reads besides the bytes.
struct CodeLayout {
    std::uint8_t prefixLength = 0;
    x86::Field displacement, immediate, immediate2;
};

struct CachedCode {
    std::span<const std::uint8_t> bytes;  // empty when the line is not cached
    std::optional<CodeLayout> layout;
};

class CodeCache {
public:
    // Keeps `bytes` (1 to 15 of them) for line `line`, replacing what it had.
    void store(std::size_t line, std::span<const std::uint8_t> bytes, const CodeLayout* layout = nullptr);
    CachedCode find(std::size_t line) const;

private:
    // Per line: offset into bytes_ shifted left by 5, a bit for a stored layout, and
    // the length in the low 4 bits; 0 when nothing is kept. Four bytes a line, and the
    // instruction bytes (after their layout, if any) once.
    std::vector<std::uint32_t> where_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace ml
