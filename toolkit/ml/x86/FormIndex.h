// The opcode table parsed once into matchable instruction forms, indexed by mnemonic.
#pragma once

#include "Encoder.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ml::x86 {

// What an operand of a form accepts.
enum class PatternKind : std::uint8_t {
    None,
    Reg,           // r8 r16 r32 Sreg ST(i)
    FixedReg,      // AL AX EAX CL DX, ES..GS, ST
    RegOrMem,      // r/m8 r/m16 r/m32
    Mem,           // m, m8 .. m80, m2byte, m16:32 ...
    MemOffset,     // moffs8 moffs16 moffs32
    StringSource,  // m8 m16 m32 of a row without ModR/M (DS:ESI, XLAT's DS:EBX)
    StringDest,    // es:m8 es:m16 es:m32
    Imm,           // imm8 imm8s imm16 imm32
    Const,         // 1 or 3
    Rel,           // rel8 rel32
};

struct OperandPattern {
    PatternKind kind = PatternKind::None;
    RegClass regClass = RegClass::None;  // Reg, FixedReg
    std::uint8_t regNumber = 0;          // FixedReg
    bool loadable = false;               // Reg: a segment register MOV may load (not CS)
    std::uint8_t size = 0;               // bytes (0: memory of any size); Const: the value
    bool sizeOptional = false;           // memory without a size is accepted
    bool signExtended = false;           // imm8s
    bool fixesSize = false;              // gives its size to an unsized memory operand
    std::uint8_t typedSize = 0;          // Imm: the size a PTR type on the immediate
                                         // must give (0: the type is not read)
};

// How the bytes of a form are laid out; each has one encoder function.
enum class Encoding : std::uint8_t {
    Raw,             // opcode [immediates]
    AddReg,          // register number added to the last opcode byte
    ModRMReg,        // opcode ModR/M(reg = register operand) [SIB] [disp] [imm]
    ModRMDigit,      // opcode ModR/M(reg = digit) [SIB] [disp] [imm]
    Relative,        // opcode rel8/rel32
    MemoryOffset,    // opcode moffs32
    ImplicitMemory,  // opcode; memory operands only give size and segment (strings)
};

using MnemonicKey = std::uint64_t;

// Up to ten letters and digits, case folded, packed into one number; 0 when the
// name cannot be a mnemonic. Compares names case-insensitively without copying them.
MnemonicKey mnemonicKey(std::string_view name);
std::string mnemonicName(MnemonicKey key);

struct Form {
    MnemonicKey key = 0;
    std::uint16_t row = 0;  // index into opcodeTable()
    std::uint8_t operandCount = 0;
    std::array<OperandPattern, 3> operands{};
    // Per operand, the OperandKinds its pattern takes (bit 1 << kind; every kind for
    // the places past operandCount): a form whose patterns take other kinds is
    // skipped before any detailed matching.
    std::array<std::uint8_t, 3> acceptedKinds{0xFF, 0xFF, 0xFF};
    Encoding encoding = Encoding::Raw;
    std::array<std::uint8_t, 3> opcode{};
    std::uint8_t opcodeLength = 0;
    std::uint8_t digit = 0;                       // ModRMDigit
    std::array<std::uint8_t, 2> immediateSize{};  // ib/iw/id in operand order
    std::uint8_t immediateCount = 0;
    std::uint8_t relativeSize = 0;  // cb = 1, cd = 4
    std::int8_t regOperand = -1;    // ModR/M.reg or +r operand
    std::int8_t rmOperand = -1;     // ModR/M.rm operand
    bool operandSize16 = false;     // o16
    bool addressSize16 = false;     // a16
    bool wait = false;              // 9B prefix
    bool defaultSize = false;       // flag d
    bool lockable = false;          // flag L
    bool rep = false;               // flag R or E
    bool repeRepne = false;         // flag E
    Cpu cpu = Cpu::I8086;           // first processor with the form
    Fpu fpu = Fpu::None;            // coprocessor needed (x87 forms)
    bool privileged = false;        // needs a P processor directive
};

// True when the processor directives in `mode` enable `form`.
inline bool enabledIn(const Form& form, const CpuMode& mode) {
    return form.cpu <= mode.cpu && form.fpu <= mode.fpu && (!form.privileged || mode.privileged);
}

class FormIndex {
public:
    FormIndex();

    // The forms of one mnemonic in table order; empty when it is unknown.
    std::span<const Form> find(MnemonicKey key) const { return forms(lookup(key)); }
    Mnemonic lookup(MnemonicKey key) const;
    std::span<const Form> forms(Mnemonic m) const;
    std::span<const Form> all() const { return forms_; }
    std::vector<MnemonicKey> mnemonics() const;
    // Rows the parser rejected, as "row N (MNEMONIC operands): why".
    std::span<const std::string> problems() const { return problems_; }

private:
    // The forms of one mnemonic: forms_[begin, end).
    struct Range {
        MnemonicKey key = 0;
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
        Mnemonic mnemonic;  // its position in ranges_, plus one
    };
    void buildSlots();

    std::vector<Form> forms_;
    std::vector<Range> ranges_;  // sorted by key
    // Open addressing on the key: every statement looks its first word up here, so
    // a lookup is one multiply and, nearly always, one probe. Empty slots have key 0.
    std::vector<Range> slots_;
    unsigned slotShift_ = 64;
    std::vector<std::string> problems_;
};

// The index of opcodeTable(), built on first use.
const FormIndex& formIndex();

}  // namespace ml::x86
