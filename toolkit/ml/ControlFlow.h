// The high-level control flow directives .IF/.ELSEIF/.ELSE/.ENDIF, .WHILE/.ENDW,
// .REPEAT/.UNTIL/.UNTILCXZ, .BREAK and .CONTINUE, turned into compares and jumps
// to hidden labels (@C0000 ...).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ControlBlock.h"
#include "InstructionWriter.h"
#include "PassContext.h"

namespace ml {

class ControlFlow {
public:
    ControlFlow(PassContext& ctx, InstructionWriter& insns) : ctx_(ctx), insns_(insns) {}

    void beginPass();

    // One handler per directive; `directive` is the word as written.
    void controlIf(std::string_view directive, Tokens rest);
    void controlElse(std::string_view directive, Tokens rest);
    void controlEndIf(std::string_view directive, Tokens rest);
    void controlWhile(std::string_view directive, Tokens rest);
    void controlEndWhile(std::string_view directive, Tokens rest);
    void controlRepeat(std::string_view directive, Tokens rest);
    void controlUntil(std::string_view directive, Tokens rest);
    void controlLeave(std::string_view directive, Tokens rest);
    // At ENDP and END: a block still open is an error (its jumps would have no target).
    void reportOpenBlock();

private:
    ControlBlock* innermostBlockOf(ControlBlockKind kind, std::string_view directive);
    ControlBlock* innermostLoop();
    bool emitCondition(Tokens cond, bool jumpIfTrue, Symbol& target);
    bool emitJunction(const std::vector<Tokens>& parts, bool isOr, bool jumpIfTrue, Symbol& target);
    std::optional<bool> emitRelation(Tokens cond, bool jumpIfTrue, Symbol& target);
    bool emitTestAgainstZero(Tokens cond, bool jumpIfTrue, Symbol& target);
    // cmp (or test) of the two sides of a relation; isSigned when either side is signed.
    bool encodeComparison(Tokens left, Tokens right, bool bitTest, bool& isSigned);
    void emitCountedUntil(Tokens cond, Symbol& top);
    Symbol& newHiddenLabel();
    void placeHiddenLabel(Symbol& label);
    void emitJump(std::string_view mnemonic, Symbol& target);

    PassContext& ctx_;
    InstructionWriter& insns_;
    std::vector<std::unique_ptr<ControlBlock>> blocks_;
    std::uint32_t hiddenLabels_ = 0;
};

}  // namespace ml
