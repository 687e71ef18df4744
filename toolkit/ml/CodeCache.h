// The bytes of first-pass instructions that encode the same in every pass, kept by
// line index so that later passes copy them instead of assembling the line again.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace ml {

class CodeCache {
public:
    // Keeps `bytes` (1 to 15 of them) for line `line`, replacing what it had.
    void store(std::size_t line, std::span<const std::uint8_t> bytes);
    // The bytes kept for `line`; empty when there are none.
    std::span<const std::uint8_t> find(std::size_t line) const;

private:
    // Per line: offset into bytes_ shifted left by 4, or'ed with the length; 0 when
    // nothing is kept. Four bytes a line, and the instruction bytes once.
    std::vector<std::uint32_t> where_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace ml
