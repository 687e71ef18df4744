// The stack-depth tracker behind the call frame information: pushes and pops, esp
// arithmetic with constants, and the ebp frame of PROC prologues (push ebp / mov ebp,
// esp / leave). Other writes to esp stop the tracking of that procedure.
#include "FrameTracker.h"

#include <array>
#include <optional>

#include "Text.h"
#include "WordIndex.h"

namespace ml {

namespace {

bool isReg(const x86::Operand& o, x86::RegClass cls, std::uint8_t number) {
    return o.kind == x86::OperandKind::Reg && o.reg.cls == cls && o.reg.number == number;
}
bool isEsp(const x86::Operand& o) { return isReg(o, x86::RegClass::Gpr32, 4); }
bool isEbp(const x86::Operand& o) { return isReg(o, x86::RegClass::Gpr32, 5); }

// The instructions that move the stack pointer by themselves.
enum class StackOp : std::uint8_t { Push, PushWord, Pop, PushAll, PopAll, PushFlags, PopFlags, Enter, Leave, Other };

struct StackMnemonic {
    std::string_view name;
    StackOp op;
    std::int32_t bytes;  // PushAll ... PopFlags: the bytes moved
};

// clang-format off
constexpr std::array kStackMnemonics = std::to_array<StackMnemonic>({
    {"enter", StackOp::Enter, 0},      {"leave", StackOp::Leave, 0},      {"pop", StackOp::Pop, 0},
    {"popa", StackOp::PopAll, 16},     {"popad", StackOp::PopAll, 32},    {"popf", StackOp::PopFlags, 2},
    {"popfd", StackOp::PopFlags, 4},   {"push", StackOp::Push, 0},        {"pusha", StackOp::PushAll, 16},
    {"pushad", StackOp::PushAll, 32},  {"pushd", StackOp::Push, 0},       {"pushf", StackOp::PushFlags, 2},
    {"pushfd", StackOp::PushFlags, 4}, {"pushw", StackOp::PushWord, 0},
});
// clang-format on

const StackMnemonic* stackMnemonic(std::string_view m) {
    static const WordIndex index(kStackMnemonics);
    return index.find(m);
}

std::int32_t pushSize(const x86::Instruction& insn, StackOp op) {
    const x86::Operand& o = insn.operands[0];
    if (op == StackOp::PushWord) return 2;
    if (o.kind == x86::OperandKind::Reg) return o.reg.cls == x86::RegClass::Gpr16 ? 2 : 4;
    if (o.kind == x86::OperandKind::Mem) return o.size == 2 ? 2 : 4;
    return 4;
}

}  // namespace

void FrameTracker::begin(std::int32_t section, std::uint32_t offset) {
    if (open_) end(offset);
    FrameRange r;
    r.section = section;
    r.start = offset;
    ranges_.push_back(r);
    open_ = true;
    lost_ = false;
    depth_ = 0;
    frameDepth_ = 0;
    ebpBased_ = false;
    ebpSaved_ = false;
    addRow(offset);
}

void FrameTracker::end(std::uint32_t offset) {
    if (!open_) return;
    ranges_.back().end = offset;
    open_ = false;
}

void FrameTracker::addRow(std::uint32_t offset) {
    CfaRow row{offset, static_cast<std::int32_t>((ebpBased_ ? frameDepth_ : depth_) + 4), ebpBased_, ebpSaved_};
    auto& rows = ranges_.back().rows;
    if (!rows.empty() && rows.back().offset == offset) rows.pop_back();
    if (!rows.empty() && rows.back().cfaOffset == row.cfaOffset && rows.back().ebpBased == row.ebpBased &&
        rows.back().ebpSaved == row.ebpSaved)
        return;
    rows.push_back(row);
}

void FrameTracker::instruction(const x86::Instruction& insn, std::uint32_t endOffset) {
    if (!open_ || lost_) return;
    std::string_view m = insn.mnemonic;
    const x86::Operand& a = insn.operands[0];
    const x86::Operand& b = insn.operands[1];
    auto constant = [](const x86::Operand& o) -> std::optional<std::int64_t> {
        if (o.kind != x86::OperandKind::Imm || o.imm.symbol) return std::nullopt;
        return o.imm.constant;
    };
    const StackMnemonic* stack = stackMnemonic(m);
    const StackOp op = stack ? stack->op : StackOp::Other;
    if (op == StackOp::Push || op == StackOp::PushWord) {
        if (isEbp(a) && depth_ == 0) ebpSaved_ = true;
        depth_ += pushSize(insn, op);
    } else if (op == StackOp::Pop) {
        depth_ -= (a.kind == x86::OperandKind::Reg && a.reg.cls == x86::RegClass::Gpr16) || a.size == 2 ? 2 : 4;
        if (isEbp(a)) ebpBased_ = false;
        if (isEbp(a) && depth_ == 0) ebpSaved_ = false;
    } else if (op == StackOp::PushAll || op == StackOp::PushFlags) {
        depth_ += stack->bytes;
    } else if (op == StackOp::PopAll || op == StackOp::PopFlags) {
        depth_ -= stack->bytes;
    } else if (op == StackOp::Enter) {
        if (depth_ == 0) ebpSaved_ = true;
        depth_ += 4;
        frameDepth_ = depth_;
        ebpBased_ = true;
        depth_ += static_cast<std::uint32_t>(constant(a).value_or(0));
    } else if (op == StackOp::Leave) {
        depth_ = frameDepth_ - 4;
        ebpBased_ = false;
        if (depth_ == 0) ebpSaved_ = false;
    } else if (equalsNoCase(m, "mov") && isEbp(a) && isEsp(b)) {
        frameDepth_ = depth_;
        ebpBased_ = true;
    } else if (insn.operandCount >= 1 && isEsp(a) && !equalsNoCase(m, "cmp") && !equalsNoCase(m, "test")) {
        auto n = constant(b);
        if ((equalsNoCase(m, "sub") || equalsNoCase(m, "add")) && n) {
            const auto amount = static_cast<std::uint32_t>(*n);
            depth_ = equalsNoCase(m, "sub") ? depth_ + amount : depth_ - amount;
        } else if (!ebpBased_) {
            lost_ = true;  // esp now holds something we cannot follow
            return;
        }
    } else if (insn.operandCount >= 1 && isEbp(a) && ebpBased_ && !equalsNoCase(m, "cmp") && !equalsNoCase(m, "test")) {
        lost_ = true;  // the frame register was overwritten
        return;
    }
    addRow(endOffset);
}

}  // namespace ml
