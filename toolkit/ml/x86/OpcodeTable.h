// The opcode table: one row per instruction form, written in the notation of the
// processor manuals (the columns are explained in OpcodeTable.cpp).
#pragma once

#include <span>
#include <string_view>

namespace ml::x86 {

struct OpcodeRow {
    std::string_view mnemonic;  // "ADD", or "Jcc" for every condition name
    std::string_view operands;  // "r/m32, imm8s"
    std::string_view opcode;    // "83 /0 ib"
    std::string_view flags;     // "L"
    std::string_view cpu;       // "486", "286P"; empty for the 8086/8087
};

std::span<const OpcodeRow> opcodeTable();

}  // namespace ml::x86
