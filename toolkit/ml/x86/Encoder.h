// The instruction encoder: turns one parsed x86 instruction (mnemonic, prefixes and
// operands already evaluated by the front end) into machine bytes plus the fixups
// that the object writer turns into relocations.
//
// The front end owns symbols, sections and jump sizing; the encoder owns the opcode
// tables and the ModR/M, SIB, displacement and immediate layout. Nothing here knows
// about source text.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ml::x86 {

// Register classes with the register numbers of the processor manuals
// (eax=0 ecx=1 edx=2 ebx=3 esp=4 ebp=5 esi=6 edi=7; al cl dl bl ah ch dh bh;
// es=0 cs=1 ss=2 ds=3 fs=4 gs=5; st(0)..st(7)).
enum class RegClass : std::uint8_t { None, Gpr8, Gpr16, Gpr32, Segment, Fpu, Control, Debug };

struct Register {
    RegClass cls = RegClass::None;
    std::uint8_t number = 0;
    friend bool operator==(const Register&, const Register&) = default;
};

// Looks a register name up, case-insensitively ("EAX", "st", "ST(3)" is handled by the
// front end as St with number 3). Returns RegClass::None when the name is no register.
Register lookupRegister(std::string_view name);

// A value that may still need a relocation: constant + address of `symbol`.
// symbol == 0 means a plain number. The ids are the front end's; the encoder copies
// them into fixups untouched.
struct Value {
    std::int64_t constant = 0;
    std::uint32_t symbol = 0;
    friend bool operator==(const Value&, const Value&) = default;
};

enum class OperandKind : std::uint8_t { None, Reg, Imm, Mem };

// Operand size in bytes as PTR, a register or a data label's type gives it; 0 = unknown.
// The size of a Mem operand chooses among forms (m32fp/m64fp/m80fp, m16int/m32int...);
// an unsized one is accepted where another operand fixes the size (mov [ebx], eax;
// mov [edi], BYTE PTR 0), where only one size exists (lea, fstcw, fstenv) and for
// PUSH, POP, JMP and CALL (doubleword). An Imm's size is that of its PTR type
// (push WORD PTR 0): it must be the size the instruction works on, and it chooses
// the form (66 6A 00); 0 leaves the choice to the other operands. The size of a Reg
// operand is not read. isFloat marks REAL4/REAL8/REAL10 typed memory; the x87
// mnemonic already says real or integer, so the encoder needs only the size.
struct Operand {
    OperandKind kind = OperandKind::None;
    Register reg;  // Reg
    Value imm;     // Imm
    // Mem: [base + index*scale + disp], optional segment override
    Register base;           // RegClass::None when absent
    Register index;          // RegClass::None when absent; ESP with scale 1
                             // is swapped into the base
    std::uint8_t scale = 1;  // 1, 2, 4 or 8
    Value disp;
    Register segment;       // RegClass::None when no override
    std::uint8_t size = 0;  // bytes; 0 when not known
    bool isFloat = false;   // REAL4/REAL8/REAL10 typed memory
};

enum class Prefix : std::uint8_t { None, Rep, Repe, Repne, Lock };

// The processors whose instructions the source has enabled (.8086 .. .686, .8087 ..
// .387, .NO87, the P suffix for privileged instructions). An instruction or register
// of a later processor is refused with NotInCpuMode. The default enables everything the
// encoder knows.
enum class Cpu : std::uint8_t { I8086, I186, I286, I386, I486, P5, P6 };
enum class Fpu : std::uint8_t { None, I8087, I287, I387 };

struct CpuMode {
    Cpu cpu = Cpu::P6;
    Fpu fpu = Fpu::I387;
    bool privileged = true;
    friend bool operator==(const CpuMode&, const CpuMode&) = default;
};

// Looks an instruction prefix up, case-insensitively: REP, REPE, REPZ, REPNE, REPNZ,
// LOCK. Returns Prefix::None for any other name.
Prefix lookupPrefix(std::string_view name);

// A mnemonic found in the opcode table. The front end looks a statement's first word
// up once and hands the result to encode() with the instruction, so that the table
// is not searched again for every use of the word.
struct Mnemonic {
    std::uint32_t index = 0;  // 1-based; 0 when the word is no instruction
    explicit operator bool() const { return index != 0; }
};

// Looks a mnemonic up, case-insensitively.
Mnemonic lookupMnemonic(std::string_view name);

// How a relative branch is to be encoded. The front end picks the size (MASM's
// choice: short when the target is known and near, or SHORT was written) and asks
// the encoder for that form; Auto lets the encoder choose near.
enum class BranchForm : std::uint8_t { Auto, Short, Near };

// A direct branch (JMP, Jcc, JCXZ, JECXZ, LOOPxx, CALL to a label) carries its target
// as an Imm operand: Value{offset, 0} for a target in the current section, or
// Value{addend, symbol} for any other target. A Mem operand is an indirect branch
// (`jmp dword ptr [ebx]`, `call [eax]`).
struct Instruction {
    std::string_view mnemonic;  // any case
    Mnemonic known;             // lookupMnemonic(mnemonic) when the caller has it
    Prefix prefix = Prefix::None;
    std::array<Operand, 3> operands{};
    std::uint8_t operandCount = 0;
    BranchForm branch = BranchForm::Auto;
    CpuMode mode;  // what the processor directives enable
};

enum class FixupKind : std::uint8_t { Abs32, Pc32, Abs16, Abs8, Pc8 };

// A field of the encoded bytes that holds (part of) an address.
// For Pc32 the stored value follows the ELF convention (addend relative to the field).
// The bytes already hold `addend` (ELF REL): Abs fields hold Value::constant, a Pc32
// field holds constant - 4 and a Pc8 field constant - 1.
struct Fixup {
    std::uint8_t offset = 0;  // of the field within the instruction bytes
    FixupKind kind = FixupKind::Abs32;
    std::uint32_t symbol = 0;
    std::int64_t addend = 0;
};

// Where the listing finds the parts of an instruction: MASM lists immediates and
// displacements as whole numbers and marks operand-size prefixes with '|'.
struct Field {
    std::uint8_t offset = 0;
    std::uint8_t size = 0;  // 0 = no such field
};

struct Encoded {
    std::array<std::uint8_t, 16> bytes{};
    std::uint8_t length = 0;
    std::uint8_t prefixLength = 0;   // all prefixes before the opcode (9Bh of the
                                     // waiting x87 forms included)
    bool operandSizePrefix = false;  // 66h emitted (listed with '|')
    bool addressSizePrefix = false;  // 67h emitted
    Field displacement;              // memory displacement, moffs address or branch
                                     // displacement
    Field immediate;
    Field immediate2;  // second immediate (ENTER) when present
    std::vector<Fixup> fixups;
};

// Diagnostic numbers follow MASM's A2xxx numbering where one exists.
enum class EncodeError : std::uint16_t {
    None = 0,
    UnknownMnemonic = 2008,   // syntax error
    InvalidOperands = 2070,   // invalid instruction operands
    SizeMismatch = 2022,      // instruction operands must be the same size
    SizeMissing = 2023,       // instruction operand must have size
    ImmediateTooBig = 2001,   // immediate operand too large for its field
    JumpTooFar = 2075,        // jump destination too far
    PrefixNotAllowed = 2068,  // instruction prefix not allowed (REP, LOCK)
    NotInCpuMode = 2085,      // instruction or register not accepted in the
                              // current CPU mode
};

// Encodes `insn` placed at `address` (its offset in the current section; used for
// branch displacements to targets that need no relocation). A branch target in
// operand 0 whose symbol is 0 is an absolute offset in the same section.
// `out` is overwritten; reusing one Encoded across calls reuses its fixup storage.
// On an error `out.length` is 0.
EncodeError encode(const Instruction& insn, std::uint32_t address, Encoded& out);

// True when `mnemonic` names an instruction this encoder knows (any case).
bool isInstruction(std::string_view mnemonic);

// True when `mnemonic` has a relative branch form (JMP, Jcc, JCXZ, JECXZ, LOOPxx,
// CALL): the instructions whose label operand is a target and whose size the front
// end chooses with BranchForm.
bool isRelativeBranch(std::string_view mnemonic);

}  // namespace ml::x86
