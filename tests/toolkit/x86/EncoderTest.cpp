// Encoding cases, one line each: the expected bytes, then the instruction. The bytes
// are those of GNU as (as --32 -msyntax=intel -mnaked-reg) except where a comment
// names MASM's meaning; failing cases name the diagnostic.
#include "AsmText.h"

#include "x86/FormIndex.h"
#include "x86/OperandMatch.h"

#include <gtest/gtest.h>

#include <span>

namespace ml::x86::test {
namespace {

struct Case {
    std::string_view bytes;
    std::string_view text;
};

struct ErrorCase {
    EncodeError error;
    std::string_view text;
};

EncodeError encodeText(std::string_view text, std::uint32_t address, Encoded& out, SymbolTable& symbols) {
    ParsedLine line;
    if (!parseLine(text, address, symbols, line)) {
        ADD_FAILURE() << "cannot read '" << text << "': " << line.error;
        return EncodeError::UnknownMnemonic;
    }
    return encode(line.instruction(), address, out);
}

void expectBytes(std::span<const Case> cases, std::uint32_t address = 0) {
    SymbolTable symbols;
    Encoded out;
    for (const Case& c : cases) {
        const EncodeError error = encodeText(c.text, address, out, symbols);
        EXPECT_EQ(error, EncodeError::None) << c.text;
        EXPECT_EQ(hexBytes(out), c.bytes) << c.text;
    }
}

void expectErrors(std::span<const ErrorCase> cases) {
    SymbolTable symbols;
    Encoded out;
    for (const ErrorCase& c : cases) {
        EXPECT_EQ(encodeText(c.text, 0x100, out, symbols), c.error) << c.text;
        EXPECT_EQ(out.length, 0) << c.text;
    }
}

TEST(EncoderTable, EveryRowParses) {
    const auto problems = formIndex().problems();
    for (const std::string& problem : problems) ADD_FAILURE() << problem;
    EXPECT_GT(formIndex().all().size(), 600u);
}

TEST(EncoderDataMovement, Mov) {
    const Case cases[] = {
        {"8B C3", "mov eax, ebx"},  // MASM: "reg, r/m" between registers
        {"8A DC", "mov bl, ah"},
        {"66 8B C1", "mov ax, cx"},
        {"8B 03", "mov eax, [ebx]"},
        {"89 03", "mov [ebx], eax"},
        {"8A 07", "mov al, byte ptr [edi]"},
        {"B8 78 56 34 12", "mov eax, 0x12345678"},
        {"BB FF FF FF FF", "mov ebx, -1"},
        {"B0 FF", "mov al, 255"},
        {"B0 FF", "mov al, -1"},
        {"66 B9 FF FF", "mov cx, 65535"},
        {"C7 03 05 00 00 00", "mov dword ptr [ebx], 5"},
        {"66 C7 03 05 00", "mov word ptr [ebx], 5"},
        {"C6 03 05", "mov byte ptr [ebx], 5"},
        // moffs forms: A0-A3 for the accumulator and an address without registers
        {"A1 34 12 00 00", "mov eax, [0x1234]"},
        {"A0 34 12 00 00", "mov al, [0x1234]"},
        {"66 A3 34 12 00 00", "mov [0x1234], ax"},
        {"A1 34 12 00 00", "mov eax, ds:[0x1234]"},
        {"64 A1 00 00 00 00", "mov eax, fs:[0]"},
        {"8B 1D 34 12 00 00", "mov ebx, [0x1234]"},
        // segment registers
        {"8C D8", "mov eax, ds"},
        {"66 8C D8", "mov ax, ds"},
        {"8C 1B", "mov [ebx], ds"},
        {"8E D8", "mov ds, ax"},
        {"8E D8", "mov ds, eax"},
        {"8E 23", "mov fs, word ptr [ebx]"},
    };
    expectBytes(cases);
}

TEST(EncoderDataMovement, ExchangeExtendAndConvert) {
    const Case cases[] = {
        {"93", "xchg eax, ebx"},
        {"93", "xchg ebx, eax"},
        {"90", "xchg eax, eax"},
        {"66 93", "xchg bx, ax"},
        {"87 CB", "xchg ebx, ecx"},
        {"87 0B", "xchg ecx, [ebx]"},
        {"86 0B", "xchg [ebx], cl"},
        {"0F C1 D8", "xadd eax, ebx"},
        {"F0 0F B1 0B", "lock cmpxchg [ebx], ecx"},
        {"0F C8", "bswap eax"},
        {"0F CF", "bswap edi"},
        {"0F BE C3", "movsx eax, bl"},
        {"66 0F BE C3", "movsx ax, bl"},
        {"0F BF 03", "movsx eax, word ptr [ebx]"},
        {"0F B6 03", "movzx eax, byte ptr [ebx]"},
        {"0F B7 C1", "movzx eax, cx"},
        {"8D 44 24 04", "lea eax, [esp+4]"},
        {"8D 04 8D 00 00 00 00", "lea eax, [ecx*4]"},
        {"66 8D 03", "lea ax, [ebx]"},
        {"66 98", "cbw"},
        {"98", "cwde"},
        {"66 99", "cwd"},
        {"99", "cdq"},
    };
    expectBytes(cases);
}

TEST(EncoderArithmetic, ChoosesTheShortestFormAsGnuAsDoes) {
    const Case cases[] = {
        {"03 C3", "add eax, ebx"},  // MASM: "reg, r/m" between registers
        {"03 03", "add eax, [ebx]"},
        {"04 05", "add al, 5"},
        {"83 C0 05", "add eax, 5"},
        {"05 E8 03 00 00", "add eax, 1000"},
        {"81 C3 E8 03 00 00", "add ebx, 1000"},
        {"66 83 C0 05", "add ax, 5"},
        {"66 05 E8 03", "add ax, 1000"},
        {"83 C0 FF", "add eax, 0xffffffff"},
        {"66 83 C0 FF", "add ax, 0xffff"},
        {"83 C3 80", "add ebx, 0xffffff80"},
        {"81 C3 7F FF FF FF", "add ebx, 0xffffff7f"},
        {"80 C3 FF", "add bl, 255"},
        {"83 03 01", "add dword ptr [ebx], 1"},
        {"80 3B 00", "cmp byte ptr [ebx], 0"},
        {"3D 00 01 00 00", "cmp eax, 256"},
        {"25 FF 00 00 00", "and eax, 255"},
        {"83 E4 F0", "and esp, -16"},
        {"0D 00 00 01 00", "or eax, 0x10000"},
        {"33 C0", "xor eax, eax"},
        {"1B C8", "sbb ecx, eax"},
        {"13 C1", "adc eax, ecx"},
        {"2C 01", "sub al, 1"},
        {"85 C0", "test eax, eax"},
        {"85 03", "test eax, [ebx]"},
        {"A8 01", "test al, 1"},
        {"A9 01 00 00 00", "test eax, 1"},
        {"F7 C3 01 00 00 00", "test ebx, 1"},
        {"F6 03 80", "test byte ptr [ebx], 0x80"},
        {"40", "inc eax"},
        {"66 4F", "dec di"},
        {"FE C0", "inc al"},
        {"FF 03", "inc dword ptr [ebx]"},
        {"F7 D8", "neg eax"},
        {"F6 13", "not byte ptr [ebx]"},
        {"F7 E3", "mul ebx"},
        {"F6 F1", "div cl"},
        {"F7 3B", "idiv dword ptr [ebx]"},
        {"F7 EB", "imul ebx"},
        {"0F AF C3", "imul eax, ebx"},
        {"6B C0 05", "imul eax, 5"},
        {"69 C0 E8 03 00 00", "imul eax, 1000"},
        {"6B C3 FB", "imul eax, ebx, -5"},
        {"69 03 E8 03 00 00", "imul eax, [ebx], 1000"},
        {"66 6B C0 05", "imul ax, 5"},
    };
    expectBytes(cases);
}

TEST(EncoderArithmetic, ShiftsRotatesAndBits) {
    const Case cases[] = {
        {"D1 E0", "shl eax, 1"},
        {"C1 E0 04", "shl eax, 4"},
        {"D3 E0", "shl eax, cl"},
        {"D1 E0", "sal eax, 1"},
        {"C0 EB FF", "shr bl, 255"},
        {"D1 3B", "sar dword ptr [ebx], 1"},
        {"66 D3 C0", "rol ax, cl"},
        {"D0 C8", "ror al, 1"},
        {"C1 D1 03", "rcl ecx, 3"},
        {"D2 1B", "rcr byte ptr [ebx], cl"},
        {"0F A4 D8 04", "shld eax, ebx, 4"},
        {"0F AD 1B", "shrd [ebx], ebx, cl"},
        {"0F A3 D8", "bt eax, ebx"},
        {"0F BA E0 05", "bt eax, 5"},
        {"0F AB 03", "bts [ebx], eax"},
        {"F0 0F BA 33 1F", "lock btr dword ptr [ebx], 31"},
        {"0F BB C8", "btc eax, ecx"},
        {"0F BC C3", "bsf eax, ebx"},
        {"66 0F BD 03", "bsr ax, word ptr [ebx]"},
        {"0F 94 C0", "sete al"},
        {"0F 94 C0", "setz al"},
        {"0F 9F 03", "setg byte ptr [ebx]"},
        {"0F 92 C1", "setnae cl"},
        {"0F 44 C3", "cmove eax, ebx"},
        {"0F 4F 03", "cmovg eax, [ebx]"},
        {"66 0F 42 C3", "cmovb ax, bx"},
    };
    expectBytes(cases);
}

TEST(EncoderAddressing, ModRMSibAndDisplacementAsGnuAsChooses)
// clang-format off
{
    const Case cases[] = {
        {"8B 00", "mov eax, [eax]"},
        {"8B 45 00", "mov eax, [ebp]"},            // EBP base needs a displacement
        {"8B 04 24", "mov eax, [esp]"},            // ESP base needs a SIB
        {"8B 44 24 04", "mov eax, [esp+4]"},
        {"8B 43 7F", "mov eax, [ebx+127]"},
        {"8B 83 80 00 00 00", "mov eax, [ebx+128]"},
        {"8B 43 80", "mov eax, [ebx-128]"},
        {"8B 83 7F FF FF FF", "mov eax, [ebx-129]"},
        {"8B 43 FF", "mov eax, [ebx+0xffffffff]"},  // wraps to -1
        {"8B 04 8B", "mov eax, [ebx+ecx*4]"},
        {"8B 44 B5 00", "mov eax, [ebp+esi*4]"},
        {"8B 04 2E", "mov eax, [esi+ebp]"},
        {"8B 04 75 00 00 00 00", "mov eax, [esi*2]"},  // index without base: disp32
        {"8B 04 35 00 00 00 00", "mov eax, [esi*1]"},
        {"8B 84 B3 00 01 00 00", "mov eax, [ebx+esi*4+0x100]"},
        {"8B 4C 24 FC", "mov ecx, [esp-4]"},
        {"8B 04 04", "mov eax, [esp+eax]"},
        {"8B 04 04", "mov eax, [eax+esp]"},  // MASM puts ESP in the base; GNU as refuses
        {"8B 1D 00 10 00 00", "mov ebx, [0x1000]"},
        // segment overrides; the default segment of the form is dropped as GNU as does
        {"64 8B 03", "mov eax, fs:[ebx]"},
        {"8B 03", "mov eax, ds:[ebx]"},
        {"36 8B 03", "mov eax, ss:[ebx]"},
        {"8B 45 00", "mov eax, ss:[ebp]"},
        {"3E 8B 45 00", "mov eax, ds:[ebp]"},
        {"2E 8B 44 24 04", "mov eax, cs:[esp+4]"},
        {"26 89 07", "mov es:[edi], eax"},
        {"36 A0 34 12 00 00", "mov al, ss:[0x1234]"},
        // 16-bit addressing: 67h, the [bx+si] table
        {"67 8B 00", "mov eax, [bx+si]"},
        {"67 8B 46 00", "mov eax, [bp]"},
        {"67 8B 43 04", "mov eax, [bp+di+4]"},
        {"67 8B 84 34 12", "mov eax, [si+0x1234]"},
        {"67 8B 07", "mov eax, [bx]"},
        {"67 66 8B 00", "mov ax, [bx+si]"},
        {"67 8B 02", "mov eax, ss:[bp+si]"},
        {"3E 67 8B 02", "mov eax, ds:[bp+si]"},
    };
    expectBytes(cases);
}
// clang-format on

TEST(EncoderStack, PushPopAndMasmSizedFlagsForms) {
    const Case cases[] = {
        {"50", "push eax"},
        {"66 53", "push bx"},
        {"FF 33", "push dword ptr [ebx]"},
        {"FF 33", "push [ebx]"},  // an unsized memory operand is a doubleword
        {"66 FF 33", "push word ptr [ebx]"},
        {"6A 05", "push 5"},
        {"6A FF", "push -1"},
        {"6A FF", "push 0xffffffff"},
        {"68 C8 00 00 00", "push 200"},
        {"68 7F FF FF FF", "push -129"},
        {"06", "push es"},
        {"0F A0", "push fs"},
        {"0F A8", "push gs"},
        {"5F", "pop edi"},
        {"8F 03", "pop [ebx]"},
        {"1F", "pop ds"},
        {"0F A9", "pop gs"},
        {"66 6A 05", "pushw 5"},
        {"66 68 E8 03", "pushw 1000"},
        {"6A 05", "pushd 5"},
        {"68 E8 03 00 00", "pushd 1000"},
        // MASM: PUSHA POPA PUSHF POPF are the 16-bit forms in a 32-bit segment;
        // GNU as reads them as PUSHAD ... (60 61 9C 9D).
        {"66 60", "pusha"},
        {"66 61", "popa"},
        {"66 9C", "pushf"},
        {"66 9D", "popf"},
        {"60", "pushad"},
        {"61", "popad"},
        {"9C", "pushfd"},
        {"9D", "popfd"},
        {"C8 08 00 00", "enter 8, 0"},
        {"C8 00 01 02", "enter 256, 2"},
        {"C9", "leave"},
    };
    expectBytes(cases);
}

TEST(EncoderStack, PushwAndPushdTakeRegistersMemoryAndTypedImmediates) {
    const Case cases[] = {
        {"66 51", "pushw cx"},
        {"66 FF 33", "pushw [ebx]"},  // the size comes from PUSHW
        {"66 FF 75 06", "pushw [ebp+6]"},
        {"66 FF 33", "pushw word ptr [ebx]"},
        {"66 FF 35 00 00 00 00", "pushw count"},
        {"52", "pushd edx"},
        {"FF 33", "pushd [ebx]"},
        {"FF 35 00 00 00 00", "pushd dword ptr total"},
        {"66 6A 00", "push word ptr 0"},  // two bytes pushed, as the type says
        {"66 68 E8 03", "push word ptr 1000"},
        {"66 6A FF", "push word ptr 0xffff"},
        {"6A 00", "push dword ptr 0"},
        {"68 E8 03 00 00", "push dword ptr 1000"},
        {"66 6A 07", "pushw word ptr 7"},
        {"6A 07", "pushd dword ptr 7"},
    };
    expectBytes(cases);
    const ErrorCase errors[] = {
        {EncodeError::InvalidOperands, "pushw ecx"},
        {EncodeError::InvalidOperands, "pushd cx"},
        {EncodeError::InvalidOperands, "pushw dword ptr [ebx]"},
        {EncodeError::InvalidOperands, "pushd word ptr [ebx]"},
        {EncodeError::InvalidOperands, "pushd word ptr 5"},
        {EncodeError::InvalidOperands, "pushw dword ptr 5"},
        {EncodeError::InvalidOperands, "push byte ptr 5"},
        {EncodeError::InvalidOperands, "pushw al"},
    };
    expectErrors(errors);
}

TEST(EncoderTypedImmediates, ThePtrTypeGivesTheSizeOfAMemoryDestination) {
    const Case cases[] = {
        {"C6 07 00", "mov [edi], byte ptr 0"},
        {"66 C7 07 07 00", "mov [edi], word ptr 7"},
        {"C7 07 07 00 00 00", "mov [edi], dword ptr 7"},
        {"66 83 3E 07", "cmp [esi], word ptr 7"},
        {"80 3E 07", "cmp [esi], byte ptr 7"},
        {"83 00 05", "add [eax], dword ptr 5"},
        {"81 28 E8 03 00 00", "sub [eax], dword ptr 1000"},
        {"F6 03 01", "test [ebx], byte ptr 1"},
        {"66 6B C0 05", "imul ax, word ptr 5"},
        {"C6 03 05", "mov byte ptr [ebx], byte ptr 5"},
        {"B0 05", "mov al, byte ptr 5"},
        {"66 83 C0 05", "add ax, word ptr 5"},
        {"B8 05 00 00 00", "mov eax, dword ptr 5"},
        {"C1 E0 03", "shl eax, byte ptr 3"},  // a count: its type is not read
        {"E4 60", "in al, byte ptr 0x60"},
    };
    expectBytes(cases);
    const ErrorCase errors[] = {
        {EncodeError::SizeMismatch, "mov al, word ptr 5"},
        {EncodeError::SizeMismatch, "mov eax, word ptr 5"},
        {EncodeError::SizeMismatch, "mov word ptr [ebx], byte ptr 5"},
        {EncodeError::SizeMismatch, "add dword ptr [ebx], word ptr 5"},
        {EncodeError::SizeMismatch, "mov [ebx], qword ptr 5"},
        {EncodeError::ImmediateTooBig, "mov [edi], byte ptr 256"},
        {EncodeError::SizeMissing, "mov [edi], 0"},
    };
    expectErrors(errors);
}

TEST(EncoderLaterProcessors, PentiumAndPentiumProInstructions) {
    const Case cases[] = {
        {"0F C7 0E", "cmpxchg8b [esi]"},
        {"0F C7 08", "cmpxchg8b qword ptr [eax]"},
        {"F0 0F C7 0E", "lock cmpxchg8b [esi]"},
        {"DF 08", "fisttp word ptr [eax]"},
        {"DB 08", "fisttp dword ptr [eax]"},
        {"DD 08", "fisttp qword ptr [eax]"},
        {"0F 0B", "ud2"},
        {"0F 33", "rdpmc"},
        {"0F A2", "cpuid"},
        {"0F 31", "rdtsc"},
        {"0F 44 C3", "cmove eax, ebx"},
        {"66 0F 4F 03", "cmovg ax, word ptr [ebx]"},
        {"DA C1", "fcmovb st, st(1)"},
        {"DB F1", "fcomi st, st(1)"},
        {"DF E9", "fucomip st, st(1)"},
        {"0F C9", "bswap ecx"},
        {"0F 09", "wbinvd"},
        {"0F 01 3B", "invlpg [ebx]"},
        {"0F 32", "rdmsr"},
        {"63 D8", "arpl ax, bx"},
        {"0F 01 13", "lgdt [ebx]"},
    };
    expectBytes(cases);
    const ErrorCase errors[] = {
        {EncodeError::SizeMismatch, "cmovz eax, bx"},
        {EncodeError::InvalidOperands, "cmpxchg8b eax"},
        {EncodeError::InvalidOperands, "fisttp st(1)"},
        {EncodeError::InvalidOperands, "fisttp tbyte ptr [eax]"},
    };
    expectErrors(errors);
}

// The processor directives as the encoder sees them.
constexpr CpuMode k8086{Cpu::I8086, Fpu::I8087, false};
constexpr CpuMode k286{Cpu::I286, Fpu::I287, false};
constexpr CpuMode k386{Cpu::I386, Fpu::I387, false};
constexpr CpuMode k486{Cpu::I486, Fpu::I387, false};
constexpr CpuMode k586{Cpu::P5, Fpu::I387, false};
constexpr CpuMode k686{Cpu::P6, Fpu::I387, false};
constexpr CpuMode k686P{Cpu::P6, Fpu::I387, true};
constexpr CpuMode k386No87{Cpu::I386, Fpu::None, false};

struct ModeCase {
    CpuMode mode;
    bool accepted;
    std::string_view text;
};

TEST(EncoderLaterProcessors, EachIsRefusedBelowItsProcessorDirective)
// clang-format off
{
    const ModeCase cases[] = {
        {k386, true, "mov eax, ebx"},        {k386, true, "movzx eax, bl"},       {k386, true, "fsin"},
        {k386, false, "bswap eax"},          {k386, false, "xadd [ebx], eax"},    {k386, false, "cpuid"},
        {k386, false, "rdtsc"},              {k386, false, "cmovz eax, ebx"},     {k386, false, "fcomi st, st(1)"},
        {k386, false, "fcmovb st, st(1)"},   {k386, false, "fisttp dword ptr [eax]"},
        {k386, false, "cmpxchg8b [esi]"},    {k486, true, "bswap eax"},          {k486, true, "cmpxchg [ebx], ecx"},
        {k486, false, "cpuid"},              {k586, true, "cpuid"},              {k586, true, "rdtsc"},
        {k586, true, "cmpxchg8b [esi]"},     {k586, false, "cmovne eax, [ebx]"}, {k586, false, "fucomip st, st(1)"},
        {k586, false, "ud2"},                {k686, true, "cmovne eax, [ebx]"},  {k686, true, "fcmovnbe st, st(3)"},
        {k686, true, "fcomip st, st(1)"},    {k686, true, "fisttp word ptr [eax]"}, {k686, true, "rdpmc"},
        {k686, false, "wbinvd"},             {k686, false, "rdmsr"},             {k686, false, "lgdt [ebx]"},
        {k686P, true, "wbinvd"},             {k686P, true, "rdmsr"},             {k686P, true, "invlpg [ebx]"},
        {k686, true, "sgdt [ebx]"},          {k286, true, "push 5"},             {k286, true, "pusha"},
        {k286, true, "mov ax, bx"},          {k286, true, "shl ax, 3"},          {k286, true, "fstsw ax"},
        {k286, false, "mov eax, ebx"},       {k286, false, "mov ax, [ebx]"},     {k286, false, "push fs"},
        {k286, false, "movzx ax, bl"},       {k286, false, "cwde"},              {k286, false, "fucom st(1)"},
        {k8086, true, "shl ax, 1"},          {k8086, false, "shl ax, 3"},        {k8086, false, "push 5"},
        {k8086, false, "fstsw ax"},          {k8086, true, "fld st(1)"},         {k386No87, false, "fld st(1)"},
        {k386No87, false, "finit"},          {k386No87, true, "fwait"},
    };
    SymbolTable symbols;
    Encoded out;
    for (const ModeCase& c : cases) {
        ParsedLine line;
        ASSERT_TRUE(parseLine(c.text, 0, symbols, line)) << c.text << ": " << line.error;
        Instruction insn = line.instruction();
        insn.mode = c.mode;
        const EncodeError error = encode(insn, 0, out);
        EXPECT_EQ(error, c.accepted ? EncodeError::None : EncodeError::NotInCpuMode) << c.text;
        insn.mode = CpuMode{};
        EXPECT_EQ(encode(insn, 0, out), EncodeError::None) << c.text << " with every processor enabled";
    }
}
// clang-format on

TEST(EncoderBranches, DisplacementsCountFromTheEndOfTheInstruction) {
    // Placed at 0x100; "$" is the instruction's own address.
    const Case cases[] = {
        {"E9 0B 00 00 00", "jmp $+16"},
        {"EB 0E", "jmp short $+16"},
        {"E9 0B 00 00 00", "jmp near $+16"},
        {"EB FE", "jmp short $"},
        {"EB 80", "jmp short $-126"},
        {"EB 7F", "jmp short $+129"},
        {"0F 84 0A 00 00 00", "je $+16"},
        {"74 0E", "jz short $+16"},
        {"7F F0", "jg short $-14"},
        {"0F 8C FA FE FF FF", "jl $-256"},
        {"67 E3 02", "jcxz $+5"},
        {"E3 03", "jecxz $+5"},
        {"E2 FE", "loop $"},
        {"E1 03", "loope $+5"},
        {"E0 03", "loopnz $+5"},
        {"E8 5F 00 00 00", "call $+100"},
        {"FF D0", "call eax"},
        {"FF 13", "call dword ptr [ebx]"},
        {"FF 13", "call [ebx]"},
        {"FF 1B", "call fword ptr [ebx]"},
        {"FF E0", "jmp eax"},
        {"FF 24 85 00 10 00 00", "jmp dword ptr [eax*4+0x1000]"},
        {"66 FF E0", "jmp ax"},
        {"FF 2B", "jmp fword ptr [ebx]"},
        {"C3", "ret"},
        {"C2 08 00", "ret 8"},
        {"C3", "retn"},
        {"C2 04 00", "retn 4"},
        {"CB", "retf"},
        {"CA 04 00", "retf 4"},
        {"CC", "int 3"},
        {"CD 21", "int 0x21"},
        {"CE", "into"},
        {"62 03", "bound eax, [ebx]"},
        {"62 03", "bound eax, qword ptr [ebx]"},
    };
    expectBytes(cases, 0x100);
}

TEST(EncoderBranches, TargetsAreAbsoluteOffsetsInTheSection) {
    SymbolTable symbols;
    Encoded out;
    Instruction jump;
    jump.mnemonic = "jmp";
    jump.operandCount = 1;
    jump.operands[0].kind = OperandKind::Imm;
    jump.operands[0].imm = {0x40, 0};
    jump.branch = BranchForm::Short;
    ASSERT_EQ(encode(jump, 0x50, out), EncodeError::None);
    EXPECT_EQ(hexBytes(out), "EB EE");  // 0x40 - 0x52
    jump.operands[0].imm = {0x40 + 0x52 + 200, 0};
    EXPECT_EQ(encode(jump, 0x50, out), EncodeError::JumpTooFar);
    jump.branch = BranchForm::Near;
    ASSERT_EQ(encode(jump, 0x50, out), EncodeError::None);
    EXPECT_EQ(hexBytes(out), "E9 05 01 00 00");  // 0x152 - 0x55 + ... = 0x105
}

TEST(EncoderStrings, StringInstructionsPrefixesAndOverrides) {
    const Case cases[] = {
        {"A4", "movsb"},
        {"66 A5", "movsw"},
        {"A5", "movsd"},
        {"F3 A4", "rep movsb"},
        {"66 F3 A5", "rep movsw"},
        {"F3 A6", "repe cmpsb"},
        {"F3 A6", "repz cmpsb"},
        {"F2 AE", "repne scasb"},
        {"F2 AF", "repnz scasd"},
        {"F3 AB", "rep stosd"},
        {"AC", "lodsb"},
        {"F3 6C", "rep insb"},
        {"6F", "outsd"},
        {"A4", "movs byte ptr [edi], byte ptr [esi]"},
        {"A4", "movs byte ptr es:[edi], byte ptr ds:[esi]"},
        {"64 A4", "movs byte ptr es:[edi], byte ptr fs:[esi]"},
        {"A5", "movs dword ptr [edi], [esi]"},  // the sized operand gives the other its size
        {"66 A7", "cmps word ptr [esi], word ptr es:[edi]"},
        {"AF", "scas dword ptr es:[edi]"},
        {"64 AC", "lods byte ptr fs:[esi]"},
        {"AA", "stos byte ptr [edi]"},
        {"6C", "ins byte ptr [edi], dx"},
        {"6E", "outs dx, byte ptr [esi]"},
        {"D7", "xlat"},
        {"D7", "xlatb"},
        {"D7", "xlat byte ptr [ebx]"},
        {"64 D7", "xlat byte ptr fs:[ebx]"},
        {"F0 01 03", "lock add [ebx], eax"},
        {"64 66 F0 01 03", "lock add word ptr fs:[ebx], ax"},
        {"F0 FF 03", "lock inc dword ptr [ebx]"},
        {"F0 87 0B", "lock xchg ecx, [ebx]"},
    };
    expectBytes(cases);
}

TEST(EncoderMisc, ProcessorControlDecimalAndPorts)
// clang-format off
{
    const Case cases[] = {
        {"90", "nop"},     {"F4", "hlt"},     {"F8", "clc"},     {"F9", "stc"},     {"F5", "cmc"},
        {"FC", "cld"},     {"FD", "std"},     {"FA", "cli"},     {"FB", "sti"},     {"9F", "lahf"},
        {"9E", "sahf"},    {"9B", "wait"},    {"9B", "fwait"},   {"0F A2", "cpuid"}, {"0F 31", "rdtsc"},
        {"37", "aaa"},     {"3F", "aas"},     {"D4 0A", "aam"},  {"D4 10", "aam 16"}, {"D5 0A", "aad"},
        {"27", "daa"},     {"2F", "das"},     {"F3", "rep"},     {"F2", "repnz"},  {"F0", "lock"},
        {"E4 60", "in al, 0x60"},
        {"66 E5 60", "in ax, 0x60"},
        {"ED", "in eax, dx"},
        {"E6 80", "out 0x80, al"},
        {"66 EF", "out dx, ax"},
    };
    expectBytes(cases);
}
// clang-format on

TEST(EncoderX87, LoadStoreCompareAndControl) {
    const Case cases[] = {
        {"D9 03", "fld dword ptr [ebx]"},
        {"DD 03", "fld qword ptr [ebx]"},
        {"DB 2B", "fld tbyte ptr [ebx]"},
        {"D9 03", "fld real4 ptr [ebx]"},
        {"D9 C1", "fld st(1)"},
        {"D9 C0", "fld st"},
        {"DD 13", "fst qword ptr [ebx]"},
        {"DD D2", "fst st(2)"},
        {"DB 3B", "fstp tbyte ptr [ebx]"},
        {"DD D9", "fstp st(1)"},
        {"DF 03", "fild word ptr [ebx]"},
        {"DB 03", "fild dword ptr [ebx]"},
        {"DF 2B", "fild qword ptr [ebx]"},
        {"DB 13", "fist dword ptr [ebx]"},
        {"DF 3B", "fistp qword ptr [ebx]"},
        {"DF 23", "fbld tbyte ptr [ebx]"},
        {"DF 33", "fbstp tbyte ptr [ebx]"},
        {"D9 C9", "fxch"},
        {"D9 CB", "fxch st(3)"},
        {"D8 D1", "fcom"},
        {"D8 D2", "fcom st(2)"},
        {"DC 13", "fcom qword ptr [ebx]"},
        {"D8 D9", "fcomp"},
        {"DE D9", "fcompp"},
        {"DB F1", "fcomi st, st(1)"},
        {"DF F2", "fcomip st, st(2)"},
        {"DD E1", "fucom"},
        {"DD E9", "fucomp"},
        {"DA E9", "fucompp"},
        {"DB E9", "fucomi st, st(1)"},
        {"DF E9", "fucomip st, st(1)"},
        {"DE 13", "ficom word ptr [ebx]"},
        {"DA 1B", "ficomp dword ptr [ebx]"},
        {"D9 E4", "ftst"},
        {"D9 E5", "fxam"},
        {"D9 E8", "fld1"},
        {"D9 EE", "fldz"},
        {"D9 EB", "fldpi"},
        {"D9 E9", "fldl2t"},
        {"D9 EA", "fldl2e"},
        {"D9 EC", "fldlg2"},
        {"D9 ED", "fldln2"},
        {"D9 FA", "fsqrt"},
        {"D9 FB", "fsincos"},
        {"D9 F9", "fyl2xp1"},
        {"9B DB E3", "finit"},
        {"DB E3", "fninit"},
        {"9B DB E2", "fclex"},
        {"DB E2", "fnclex"},
        {"9B DF E0", "fstsw ax"},
        {"DF E0", "fnstsw ax"},
        {"9B DD 3B", "fstsw [ebx]"},
        {"9B 64 DD 3B", "fstsw word ptr fs:[ebx]"},  // FWAIT before the override
        {"9B D9 3B", "fstcw word ptr [ebx]"},
        {"D9 3B", "fnstcw [ebx]"},
        {"D9 2B", "fldcw word ptr [ebx]"},
        {"9B D9 33", "fstenv [ebx]"},
        {"D9 23", "fldenv [ebx]"},
        {"9B DD 33", "fsave [ebx]"},
        {"DD 23", "frstor [ebx]"},
        {"D9 F7", "fincstp"},
        {"D9 F6", "fdecstp"},
        {"DD C1", "ffree st(1)"},
        {"D9 D0", "fnop"},
        {"DA C1", "fcmovb st, st(1)"},
        {"DB D2", "fcmovnbe st, st(2)"},
        {"DA DF", "fcmovu st, st(7)"},
    };
    expectBytes(cases);
}

// MASM reads the operand-less x87 arithmetic as the popping form on ST(1), ST and
// the one-register form as ST, ST(i). FSUB/FDIV with ST(i) as destination are the
// manual's DC E8+i / DC F8+i: the AT&T-syntax mixup (GNU as in AT&T mode gives
// FSUBP for "fsub" and DC E0+i for "fsub %st, %st(i)") does not apply here, and
// intel-syntax GNU as agrees with every line below.
TEST(EncoderX87, ArithmeticAsMasmReadsIt) {
    const Case cases[] = {
        {"DE C1", "fadd"},
        {"DE C9", "fmul"},
        {"DE E9", "fsub"},  // fsubp st(1), st: ST(1) - ST
        {"DE E1", "fsubr"},
        {"DE F9", "fdiv"},  // fdivp st(1), st: ST(1) / ST
        {"DE F1", "fdivr"},
        {"DE C1", "faddp"},
        {"DE E9", "fsubp"},
        {"DE E1", "fsubrp"},
        {"DE F9", "fdivp"},
        {"DE F1", "fdivrp"},
        {"D8 C2", "fadd st(2)"},
        {"D8 E2", "fsub st(2)"},
        {"D8 EA", "fsubr st(2)"},
        {"D8 F2", "fdiv st(2)"},
        {"DE EA", "fsubp st(2)"},
        {"D8 C9", "fmul st, st(1)"},
        {"D8 E2", "fsub st, st(2)"},
        {"DC EA", "fsub st(2), st"},
        {"DC E2", "fsubr st(2), st"},
        {"DC FA", "fdiv st(2), st"},
        {"DC F2", "fdivr st(2), st"},
        {"DE EA", "fsubp st(2), st"},
        {"DE E2", "fsubrp st(2), st"},
        {"DE FA", "fdivp st(2), st"},
        {"DE F2", "fdivrp st(2), st"},
        {"D8 C0", "fadd st, st"},
        {"D8 03", "fadd dword ptr [ebx]"},
        {"DC 23", "fsub qword ptr [ebx]"},
        {"DE 03", "fiadd word ptr [ebx]"},
        {"DA 03", "fiadd dword ptr [ebx]"},
        {"DE 3B", "fidivr word ptr [ebx]"},
        {"DA 0B", "fimul dword ptr [ebx]"},
    };
    expectBytes(cases);
}

TEST(EncoderErrors, MostSpecificDiagnostic) {
    const ErrorCase cases[] = {
        {EncodeError::UnknownMnemonic, "movq eax, ebx"},
        {EncodeError::UnknownMnemonic, "fcmovnbee st, st(1)"},
        {EncodeError::ImmediateTooBig, "mov al, 256"},
        {EncodeError::ImmediateTooBig, "mov al, -129"},
        {EncodeError::ImmediateTooBig, "mov ax, 65536"},
        {EncodeError::ImmediateTooBig, "mov eax, 0x100000000"},
        {EncodeError::ImmediateTooBig, "add byte ptr [ebx], 300"},
        {EncodeError::ImmediateTooBig, "shl eax, 256"},
        {EncodeError::ImmediateTooBig, "int 256"},
        {EncodeError::ImmediateTooBig, "ret 0x10000"},
        {EncodeError::ImmediateTooBig, "mov eax, [ebx+0x100000000]"},
        {EncodeError::ImmediateTooBig, "mov eax, [ext+0x100000000]"},
        {EncodeError::ImmediateTooBig, "mov eax, [bx+0x10000]"},
        {EncodeError::ImmediateTooBig, "mov eax, offset ext+0x100000000"},
        {EncodeError::ImmediateTooBig, "mov al, offset ext+256"},
        {EncodeError::SizeMissing, "inc [ebx]"},
        {EncodeError::SizeMissing, "mov [ebx], 1"},
        {EncodeError::SizeMissing, "mov [ebx], 256"},
        {EncodeError::SizeMissing, "shl [ebx], cl"},
        {EncodeError::SizeMissing, "movzx eax, [ebx]"},
        {EncodeError::SizeMissing, "fld [ebx]"},
        {EncodeError::SizeMissing, "fiadd [ebx]"},
        {EncodeError::SizeMissing, "movs [edi], [esi]"},
        {EncodeError::SizeMissing, "lods [esi]"},
        {EncodeError::SizeMismatch, "mov eax, bx"},
        {EncodeError::SizeMismatch, "mov al, word ptr [ebx]"},
        {EncodeError::SizeMismatch, "add eax, byte ptr [ebx]"},
        {EncodeError::SizeMismatch, "movs byte ptr [edi], word ptr [esi]"},
        {EncodeError::InvalidOperands, "mov [ebx], [ecx]"},
        {EncodeError::InvalidOperands, "mov 5, eax"},
        {EncodeError::InvalidOperands, "push al"},
        {EncodeError::InvalidOperands, "fld word ptr [ebx]"},
        {EncodeError::InvalidOperands, "inc"},
        {EncodeError::InvalidOperands, "nop eax"},
        {EncodeError::InvalidOperands, "mov eax, [ebx+ecx*3]"},
        {EncodeError::InvalidOperands, "mov eax, [esp+esp]"},
        {EncodeError::InvalidOperands, "mov eax, [ebx+si]"},
        {EncodeError::InvalidOperands, "mov eax, [si+di]"},
        {EncodeError::InvalidOperands, "mov eax, [ax]"},
        {EncodeError::InvalidOperands, "stos byte ptr fs:[edi]"},
        {EncodeError::InvalidOperands, "loop near $+5"},
        {EncodeError::InvalidOperands, "call short $+5"},
        {EncodeError::InvalidOperands, "fadd st(1), st(2)"},
        {EncodeError::InvalidOperands, "shl eax, bl"},
        {EncodeError::JumpTooFar, "jmp short $+200"},
        {EncodeError::JumpTooFar, "je short $-127"},
        {EncodeError::JumpTooFar, "loop $+130"},
        {EncodeError::JumpTooFar, "jecxz $-200"},
        {EncodeError::JumpTooFar, "jmp $+0x100000000"},
        {EncodeError::JumpTooFar, "call ext+0x100000000"},
        {EncodeError::PrefixNotAllowed, "rep add eax, ebx"},
        {EncodeError::PrefixNotAllowed, "repe movsb"},
        {EncodeError::PrefixNotAllowed, "lock add eax, ebx"},
        {EncodeError::PrefixNotAllowed, "lock add eax, [ebx]"},
        {EncodeError::PrefixNotAllowed, "lock mov [ebx], eax"},
        {EncodeError::PrefixNotAllowed, "lock cmp [ebx], eax"},
    };
    expectErrors(cases);
}

TEST(EncoderErrors, OperandsFromTheFrontEndOutsideTheirRanges) {
    Encoded out;
    Instruction insn;
    insn.mnemonic = "mov";
    insn.operandCount = 2;
    insn.operands[0].kind = OperandKind::Reg;
    insn.operands[0].reg = {RegClass::Gpr32, 9};
    insn.operands[1].kind = OperandKind::Reg;
    insn.operands[1].reg = {RegClass::Gpr32, 0};
    EXPECT_EQ(encode(insn, 0, out), EncodeError::InvalidOperands);
    insn.operands[0] = {};
    insn.operands[0].kind = OperandKind::Mem;
    insn.operands[0].base = {RegClass::Gpr32, 200};
    EXPECT_EQ(encode(insn, 0, out), EncodeError::InvalidOperands);
    insn.operands[0].base = {};
    insn.operands[0].segment = {RegClass::Segment, 6};
    EXPECT_EQ(encode(insn, 0, out), EncodeError::InvalidOperands);
    insn.operands[0].segment = {RegClass::Gpr32, 0};
    EXPECT_EQ(encode(insn, 0, out), EncodeError::InvalidOperands);
    insn.operandCount = 4;
    EXPECT_EQ(encode(insn, 0, out), EncodeError::InvalidOperands);
    insn.mnemonic = "";
    EXPECT_EQ(encode(insn, 0, out), EncodeError::UnknownMnemonic);
    insn.mnemonic = "movsxmovzx";
    EXPECT_EQ(encode(insn, 0, out), EncodeError::UnknownMnemonic);
}

struct FixupCase {
    std::string_view text;
    std::string_view bytes;
    std::uint8_t offset;
    FixupKind kind;
    std::int64_t addend;
};

TEST(EncoderFixups, SymbolsGiveFullSizeFieldsWithRelAddends) {
    const FixupCase cases[] = {
        {"mov eax, [ext]", "A1 00 00 00 00", 1, FixupKind::Abs32, 0},
        {"mov eax, dword ptr ext", "A1 00 00 00 00", 1, FixupKind::Abs32, 0},
        {"mov ecx, [ext+8]", "8B 0D 08 00 00 00", 2, FixupKind::Abs32, 8},
        {"mov eax, [ebx+ext]", "8B 83 00 00 00 00", 2, FixupKind::Abs32, 0},  // never disp8
        {"mov eax, [ebp+ext-4]", "8B 85 FC FF FF FF", 2, FixupKind::Abs32, -4},
        {"mov eax, [esi*4+ext]", "8B 04 B5 00 00 00 00", 3, FixupKind::Abs32, 0},
        {"mov eax, offset ext", "B8 00 00 00 00", 1, FixupKind::Abs32, 0},
        {"push offset ext+4", "68 04 00 00 00", 1, FixupKind::Abs32, 4},  // never 6A
        {"add eax, offset ext", "05 00 00 00 00", 1, FixupKind::Abs32, 0},
        {"add ebx, offset ext", "81 C3 00 00 00 00", 2, FixupKind::Abs32, 0},
        {"mov dword ptr [ebx+4], offset ext", "C7 43 04 00 00 00 00", 3, FixupKind::Abs32, 0},
        {"mov ax, offset ext", "66 B8 00 00", 2, FixupKind::Abs16, 0},
        {"mov al, offset ext", "B0 00", 1, FixupKind::Abs8, 0},
        {"mov eax, [bx+ext]", "67 8B 87 00 00", 3, FixupKind::Abs16, 0},
        {"call ext", "E8 FC FF FF FF", 1, FixupKind::Pc32, -4},
        {"jmp ext+8", "E9 04 00 00 00", 1, FixupKind::Pc32, 4},
        {"jne ext", "0F 85 FC FF FF FF", 2, FixupKind::Pc32, -4},
        {"jmp short ext", "EB FF", 1, FixupKind::Pc8, -1},
        {"loop ext", "E2 FF", 1, FixupKind::Pc8, -1},
    };
    for (const FixupCase& c : cases) {
        SymbolTable symbols;
        Encoded out;
        ASSERT_EQ(encodeText(c.text, 0x200, out, symbols), EncodeError::None) << c.text;
        EXPECT_EQ(hexBytes(out), c.bytes) << c.text;
        ASSERT_EQ(out.fixups.size(), 1u) << c.text;
        EXPECT_EQ(out.fixups[0].offset, c.offset) << c.text;
        EXPECT_EQ(out.fixups[0].kind, c.kind) << c.text;
        EXPECT_EQ(out.fixups[0].symbol, symbols.id("ext")) << c.text;
        EXPECT_EQ(out.fixups[0].addend, c.addend) << c.text;
    }
}

TEST(EncoderFixups, TwoFieldsWithSymbolsAndReuseOfTheOutput) {
    SymbolTable symbols;
    Encoded out;
    ASSERT_EQ(encodeText("mov dword ptr [a+4], offset b", 0, out, symbols), EncodeError::None);
    EXPECT_EQ(hexBytes(out), "C7 05 04 00 00 00 00 00 00 00");
    ASSERT_EQ(out.fixups.size(), 2u);
    EXPECT_EQ(out.fixups[0].offset, 2);
    EXPECT_EQ(out.fixups[0].symbol, symbols.id("a"));
    EXPECT_EQ(out.fixups[1].offset, 6);
    EXPECT_EQ(out.fixups[1].symbol, symbols.id("b"));
    ASSERT_EQ(encodeText("nop", 0, out, symbols), EncodeError::None);
    EXPECT_TRUE(out.fixups.empty());
    EXPECT_EQ(out.displacement.size, 0);
    EXPECT_EQ(out.immediate.size, 0);
}

struct FieldCase {
    std::string_view text;
    std::uint8_t prefixLength;
    bool operandSize;
    bool addressSize;
    Field displacement;
    Field immediate;
    Field immediate2;
};

TEST(EncoderFields, WhereTheListingFindsPrefixesDisplacementsAndImmediates) {
    const FieldCase cases[] = {
        {"mov eax, 5", 0, false, false, {0, 0}, {1, 4}, {0, 0}},
        {"mov word ptr [ebx+8], 5", 1, true, false, {3, 1}, {4, 2}, {0, 0}},
        {"lock add word ptr fs:[ebx+0x100], 5", 3, true, false, {5, 4}, {9, 1}, {0, 0}},
        {"mov eax, [bx+si+0x200]", 1, false, true, {3, 2}, {0, 0}, {0, 0}},
        {"mov eax, [0x1234]", 0, false, false, {1, 4}, {0, 0}, {0, 0}},
        {"enter 16, 1", 0, false, false, {0, 0}, {1, 2}, {3, 1}},
        {"fstsw word ptr [ebx+4]", 1, false, false, {3, 1}, {0, 0}, {0, 0}},
        {"jcxz $+5", 1, false, true, {2, 1}, {0, 0}, {0, 0}},
        {"call $+5", 0, false, false, {1, 4}, {0, 0}, {0, 0}},
        {"rep movsw", 2, true, false, {0, 0}, {0, 0}, {0, 0}},
    };
    for (const FieldCase& c : cases) {
        SymbolTable symbols;
        Encoded out;
        ASSERT_EQ(encodeText(c.text, 0, out, symbols), EncodeError::None) << c.text;
        EXPECT_EQ(out.prefixLength, c.prefixLength) << c.text;
        EXPECT_EQ(out.operandSizePrefix, c.operandSize) << c.text;
        EXPECT_EQ(out.addressSizePrefix, c.addressSize) << c.text;
        EXPECT_EQ(out.displacement.offset, c.displacement.offset) << c.text;
        EXPECT_EQ(out.displacement.size, c.displacement.size) << c.text;
        EXPECT_EQ(out.immediate.offset, c.immediate.offset) << c.text;
        EXPECT_EQ(out.immediate.size, c.immediate.size) << c.text;
        EXPECT_EQ(out.immediate2.offset, c.immediate2.offset) << c.text;
        EXPECT_EQ(out.immediate2.size, c.immediate2.size) << c.text;
    }
}

TEST(EncoderTable, IndexFindsTheFormsOfEveryMnemonicInTableOrder) {
    const auto all = formIndex().all();
    std::size_t found = 0;
    for (MnemonicKey key : formIndex().mnemonics()) {
        const auto forms = formIndex().find(key);
        ASSERT_FALSE(forms.empty()) << mnemonicName(key);
        std::size_t expected = 0;
        for (const Form& form : all) expected += form.key == key;
        EXPECT_EQ(forms.size(), expected) << mnemonicName(key);
        for (std::size_t i = 0; i < forms.size(); ++i) {
            EXPECT_EQ(forms[i].key, key);
            if (i > 0) {
                EXPECT_LT(forms[i - 1].row, forms[i].row) << mnemonicName(key);
            }
        }
        found += forms.size();
    }
    EXPECT_EQ(found, all.size());
    EXPECT_TRUE(formIndex().find(0).empty());
    EXPECT_TRUE(formIndex().find(mnemonicKey("movx")).empty());
    EXPECT_TRUE(formIndex().find(mnemonicKey("zzzzzzzz")).empty());
}

TEST(EncoderTable, QuickChecksAgreeWithTheFullMatch) {
    std::vector<Operand> samples;
    auto reg = [](RegClass cls, std::uint8_t number) {
        Operand o;
        o.kind = OperandKind::Reg;
        o.reg = Register{cls, number};
        return o;
    };
    for (RegClass cls : {RegClass::Gpr8, RegClass::Gpr16, RegClass::Gpr32, RegClass::Segment, RegClass::Fpu})
        for (std::uint8_t n : {0, 1, 3}) samples.push_back(reg(cls, n));
    for (std::int64_t value : {1, 3, -1, 200, 70000}) {
        Operand imm;
        imm.kind = OperandKind::Imm;
        imm.imm = Value{value, 0};
        samples.push_back(imm);
    }
    for (std::uint8_t size : {0, 1, 2, 4, 8, 10}) {
        Operand mem;
        mem.kind = OperandKind::Mem;
        mem.base = Register{RegClass::Gpr32, 3};
        mem.size = size;
        samples.push_back(mem);
        mem.base = {};
        samples.push_back(mem);
    }
    samples.push_back(Operand{});  // no operand at all in its place

    std::size_t ruledOut = 0;
    for (const Form& form : formIndex().all()) {
        for (std::uint8_t count = 0; count <= 3; ++count) {
            for (std::size_t a = 0; a < samples.size(); a += count >= 1 ? 1 : samples.size()) {
                for (std::size_t b = 0; b < samples.size(); b += count >= 2 ? 3 : samples.size()) {
                    Instruction insn;
                    insn.mnemonic = "x";
                    insn.operandCount = count;
                    insn.operands = {samples[a], samples[b], samples[(a + b) % samples.size()]};
                    if (kindsFit(form, count, operandKinds(insn))) {
                        // The search for the first matching form stops at the first miss.
                        ASSERT_EQ(operandsMatch(form, insn), matchOperands(form, insn) == Closeness::Match)
                            << "row " << form.row;
                        continue;
                    }
                    ASSERT_EQ(matchForm(form, insn), Closeness::WrongKind);
                    if (count != form.operandCount) continue;
                    // Operand by operand, the form is as far off as the kinds say.
                    ++ruledOut;
                    ASSERT_EQ(matchOperands(form, insn), Closeness::WrongKind)
                        << "row " << form.row << " with " << int(count) << " operands";
                }
            }
        }
    }
    EXPECT_GT(ruledOut, 10000u);
}

TEST(EncoderNames, RegistersPrefixesAndMnemonicsIgnoreCase) {
    EXPECT_EQ(lookupRegister("EAX"), (Register{RegClass::Gpr32, 0}));
    EXPECT_EQ(lookupRegister("Edi"), (Register{RegClass::Gpr32, 7}));
    EXPECT_EQ(lookupRegister("bh"), (Register{RegClass::Gpr8, 7}));
    EXPECT_EQ(lookupRegister("SP"), (Register{RegClass::Gpr16, 4}));
    EXPECT_EQ(lookupRegister("gs"), (Register{RegClass::Segment, 5}));
    EXPECT_EQ(lookupRegister("ST"), (Register{RegClass::Fpu, 0}));
    EXPECT_EQ(lookupRegister("st(6)"), (Register{RegClass::Fpu, 6}));
    EXPECT_EQ(lookupRegister("eaxx").cls, RegClass::None);
    EXPECT_EQ(lookupRegister("").cls, RegClass::None);
    EXPECT_EQ(lookupRegister("st(8)").cls, RegClass::None);
    EXPECT_EQ(lookupRegister("cr0").cls, RegClass::None);
    // Names are compared whole: a trailing NUL or a prefix of a register is no register.
    EXPECT_EQ(lookupRegister(std::string_view("ax\0", 3)).cls, RegClass::None);
    EXPECT_EQ(lookupRegister(std::string_view("st(1)\0\0", 7)).cls, RegClass::None);
    EXPECT_EQ(lookupRegister("e").cls, RegClass::None);
    EXPECT_EQ(lookupRegister("st(").cls, RegClass::None);

    EXPECT_EQ(lookupPrefix("REP"), Prefix::Rep);
    EXPECT_EQ(lookupPrefix("repz"), Prefix::Repe);
    EXPECT_EQ(lookupPrefix("RepNE"), Prefix::Repne);
    EXPECT_EQ(lookupPrefix("lock"), Prefix::Lock);
    EXPECT_EQ(lookupPrefix("movsb"), Prefix::None);

    for (std::string_view name :
         {"mov", "MOV", "FuComIp", "jnae", "SETNLE", "cmovpo", "fcmovnbe", "pushw", "retn", "rep"})
        EXPECT_TRUE(isInstruction(name)) << name;
    for (std::string_view name : {"", "movq", "jcc", "mov ", "fcmovnbee", "eax", "m@v"})
        EXPECT_FALSE(isInstruction(name)) << name;

    for (std::string_view name : {"JMP", "jz", "jecxz", "loopne", "call"}) EXPECT_TRUE(isRelativeBranch(name)) << name;
    for (std::string_view name : {"ret", "mov", "int", "setz"}) EXPECT_FALSE(isRelativeBranch(name)) << name;

    Encoded out;
    SymbolTable symbols;
    ASSERT_EQ(encodeText("MoV EAX, EbX", 0, out, symbols), EncodeError::None);
    EXPECT_EQ(hexBytes(out), "8B C3");
}

TEST(EncoderNames, AMnemonicLookedUpOnceEncodesAsItsName) {
    EXPECT_EQ(lookupMnemonic("MOV").index, lookupMnemonic("mov").index);
    EXPECT_NE(lookupMnemonic("mov").index, lookupMnemonic("add").index);
    EXPECT_FALSE(lookupMnemonic("movx"));
    EXPECT_FALSE(lookupMnemonic(""));
    EXPECT_FALSE(lookupMnemonic("1"));
    for (MnemonicKey key : formIndex().mnemonics()) {
        const Mnemonic m = formIndex().lookup(key);
        ASSERT_TRUE(m) << mnemonicName(key);
        EXPECT_EQ(lookupMnemonic(mnemonicName(key)).index, m.index);
        EXPECT_EQ(formIndex().forms(m).data(), formIndex().find(key).data());
    }
    EXPECT_TRUE(formIndex().forms(Mnemonic{}).empty());
    EXPECT_TRUE(formIndex().forms(Mnemonic{1u << 30}).empty());

    SymbolTable symbols;
    for (std::string_view text : {"add eax, 5", "jmp short 0x10", "fld st(3)", "rep movsd", "push dword ptr [ebp+8]"}) {
        ParsedLine line;
        ASSERT_TRUE(parseLine(text, 0, symbols, line)) << text;
        Instruction insn = line.instruction();
        Encoded byName, byHandle;
        ASSERT_EQ(encode(insn, 0, byName), EncodeError::None) << text;
        insn.known = lookupMnemonic(insn.mnemonic);
        ASSERT_TRUE(insn.known) << text;
        ASSERT_EQ(encode(insn, 0, byHandle), EncodeError::None) << text;
        EXPECT_EQ(hexBytes(byHandle), hexBytes(byName)) << text;
    }
}

}  // namespace
}  // namespace ml::x86::test
