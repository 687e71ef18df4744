// The assembler's directives as one table: each row names a directive, the form of
// statement it appears in, the condition under which it applies, and its handler.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "PassContext.h"

namespace ml {

class Assembler;

// "WORD operands" or "name WORD operands".
enum class DirectiveForm : std::uint8_t { Plain, Named };

// When a directive applies; otherwise its word goes on to the other statement kinds
// (a data type, an instruction) like any word that is no directive.
enum class DirectiveWhen : std::uint8_t {
    Always,
    InStructure,  // ENDS closing a STRUCT
    InProcedure,  // RET writing a procedure's epilogue
};

struct DirectiveCall {
    std::string_view name;  // the name before a Named directive
    std::string_view word;  // the directive as written
    Tokens rest;            // its operands
};

struct Directive {
    std::string_view name;  // lower case
    DirectiveForm form;
    DirectiveWhen when;
    // False when the statement turns out not to be this directive after all (RET
    // without an epilogue is the instruction).
    bool (*handle)(Assembler& assembler, const DirectiveCall& call);
};

// Every directive the statement dispatch finds; the processor directives (.386 ...)
// are the instruction unit's, and the data types the symbol table's.
std::span<const Directive> directiveTable();
const Directive* findDirective(std::string_view word, DirectiveForm form);

}  // namespace ml
