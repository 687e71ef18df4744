// The high-level control flow directives .IF/.ELSEIF/.ELSE/.ENDIF, .WHILE/.ENDW,
// .REPEAT/.UNTIL/.UNTILCXZ, .BREAK and .CONTINUE, turned into compares and jumps
// to hidden labels (@C0000 ...).
#include <algorithm>
#include <array>

#include "ControlFlow.h"
#include "ControlBlock.h"
#include "Text.h"

namespace ml {

namespace {

struct FlagTest {
    std::string_view name;
    std::string_view jumpIfSet;
    std::string_view jumpIfClear;
};

// flag       set   clear
constexpr FlagTest kFlags[] = {
    {"carry?", "jc", "jnc"}, {"overflow?", "jo", "jno"}, {"parity?", "jp", "jnp"},
    {"sign?", "js", "jns"},  {"zero?", "jz", "jnz"},
};

struct Relation {
    std::string_view op;
    std::string_view unsignedJump;
    std::string_view signedJump;
    std::string_view unsignedInverse;
    std::string_view signedInverse;
};

// operator  unsigned  signed  inverse unsigned  inverse signed
constexpr Relation kRelations[] = {
    {"==", "je", "je", "jne", "jne"}, {"!=", "jne", "jne", "je", "je"}, {">", "ja", "jg", "jbe", "jle"},
    {">=", "jae", "jge", "jb", "jl"}, {"<", "jb", "jl", "jae", "jge"},  {"<=", "jbe", "jle", "ja", "jg"},
};

// ZERO?, CARRY? ...: the flag a one-word condition tests; nullptr for other conditions.
const FlagTest* flagTest(std::span<const Token> cond) {
    if (cond.size() != 1 || cond[0].kind != TokenKind::Identifier || cond[0].text.back() != '?') return nullptr;
    const std::string name = foldCase(cond[0].text);
    for (const FlagTest& f : kFlags)
        if (name == f.name) return &f;
    return nullptr;
}

const Relation* relation(const Token& op) {
    for (const Relation& r : kRelations)
        if (op.is(r.op)) return &r;
    return nullptr;
}

// The index just past the matching ')' of the '(' at `open`.
std::size_t closing(std::span<const Token> t, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < t.size(); ++i) {
        if (t[i].is("("))
            ++depth;
        else if (t[i].is(")") && --depth == 0)
            return i + 1;
    }
    return t.size();
}

}  // namespace

Symbol& ControlFlow::newHiddenLabel() { return ctx_.hiddenLabel("@C" + hex(hiddenLabels_++, 4)); }

void ControlFlow::placeHiddenLabel(Symbol& label) {
    if (!ctx_.requireSection()) return;
    ctx_.placeLabel(label);
}

void ControlFlow::emitJump(std::string_view mnemonic, Symbol& target) {
    if (!ctx_.requireSection()) return;
    ExprValue v;
    v.kind = ValueKind::Address;
    v.symbol = &target;
    v.type = target.type;
    if (!target.defined) v.unresolved = true;
    x86::Instruction insn;
    insn.mnemonic = mnemonic;
    ExprValue values[1] = {v};
    insns_.emitInstruction(insn, values, std::string(mnemonic) + " " + target.name);
}

bool ControlFlow::encodeComparison(Tokens left, Tokens right, bool bitTest, bool& isSigned) {
    auto a = ctx_.evaluateTokens(left);
    auto b = a ? ctx_.evaluateTokens(right) : std::nullopt;
    if (!b) return false;
    x86::Operand first, second;
    if (!insns_.toOperand(*a, first, false) || !insns_.toOperand(*b, second, false)) return false;
    isSigned = a->type.isSigned || b->type.isSigned;
    std::string text = std::string(bitTest ? "test " : "cmp ") + joinTokens(left) + ", " + joinTokens(right);
    return insns_.encodeSimple(bitTest ? "test" : "cmp", {first, second}, text);
}

// Jumps to `target` when the condition is true (jumpIfTrue) or false, evaluating
// || and && from left to right with MASM's short-circuit jumps.
bool ControlFlow::emitCondition(Tokens cond, bool jumpIfTrue, Symbol& target) {
    if (cond.empty()) {
        ctx_.error(Diag::ControlFlowSyntax);
        return false;
    }
    auto ors = splitTokens(cond, "||", false);
    if (ors.size() > 1) return emitJunction(ors, true, jumpIfTrue, target);
    auto ands = splitTokens(cond, "&&", false);
    if (ands.size() > 1) return emitJunction(ands, false, jumpIfTrue, target);
    if (cond[0].is("!")) return emitCondition(cond.subspan(1), !jumpIfTrue, target);
    if (cond[0].is("(") && closing(cond, 0) == cond.size())
        return emitCondition(cond.subspan(1, cond.size() - 2), jumpIfTrue, target);
    if (const FlagTest* flag = flagTest(cond)) {
        emitJump(jumpIfTrue ? flag->jumpIfSet : flag->jumpIfClear, target);
        return true;
    }
    if (std::optional<bool> done = emitRelation(cond, jumpIfTrue, target)) return *done;
    return emitTestAgainstZero(cond, jumpIfTrue, target);
}

// The parts of an || (isOr) or && chain. The jump is taken as soon as the outcome
// is known; the other way out skips past the chain.
bool ControlFlow::emitJunction(const std::vector<Tokens>& parts, bool isOr, bool jumpIfTrue, Symbol& target) {
    if (isOr == jumpIfTrue) {  // any part decides alone
        for (Tokens part : parts)
            if (!emitCondition(part, jumpIfTrue, target)) return false;
        return true;
    }
    Symbol& skip = newHiddenLabel();
    for (std::size_t i = 0; i + 1 < parts.size(); ++i)
        if (!emitCondition(parts[i], isOr, skip)) return false;
    if (!emitCondition(parts.back(), jumpIfTrue, target)) return false;
    placeHiddenLabel(skip);
    return true;
}

// A relation (a < b) or a bit test (a & b) at the top level of the condition:
// true or false when it was one, nothing when the condition holds none.
std::optional<bool> ControlFlow::emitRelation(Tokens cond, bool jumpIfTrue, Symbol& target) {
    int depth = 0;
    for (std::size_t i = 0; i < cond.size(); ++i) {
        if (cond[i].is("(") || cond[i].is("["))
            ++depth;
        else if ((cond[i].is(")") || cond[i].is("]")) && depth > 0)
            --depth;
        if (depth != 0 || cond[i].kind != TokenKind::Punct) continue;
        const Relation* rel = relation(cond[i]);
        const bool bitTest = cond[i].is("&");
        if (!rel && !bitTest) continue;
        bool isSigned = false;
        if (!encodeComparison(cond.subspan(0, i), cond.subspan(i + 1), bitTest, isSigned)) return false;
        if (bitTest) {
            emitJump(jumpIfTrue ? "jne" : "je", target);
        } else {
            std::string_view jump = jumpIfTrue ? (isSigned ? rel->signedJump : rel->unsignedJump)
                                               : (isSigned ? rel->signedInverse : rel->unsignedInverse);
            emitJump(jump, target);
        }
        return true;
    }
    return std::nullopt;
}

// A single operand: a constant decides at assembly time; a register is ORed with
// itself, anything else compared with 0.
bool ControlFlow::emitTestAgainstZero(Tokens cond, bool jumpIfTrue, Symbol& target) {
    auto v = ctx_.evaluateTokens(cond);
    if (!v) return false;
    if (v->kind == ValueKind::Constant) {
        if ((v->number != 0) == jumpIfTrue) emitJump("jmp", target);
        return true;
    }
    x86::Operand op;
    if (!insns_.toOperand(*v, op, false)) return false;
    std::string operand = joinTokens(cond);
    if (op.kind == x86::OperandKind::Reg)
        insns_.encodeSimple("or", {op, op}, "or " + operand + ", " + operand);
    else
        insns_.encodeSimple("cmp", {op, x86::Operand{x86::OperandKind::Imm}}, "cmp " + operand + ", 0");
    emitJump(jumpIfTrue ? "jne" : "je", target);
    return true;
}

void ControlFlow::beginPass() {
    blocks_.clear();
    hiddenLabels_ = 0;
}

// The innermost open block when it is of `kind`; otherwise the directive that wanted
// it is misplaced (A2150) and there is none.
ControlBlock* ControlFlow::innermostBlockOf(ControlBlockKind kind, std::string_view directive) {
    if (blocks_.empty() || blocks_.back()->kind != kind) {
        ctx_.error(Diag::ControlBlockExpected, std::string(directive));
        return nullptr;
    }
    return blocks_.back().get();
}

ControlBlock* ControlFlow::innermostLoop() {
    for (auto it = blocks_.rbegin(); it != blocks_.rend(); ++it)
        if ((*it)->kind != ControlBlock::Kind::If) return it->get();
    return nullptr;
}

void ControlFlow::controlIf(std::string_view, Tokens rest) {
    auto b = std::make_unique<ControlBlock>();
    b->kind = ControlBlock::Kind::If;
    b->next = &newHiddenLabel();
    b->end = &newHiddenLabel();
    emitCondition(rest, false, *b->next);
    blocks_.push_back(std::move(b));
}

// .ELSEIF and .ELSE: the previous branch jumps to the end; this one starts here.
void ControlFlow::controlElse(std::string_view w, Tokens rest) {
    ControlBlock* b = innermostBlockOf(ControlBlock::Kind::If, w);
    if (!b) return;
    if (b->elseSeen) {
        ctx_.error(Diag::ElseClauseTwice);
        return;
    }
    emitJump("jmp", *b->end);
    placeHiddenLabel(*b->next);
    if (equalsNoCase(w, ".ELSE")) {
        b->elseSeen = true;
        b->next = nullptr;
    } else {
        b->next = &newHiddenLabel();
        emitCondition(rest, false, *b->next);
    }
}

void ControlFlow::controlEndIf(std::string_view w, Tokens) {
    ControlBlock* b = innermostBlockOf(ControlBlock::Kind::If, w);
    if (!b) return;
    if (b->next) placeHiddenLabel(*b->next);
    placeHiddenLabel(*b->end);
    blocks_.pop_back();
}

// .WHILE jumps to its test, which .ENDW places after the body.
void ControlFlow::controlWhile(std::string_view, Tokens rest) {
    auto b = std::make_unique<ControlBlock>();
    b->kind = ControlBlock::Kind::While;
    b->test = &newHiddenLabel();
    b->top = &newHiddenLabel();
    b->end = &newHiddenLabel();
    b->condition.assign(rest.begin(), rest.end());
    emitJump("jmp", *b->test);
    placeHiddenLabel(*b->top);
    blocks_.push_back(std::move(b));
}

void ControlFlow::controlEndWhile(std::string_view w, Tokens) {
    ControlBlock* b = innermostBlockOf(ControlBlock::Kind::While, w);
    if (!b) return;
    placeHiddenLabel(*b->test);
    emitCondition(b->condition, true, *b->top);
    placeHiddenLabel(*b->end);
    blocks_.pop_back();
}

void ControlFlow::controlRepeat(std::string_view, Tokens) {
    auto b = std::make_unique<ControlBlock>();
    b->kind = ControlBlock::Kind::Repeat;
    b->top = &newHiddenLabel();
    b->test = &newHiddenLabel();
    b->end = &newHiddenLabel();
    placeHiddenLabel(*b->top);
    blocks_.push_back(std::move(b));
}

// .UNTIL cond, or .UNTILCXZ [a == b | a != b], which counts ECX down as LOOP does
// and, with a comparison, also ends when it holds (LOOPNE / LOOPE).
void ControlFlow::controlUntil(std::string_view w, Tokens rest) {
    ControlBlock* b = innermostBlockOf(ControlBlock::Kind::Repeat, w);
    if (!b) return;
    placeHiddenLabel(*b->test);
    if (equalsNoCase(w, ".UNTIL"))
        emitCondition(rest, false, *b->top);
    else
        emitCountedUntil(rest, *b->top);
    placeHiddenLabel(*b->end);
    blocks_.pop_back();
}

void ControlFlow::emitCountedUntil(Tokens cond, Symbol& top) {
    if (cond.empty()) {
        emitJump("loop", top);
        return;
    }
    const Token* unsupported = &cond[0];  // what the error names: another operator, else the start
    for (std::size_t i = 1; i + 1 < cond.size(); ++i) {
        if (cond[i].kind != TokenKind::Punct) continue;
        if (cond[i].is("==") || cond[i].is("!=")) {
            bool isSigned = false;
            if (encodeComparison(cond.subspan(0, i), cond.subspan(i + 1), false, isSigned))
                emitJump(cond[i].is("==") ? "loopne" : "loope", top);
            return;
        }
        if (unsupported == &cond[0]) unsupported = &cond[i];
    }
    ctx_.error(Diag::ControlFlowSyntax, std::string(unsupported->text));
}

// .BREAK and .CONTINUE, each with an optional .IF condition.
void ControlFlow::controlLeave(std::string_view w, Tokens rest) {
    ControlBlock* b = innermostLoop();
    if (!b) {
        ctx_.error(Diag::ControlBlockExpected, std::string(w));
        return;
    }
    Symbol& target = equalsNoCase(w, ".BREAK") ? *b->end : *b->test;
    if (rest.empty()) {
        emitJump("jmp", target);
    } else if (rest[0].isWord(".IF")) {
        emitCondition(rest.subspan(1), true, target);
    } else if (rest.size() > 1 && rest[0].is(".") && rest[1].isWord("IF")) {
        emitCondition(rest.subspan(2), true, target);
    } else {
        ctx_.error(Diag::ControlFlowSyntax, std::string(rest[0].text));
    }
}

void ControlFlow::reportOpenBlock() {
    if (blocks_.empty()) return;
    static constexpr std::string_view kOpeners[] = {".IF", ".WHILE", ".REPEAT"};
    ctx_.error(Diag::BlockNotClosed, std::string(kOpeners[static_cast<int>(blocks_.back()->kind)]));
    blocks_.clear();
}

}  // namespace ml
