// Instructions: operands evaluated into the encoder's form, MASM's jump sizing, the
// encoded bytes written with their relocations, and the listing's code column.
#include <algorithm>
#include <array>

#include "InstructionWriter.h"
#include "Text.h"
#include "WordIndex.h"

namespace ml {

enum class BranchKind : std::uint8_t { None, Jump, ShortOnly, Call };

namespace {

struct BranchMnemonic {
    std::string_view name;
    BranchKind kind;
};

// mnemonic (sorted)  kind: Jump may be short or near; ShortOnly has only a rel8 form
// clang-format off
constexpr std::array kBranches = std::to_array<BranchMnemonic>({
    {"call", BranchKind::Call},       {"ja", BranchKind::Jump},          {"jae", BranchKind::Jump},
    {"jb", BranchKind::Jump},         {"jbe", BranchKind::Jump},         {"jc", BranchKind::Jump},
    {"jcxz", BranchKind::ShortOnly},  {"je", BranchKind::Jump},          {"jecxz", BranchKind::ShortOnly},
    {"jg", BranchKind::Jump},         {"jge", BranchKind::Jump},         {"jl", BranchKind::Jump},
    {"jle", BranchKind::Jump},        {"jmp", BranchKind::Jump},         {"jna", BranchKind::Jump},
    {"jnae", BranchKind::Jump},       {"jnb", BranchKind::Jump},         {"jnbe", BranchKind::Jump},
    {"jnc", BranchKind::Jump},        {"jne", BranchKind::Jump},         {"jng", BranchKind::Jump},
    {"jnge", BranchKind::Jump},       {"jnl", BranchKind::Jump},         {"jnle", BranchKind::Jump},
    {"jno", BranchKind::Jump},        {"jnp", BranchKind::Jump},         {"jns", BranchKind::Jump},
    {"jnz", BranchKind::Jump},        {"jo", BranchKind::Jump},          {"jp", BranchKind::Jump},
    {"jpe", BranchKind::Jump},        {"jpo", BranchKind::Jump},         {"js", BranchKind::Jump},
    {"jz", BranchKind::Jump},         {"loop", BranchKind::ShortOnly},   {"loopd", BranchKind::ShortOnly},
    {"loope", BranchKind::ShortOnly}, {"looped", BranchKind::ShortOnly}, {"loopne", BranchKind::ShortOnly},
    {"loopned", BranchKind::ShortOnly}, {"loopnz", BranchKind::ShortOnly}, {"loopz", BranchKind::ShortOnly},
});
// clang-format on

BranchKind branchKind(std::string_view mnemonic) {
    if (mnemonic.empty() ||
        (toLowerAscii(mnemonic[0]) != 'j' && toLowerAscii(mnemonic[0]) != 'l' && toLowerAscii(mnemonic[0]) != 'c'))
        return BranchKind::None;
    static const WordIndex index(kBranches);
    const BranchMnemonic* b = index.find(mnemonic);
    return b ? b->kind : BranchKind::None;
}

struct PrefixWord {
    std::string_view name;
    x86::Prefix prefix;
};

constexpr PrefixWord kPrefixes[] = {
    {"rep", x86::Prefix::Rep},     {"repe", x86::Prefix::Repe},   {"repz", x86::Prefix::Repe},
    {"repne", x86::Prefix::Repne}, {"repnz", x86::Prefix::Repne}, {"lock", x86::Prefix::Lock},
};

std::optional<x86::Prefix> prefixOf(const Token& t) {
    if (t.kind != TokenKind::Identifier || t.text.size() > 5) return std::nullopt;
    for (const PrefixWord& p : kPrefixes)
        if (equalsNoCase(t.text, p.name)) return p.prefix;
    return std::nullopt;
}

// A processor directive sets the processor, the coprocessor or both; .MMX, .XMM and
// .K3D enable nothing the encoder knows.
struct ProcessorDirective {
    std::string_view name;
    bool setsCpu;
    x86::Cpu cpu;
    bool privileged;
    bool setsFpu;
    x86::Fpu fpu;
};

using enum x86::Cpu;
using enum x86::Fpu;

// directive  sets cpu  cpu    P      sets fpu  fpu (sorted by name)
// clang-format off
constexpr std::array kProcessorDirectives = std::to_array<ProcessorDirective>({
    {".186", true, I186, false, true, I8087},   {".286", true, I286, false, true, I287},
    {".286p", true, I286, true, true, I287},    {".287", false, I8086, false, true, I287},
    {".386", true, I386, false, true, I387},    {".386p", true, I386, true, true, I387},
    {".387", false, I8086, false, true, I387},  {".486", true, I486, false, true, I387},
    {".486p", true, I486, true, true, I387},    {".586", true, P5, false, true, I387},
    {".586p", true, P5, true, true, I387},      {".686", true, P6, false, true, I387},
    {".686p", true, P6, true, true, I387},      {".8086", true, I8086, false, true, I8087},
    {".8087", false, I8086, false, true, I8087}, {".k3d", false, I8086, false, false, None},
    {".mmx", false, I8086, false, false, None}, {".no87", false, I8086, false, true, None},
    {".xmm", false, I8086, false, false, None},
});
// clang-format on

Diag diagnosticOf(x86::EncodeError e) {
    switch (e) {
        case x86::EncodeError::NotInCpuMode:
            return Diag::NotInCpuMode;
        case x86::EncodeError::UnknownMnemonic:
            return Diag::SyntaxError;
        case x86::EncodeError::SizeMismatch:
            return Diag::SizeMismatch;
        case x86::EncodeError::SizeMissing:
            return Diag::SizeMissing;
        case x86::EncodeError::ImmediateTooBig:
            return Diag::ValueTooLarge;
        case x86::EncodeError::JumpTooFar:
            return Diag::JumpTooFar;
        default:
            return Diag::InvalidOperands;
    }
}

// Operand token groups split at top-level commas; `count` may exceed the array (too
// many operands) but only the first groups are kept.
struct OperandGroups {
    std::array<std::span<const Token>, 3> groups;
    std::size_t count = 0;
};

OperandGroups splitOperands(std::span<const Token> t) {
    OperandGroups out;
    if (t.empty()) return out;
    forEachPart(t, ",", false, [&](std::span<const Token> g) {
        if (out.count < out.groups.size()) out.groups[out.count] = g;
        ++out.count;
    });
    return out;
}

}  // namespace

void InstructionWriter::beginPass() {
    // Until a processor directive, MASM assembles for the 8086 and its 8087.
    cpuMode_ = x86::CpuMode{x86::Cpu::I8086, x86::Fpu::I8087, false};
    branchIndex_ = 0;
}

bool InstructionWriter::processorDirective(std::string_view word) {
    static const WordIndex index(kProcessorDirectives);
    const ProcessorDirective* d = index.find(word);
    if (!d) return false;
    if (d->setsCpu) {
        cpuMode_.cpu = d->cpu;
        cpuMode_.privileged = d->privileged;
    }
    if (d->setsFpu) cpuMode_.fpu = d->fpu;
    return true;
}

void InstructionWriter::assemble(Tokens t, x86::Mnemonic first) {
    if (!ctx_.requireSection()) return;
    x86::Instruction insn;
    std::size_t i = 0;
    if (auto p = prefixOf(t[0])) {
        insn.prefix = *p;
        ++i;
        if (i == t.size()) {  // a prefix alone on its line
            insn.mnemonic = t[0].text;
            insn.known = first;
            insn.prefix = x86::Prefix::None;
            emitInstruction(insn, {});
            return;
        }
        first = {};  // the mnemonic follows the prefix
    }
    const Token& mnemonic = t[i++];
    if (!first && mnemonic.kind == TokenKind::Identifier) first = x86::lookupMnemonic(mnemonic.text);
    if (!first) {
        ctx_.error(Diag::UnknownDirective, std::string(mnemonic.text));
        return;
    }
    insn.mnemonic = mnemonic.text;
    insn.known = first;
    OperandGroups operands = splitOperands(t.subspan(i));
    if (operands.count > 3) {
        ctx_.error(Diag::TooManyOperands);
        return;
    }
    std::array<ExprValue, 3> values;
    for (std::size_t k = 0; k < operands.count; ++k) {
        if (operands.groups[k].empty()) {
            ctx_.error(Diag::ExpressionExpected, std::string(mnemonic.text));
            return;
        }
        if (!ctx_.evaluateTokens(operands.groups[k], values[k])) return;
    }
    emitInstruction(insn, std::span<const ExprValue>(values.data(), operands.count));
}

bool InstructionWriter::toOperand(const ExprValue& v, x86::Operand& out, bool branchTarget) {
    out = x86::Operand{};
    switch (v.kind) {
        case ValueKind::Register:
            out.kind = x86::OperandKind::Reg;
            out.reg = v.reg;
            out.size = static_cast<std::uint8_t>(registerSize(v.reg));
            return true;
        case ValueKind::Constant:
        case ValueKind::String:
        case ValueKind::TypeName:
            out.kind = x86::OperandKind::Imm;
            out.imm = x86::Value{v.kind == ValueKind::String ? stringValue(v.text) : v.number, 0};
            // A constant stays an immediate inside brackets ([1000h], [K]), as in MASM:
            // only a segment override (ds:[1000h]) makes it an address.
            if (v.explicitType) out.size = static_cast<std::uint8_t>(std::min<std::uint32_t>(v.type.size, 255));
            return true;
        case ValueKind::Real:
            ctx_.error(Diag::RealNotAllowed);
            return false;
        case ValueKind::Address:
            if (v.isOffset || branchTarget) {
                out.kind = x86::OperandKind::Imm;
                out.imm = v.unresolved ? x86::Value{0, 0} : ctx_.relocatable(v.symbol, v.number);
                return true;
            }
            [[fallthrough]];
        case ValueKind::Memory: {
            out.kind = x86::OperandKind::Mem;
            out.base = v.base;
            out.index = v.index;
            out.scale = v.scale;
            // esp cannot index: [esp*1 + ebx] is [esp + ebx]
            if (out.index.cls == x86::RegClass::Gpr32 && out.index.number == 4 && out.scale == 1 &&
                !(out.base.cls == x86::RegClass::Gpr32 && out.base.number == 4))
                std::swap(out.base, out.index);
            out.segment = v.segment;
            out.disp = v.unresolved && !v.symbol ? x86::Value{v.number, 0} : ctx_.relocatable(v.symbol, v.number);
            if (!v.type.isCode || v.explicitType)
                out.size = static_cast<std::uint8_t>(std::min<std::uint32_t>(v.type.size, 255));
            out.isFloat = v.type.isFloat;
            return true;
        }
    }
    return false;
}

x86::BranchForm InstructionWriter::chooseBranchForm(BranchKind kind, const ExprValue& target, bool& sizable) {
    sizable = false;
    if (kind == BranchKind::ShortOnly) return x86::BranchForm::Short;
    if (kind != BranchKind::Jump) return x86::BranchForm::Auto;
    if (target.isShort) return x86::BranchForm::Short;
    // A distance written out is kept: jmp NEAR PTR done takes the rel32 form even
    // when done is close (MASM sizes only the jumps that give none).
    if (target.explicitType && target.type.isCode && !target.type.isFar) return x86::BranchForm::Near;
    sizable = true;
    std::size_t slot = branchIndex_++;
    if (slot >= nearBranches_.size()) nearBranches_.resize(slot + 1, 0);
    if (nearBranches_[slot]) return x86::BranchForm::Near;
    if (target.unresolved) return x86::BranchForm::Short;  // optimistic until the target is known
    const Symbol* s = target.symbol;
    if (!s || s->section != ctx_.out.here().section || !s->defined ||
        (s->kind != SymbolKind::Label && s->kind != SymbolKind::Procedure))
        return x86::BranchForm::Near;
    std::int64_t distance = s->value + target.number - (std::int64_t(ctx_.out.here().offset) + 2);
    if (distance >= -128 && distance <= 127) return x86::BranchForm::Short;
    nearBranches_[slot] = 1;  // once near, always near: the passes converge
    return x86::BranchForm::Near;
}

bool InstructionWriter::emitInstruction(x86::Instruction& insn, std::span<const ExprValue> values,
                                        std::string_view generatedText) {
    BranchKind branch = branchKind(insn.mnemonic);
    insn.operandCount = static_cast<std::uint8_t>(values.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
        const ExprValue& v = values[k];
        bool direct = false;
        if (k == 0 && branch != BranchKind::None && v.kind == ValueKind::Address && !v.bracketed) {
            const Symbol* s = v.symbol;
            bool codeSymbol = !s || v.type.isCode || v.unresolved || s->kind == SymbolKind::Procedure ||
                              s->kind == SymbolKind::Prototype || s->type.size == 0;
            direct = v.isOffset || codeSymbol;
        }
        if (!toOperand(v, insn.operands[k], direct)) return false;
        if (direct) {
            bool sizable = false;
            insn.branch = chooseBranchForm(branch, v, sizable);
            // A target in this section is passed as its offset, without relocation.
            const Symbol* s = v.symbol;
            if (v.unresolved) {
                insn.operands[k].imm = x86::Value{ctx_.out.here().offset, 0};
            } else if (s && s->defined && s->section == ctx_.out.here().section &&
                       (s->kind == SymbolKind::Label || s->kind == SymbolKind::Procedure)) {
                insn.operands[k].imm = x86::Value{s->value + v.number, 0};
            }
        }
    }
    insn.mode = cpuMode_;
    x86::Encoded& enc = encoded_;
    std::uint32_t address = ctx_.out.here().offset;
    x86::EncodeError err = x86::encode(insn, address, enc);
    if (err != x86::EncodeError::None) {
        const bool named = err == x86::EncodeError::UnknownMnemonic || err == x86::EncodeError::NotInCpuMode;
        ctx_.error(diagnosticOf(err), named ? std::string(insn.mnemonic) : std::string());
        return false;
    }
    ctx_.out.instruction(enc, generatedText);
    trackFrame(insn);
    return true;
}

bool InstructionWriter::encodeSimple(std::string_view mnemonic, std::initializer_list<x86::Operand> operands,
                                     std::string_view listText) {
    if (!ctx_.requireSection()) return false;
    x86::Instruction insn;
    insn.mnemonic = mnemonic;
    std::size_t k = 0;
    for (const x86::Operand& op : operands) insn.operands[k++] = op;
    insn.operandCount = static_cast<std::uint8_t>(k);
    insn.mode = cpuMode_;
    x86::Encoded& enc = encoded_;
    std::uint32_t address = ctx_.out.here().offset;
    x86::EncodeError err = x86::encode(insn, address, enc);
    if (err != x86::EncodeError::None) {
        ctx_.error(diagnosticOf(err), std::string(mnemonic));
        return false;
    }
    ctx_.out.instruction(enc, listText);
    trackFrame(insn);
    return true;
}

void InstructionWriter::trackFrame(const x86::Instruction& insn) {
    if (ctx_.options.debugInfo && ctx_.frames.active() &&
        ctx_.frames.ranges().back().section == ctx_.out.here().section)
        ctx_.frames.instruction(insn, ctx_.out.here().offset);
}

}  // namespace ml
