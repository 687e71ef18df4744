// Follows the stack pointer through the instructions of each procedure so that the
// debug information can tell a debugger where the return address is at every
// instruction (DWARF call frame information): stepping over a CALL then works.
#pragma once

#include <cstdint>
#include <vector>

#include "x86/Encoder.h"

namespace ml {

// From `offset` on, the caller's stack pointer (the CFA) is esp + cfaOffset, or
// ebp + cfaOffset once the procedure has set up its frame with mov ebp, esp.
struct CfaRow {
    std::uint32_t offset = 0;
    std::int32_t cfaOffset = 4;
    bool ebpBased = false;
    bool ebpSaved = false;  // the caller's ebp is stored at CFA - 8
};

struct FrameRange {
    std::int32_t section = -1;
    std::uint32_t start = 0, end = 0;
    std::vector<CfaRow> rows;  // the first row is at `start`
};

class FrameTracker {
public:
    // A procedure (or a public code label) starts at `offset`: esp points at the return address.
    void begin(std::int32_t section, std::uint32_t offset);
    void end(std::uint32_t offset);
    bool active() const { return open_; }
    // Updates the rule after an instruction that ends at `endOffset`.
    void instruction(const x86::Instruction& insn, std::uint32_t endOffset);
    void reset() {
        ranges_.clear();
        open_ = false;
    }
    const std::vector<FrameRange>& ranges() const { return ranges_; }

private:
    void addRow(std::uint32_t offset);
    std::vector<FrameRange> ranges_;
    bool open_ = false;
    bool lost_ = false;  // esp changed in a way the tracker cannot follow
    // Counted modulo 2^32, as esp itself wraps: a source may add any constant to esp.
    std::uint32_t depth_ = 0;       // bytes pushed since the procedure started
    std::uint32_t frameDepth_ = 0;  // depth when mov ebp, esp ran
    bool ebpBased_ = false;
    bool ebpSaved_ = false;
};

}  // namespace ml
