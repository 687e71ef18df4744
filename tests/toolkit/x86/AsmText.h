// Test helper: reads one line of Intel-syntax assembly ("lock add dword ptr fs:[ebx+4], 5",
// "jmp short $+16", "call ext") into an encoder Instruction, and formats bytes as hex.
#pragma once

#include "x86/Encoder.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ml::x86::test {

// Names of symbols met in test lines, numbered from 1 in order of appearance.
class SymbolTable {
public:
    std::uint32_t id(std::string_view name);
    std::string name(std::uint32_t id) const;

private:
    std::vector<std::string> names_;
};

struct ParsedLine {
    std::string mnemonic;  // storage for Instruction::mnemonic
    Instruction insn;      // call instruction() for a copy that views `mnemonic`
    std::string error;     // why the text could not be read

    Instruction instruction() const {
        Instruction copy = insn;
        copy.mnemonic = mnemonic;
        return copy;
    }
};

// Operands: registers, st(i), [base+index*scale+disp] with an optional "seg:" before
// the bracket, "<size> ptr" (before a number: a typed immediate), numbers (decimal,
// 0x hex, negative), "offset sym[+n]", a bare symbol (memory, or the target of a
// branch), "$+n" (the line's own address plus n) and the branch keywords short and near. False with `out.error` set
// when the text is not in this form.
bool parseLine(std::string_view text, std::uint32_t address, SymbolTable& symbols, ParsedLine& out);

// "8B 44 24 04"
std::string hexBytes(const std::uint8_t* bytes, std::size_t length);
std::string hexBytes(const Encoded& encoded);

}  // namespace ml::x86::test
