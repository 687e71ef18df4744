// Instructions: operands evaluated into the encoder's form, MASM's jump sizing, the
// processor directives that choose what the encoder accepts, and the encoded
// instruction handed to the emitter.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "PassContext.h"
#include "x86/Encoder.h"

namespace ml {

// Whether and how an instruction branches to a label.
enum class BranchKind : std::uint8_t;

class InstructionWriter {
public:
    explicit InstructionWriter(PassContext& ctx) : ctx_(ctx) {}

    void beginPass();
    // .386, .686P, .387, .NO87 ...: false for another word.
    bool processorDirective(std::string_view word);
    // A statement that is an instruction; `first` is the mnemonic of tokens[0] when
    // the caller looked it up already.
    void assemble(Tokens tokens, x86::Mnemonic first = {});
    bool toOperand(const ExprValue& v, x86::Operand& out, bool branchTarget);
    // `generatedText` lists the instruction as one the assembler wrote (prefixed '*').
    bool emitInstruction(x86::Instruction& insn, std::span<const ExprValue> values,
                         std::string_view generatedText = {});
    // An instruction the assembler writes itself, listed as `listText`.
    bool encodeSimple(std::string_view mnemonic, std::initializer_list<x86::Operand> operands,
                      std::string_view listText);
    // The instruction encoded last (its fixups and the layout the listing reads).
    const x86::Encoded& lastEncoded() const { return encoded_; }
    // The processor the directives so far allow (.MODEL FLAT needs a .386 or later).
    x86::Cpu cpu() const { return cpuMode_.cpu; }

private:
    x86::BranchForm chooseBranchForm(BranchKind kind, const ExprValue& target, bool& sizable);
    void trackFrame(const x86::Instruction& insn);

    PassContext& ctx_;
    // What the processor directives enable; until the first one, the 8086 and 8087.
    x86::CpuMode cpuMode_;
    std::vector<std::uint8_t> nearBranches_;  // per branch, in pass order: grown to near
    std::size_t branchIndex_ = 0;
    x86::Encoded encoded_;  // reused: keeps its fixup storage between instructions
};

}  // namespace ml
