// One open .IF, .WHILE or .REPEAT block and the hidden labels its jumps aim at.
#pragma once

#include <vector>

#include "Lexer.h"
#include "Symbols.h"

namespace ml {

enum class ControlBlockKind : std::uint8_t { If, While, Repeat };

struct ControlBlock {
    using Kind = ControlBlockKind;
    Kind kind = Kind::If;
    Symbol* next = nullptr;  // .IF: the next .ELSEIF/.ELSE test
    Symbol* end = nullptr;   // after the block; .BREAK target
    Symbol* top = nullptr;   // loop body start
    Symbol* test = nullptr;  // loop condition; .CONTINUE target
    bool elseSeen = false;
    std::vector<Token> condition;  // .WHILE: tested at .ENDW
};

}  // namespace ml
