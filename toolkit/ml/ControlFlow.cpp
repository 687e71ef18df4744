// The high-level control flow directives .IF/.ELSEIF/.ELSE/.ENDIF, .WHILE/.ENDW,
// .REPEAT/.UNTIL/.UNTILCXZ, .BREAK and .CONTINUE, turned into compares and jumps
// to hidden labels (@C0000 ...).
#include <algorithm>

#include "Assembler.h"
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
    {">=", "jae", "jge", "jb", "jl"}, {"<", "jb", "jl", "jae", "jge"},   {"<=", "jbe", "jle", "ja", "jg"},
};

// The index just past the matching ')' of the '(' at `open`.
std::size_t closing(std::span<const Token> t, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < t.size(); ++i) {
        if (t[i].is("(")) ++depth;
        else if (t[i].is(")") && --depth == 0) return i + 1;
    }
    return t.size();
}


}  // namespace

Symbol& Assembler::newHiddenLabel() {
    std::string name = "@C" + hex(hiddenLabels_++, 4);
    Symbol* s = symbols_.findGlobal(name);
    if (!s) {
        s = &symbols_.create(name, SymbolKind::Label);
        s->type = Type{4, false, false, true};
        s->hidden = true;
    }
    return *s;
}

void Assembler::placeHiddenLabel(Symbol& label) {
    if (!requireSection()) return;
    setSymbolValue(label, current()->offset, currentSection_);
}

void Assembler::emitJump(std::string_view mnemonic, Symbol& target) {
    if (!requireSection()) return;
    ExprValue v;
    v.kind = ValueKind::Address;
    v.symbol = &target;
    v.type = target.type;
    if (!target.defined) v.unresolved = true;
    x86::Instruction insn;
    insn.mnemonic = mnemonic;
    ExprValue values[1] = {v};
    emitInstruction(insn, values, std::string(mnemonic) + " " + target.name);
}

bool Assembler::emitCondition(Tokens cond, bool jumpIfTrue, Symbol& target) {
    if (cond.empty()) {
        error(Diag::ControlFlowSyntax);
        return false;
    }
    auto ors = splitTokens(cond, "||", false);
    if (ors.size() > 1) {
        if (jumpIfTrue) {
            for (Tokens part : ors)
                if (!emitCondition(part, true, target)) return false;
            return true;
        }
        Symbol& skip = newHiddenLabel();
        for (std::size_t i = 0; i + 1 < ors.size(); ++i)
            if (!emitCondition(ors[i], true, skip)) return false;
        if (!emitCondition(ors.back(), false, target)) return false;
        placeHiddenLabel(skip);
        return true;
    }
    auto ands = splitTokens(cond, "&&", false);
    if (ands.size() > 1) {
        if (!jumpIfTrue) {
            for (Tokens part : ands)
                if (!emitCondition(part, false, target)) return false;
            return true;
        }
        Symbol& skip = newHiddenLabel();
        for (std::size_t i = 0; i + 1 < ands.size(); ++i)
            if (!emitCondition(ands[i], false, skip)) return false;
        if (!emitCondition(ands.back(), true, target)) return false;
        placeHiddenLabel(skip);
        return true;
    }
    if (cond[0].is("!")) return emitCondition(cond.subspan(1), !jumpIfTrue, target);
    if (cond[0].is("(") && closing(cond, 0) == cond.size())
        return emitCondition(cond.subspan(1, cond.size() - 2), jumpIfTrue, target);

    // A flag test: ZERO? CARRY? ...
    if (cond.size() == 1 && cond[0].kind == TokenKind::Identifier && cond[0].text.back() == '?') {
        std::string name = foldCase(cond[0].text);
        for (const FlagTest& f : kFlags) {
            if (name == f.name) {
                emitJump(jumpIfTrue ? f.jumpIfSet : f.jumpIfClear, target);
                return true;
            }
        }
    }
    // a relation, a bit test (a & b) or a single operand compared with zero
    int depth = 0;
    for (std::size_t i = 0; i < cond.size(); ++i) {
        if (cond[i].is("(") || cond[i].is("[")) ++depth;
        else if ((cond[i].is(")") || cond[i].is("]")) && depth > 0) --depth;
        if (depth != 0 || cond[i].kind != TokenKind::Punct) continue;
        const Relation* rel = nullptr;
        for (const Relation& r : kRelations)
            if (cond[i].is(r.op)) rel = &r;
        bool bitTest = cond[i].is("&");
        if (!rel && !bitTest) continue;
        auto left = evaluateTokens(cond.subspan(0, i));
        auto right = left ? evaluateTokens(cond.subspan(i + 1)) : std::nullopt;
        if (!right) return false;
        x86::Operand a, b;
        if (!toOperand(*left, a, false) || !toOperand(*right, b, false)) return false;
        std::string text = std::string(bitTest ? "test " : "cmp ") + joinTokens(cond.subspan(0, i)) + ", " +
                           joinTokens(cond.subspan(i + 1));
        if (!encodeSimple(bitTest ? "test" : "cmp", {a, b}, text)) return false;
        if (bitTest) {
            emitJump(jumpIfTrue ? "jne" : "je", target);
        } else {
            bool isSigned = left->type.isSigned || right->type.isSigned;
            std::string_view jump = jumpIfTrue ? (isSigned ? rel->signedJump : rel->unsignedJump)
                                          : (isSigned ? rel->signedInverse : rel->unsignedInverse);
            emitJump(jump, target);
        }
        return true;
    }
    auto v = evaluateTokens(cond);
    if (!v) return false;
    if (v->kind == ValueKind::Constant) {
        if ((v->number != 0) == jumpIfTrue) emitJump("jmp", target);
        return true;
    }
    x86::Operand op;
    if (!toOperand(*v, op, false)) return false;
    std::string operand = joinTokens(cond);
    if (op.kind == x86::OperandKind::Reg) encodeSimple("or", {op, op}, "or " + operand + ", " + operand);
    else encodeSimple("cmp", {op, x86::Operand{x86::OperandKind::Imm}}, "cmp " + operand + ", 0");
    emitJump(jumpIfTrue ? "jne" : "je", target);
    return true;
}

bool Assembler::processControlFlow(const Token& word, Tokens rest) {
    std::string_view w = word.text;
    if (w.size() < 3 || w[0] != '.') return false;
    auto innermostLoop = [&]() -> ControlBlock* {
        for (auto it = controlBlocks_.rbegin(); it != controlBlocks_.rend(); ++it)
            if ((*it)->kind != ControlBlock::Kind::If) return it->get();
        return nullptr;
    };
    auto top = [&](ControlBlock::Kind kind) -> ControlBlock* {
        if (controlBlocks_.empty() || controlBlocks_.back()->kind != kind) {
            error(Diag::ControlBlockExpected, std::string(w));
            return nullptr;
        }
        return controlBlocks_.back().get();
    };
    if (equalsNoCase(w, ".IF")) {
        auto b = std::make_unique<ControlBlock>();
        b->kind = ControlBlock::Kind::If;
        b->next = &newHiddenLabel();
        b->end = &newHiddenLabel();
        emitCondition(rest, false, *b->next);
        controlBlocks_.push_back(std::move(b));
    } else if (equalsNoCase(w, ".ELSEIF") || equalsNoCase(w, ".ELSE")) {
        ControlBlock* b = top(ControlBlock::Kind::If);
        if (!b) return true;
        if (b->elseSeen) {
            error(Diag::ElseClauseTwice);
            return true;
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
    } else if (equalsNoCase(w, ".ENDIF")) {
        ControlBlock* b = top(ControlBlock::Kind::If);
        if (!b) return true;
        if (b->next) placeHiddenLabel(*b->next);
        placeHiddenLabel(*b->end);
        controlBlocks_.pop_back();
    } else if (equalsNoCase(w, ".WHILE")) {
        auto b = std::make_unique<ControlBlock>();
        b->kind = ControlBlock::Kind::While;
        b->test = &newHiddenLabel();
        b->top = &newHiddenLabel();
        b->end = &newHiddenLabel();
        b->condition.assign(rest.begin(), rest.end());
        emitJump("jmp", *b->test);
        placeHiddenLabel(*b->top);
        controlBlocks_.push_back(std::move(b));
    } else if (equalsNoCase(w, ".ENDW")) {
        ControlBlock* b = top(ControlBlock::Kind::While);
        if (!b) return true;
        placeHiddenLabel(*b->test);
        emitCondition(b->condition, true, *b->top);
        placeHiddenLabel(*b->end);
        controlBlocks_.pop_back();
    } else if (equalsNoCase(w, ".REPEAT")) {
        auto b = std::make_unique<ControlBlock>();
        b->kind = ControlBlock::Kind::Repeat;
        b->top = &newHiddenLabel();
        b->test = &newHiddenLabel();
        b->end = &newHiddenLabel();
        placeHiddenLabel(*b->top);
        controlBlocks_.push_back(std::move(b));
    } else if (equalsNoCase(w, ".UNTIL") || equalsNoCase(w, ".UNTILCXZ")) {
        ControlBlock* b = top(ControlBlock::Kind::Repeat);
        if (!b) return true;
        placeHiddenLabel(*b->test);
        if (equalsNoCase(w, ".UNTIL")) {
            emitCondition(rest, false, *b->top);
        } else {
            if (!rest.empty()) emitCondition(rest, true, *b->end);
            emitJump("loop", *b->top);
        }
        placeHiddenLabel(*b->end);
        controlBlocks_.pop_back();
    } else if (equalsNoCase(w, ".BREAK") || equalsNoCase(w, ".CONTINUE")) {
        ControlBlock* b = innermostLoop();
        if (!b) {
            error(Diag::ControlBlockExpected, std::string(w));
            return true;
        }
        Symbol& target = equalsNoCase(w, ".BREAK") ? *b->end : *b->test;
        if (rest.empty()) {
            emitJump("jmp", target);
        } else if (rest[0].isWord(".IF")) {
            emitCondition(rest.subspan(1), true, target);
        } else if (rest.size() > 1 && rest[0].is(".") && rest[1].isWord("IF")) {
            emitCondition(rest.subspan(2), true, target);
        } else {
            error(Diag::ControlFlowSyntax, std::string(rest[0].text));
        }
    } else {
        return false;
    }
    return true;
}

}  // namespace ml
