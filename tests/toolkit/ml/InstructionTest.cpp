// Instructions as the front end hands them to the encoder: operand forms with data
// labels, PTR, indexes and segment overrides, jump sizing, INVOKE, PROC frames and
// the .IF family, checked byte for byte against GNU as.
#include <fstream>

#include <gtest/gtest.h>

#include "MlTestSupport.h"

using mltest::assemble;
using mltest::AssemblyErrors;
using mltest::TempDir;

namespace {

// Both sources share this data layout, so relocated fields hold the same addends.
const char* kMasmData =
    ".DATA\n"
    "count DWORD 5\n"
    "bytes BYTE 1, 2, 3\n"
    "arr DWORD 10 DUP (0)\n"
    "wval WORD 7\n"
    "real REAL8 1.0\n";
const char* kGasData =
    ".data\n"
    "count: .long 5\n"
    "bytes: .byte 1, 2, 3\n"
    "arr: .fill 10, 4, 0\n"
    "wval: .word 7\n"
    "real: .double 1.0\n";

struct Pair {
    const char* masm;
    const char* gas;
};

// MASM operand form                        GNU as (Intel syntax) equivalent
// clang-format off
const Pair kOperandForms[] = {
    {"mov eax, count",                       "mov eax, DWORD PTR count"},
    {"mov count, 7",                         "mov DWORD PTR count, 7"},
    {"mov al, bytes[ebx]",                   "mov al, BYTE PTR bytes[ebx]"},
    {"mov eax, arr[esi*4]",                  "mov eax, DWORD PTR arr[esi*4]"},
    {"mov eax, [arr + esi*4 + 8]",           "mov eax, DWORD PTR arr[esi*4+8]"},
    {"mov eax, arr + 8[esi]",                "mov eax, DWORD PTR arr[esi+8]"},
    {"mov edx, [ebx][esi]",                  "mov edx, DWORD PTR [ebx+esi]"},
    {"lea esi, bytes + 1",                   "lea esi, bytes+1"},
    {"mov eax, OFFSET arr + 4",              "mov eax, OFFSET arr+4"},
    {"push OFFSET count",                    "push OFFSET count"},
    {"push count",                           "push DWORD PTR count"},
    {"inc BYTE PTR [ebx]",                   "inc BYTE PTR [ebx]"},
    {"mov ax, WORD PTR count",               "mov ax, WORD PTR count"},
    {"mov wval, 9",                          "mov WORD PTR wval, 9"},
    {"movzx eax, bytes",                     "movzx eax, BYTE PTR bytes"},
    {"movsx ecx, wval",                      "movsx ecx, WORD PTR wval"},
    {"fld real",                             "fld QWORD PTR real"},
    {"fstp REAL4 PTR [esp]",                 "fstp DWORD PTR [esp]"},
    {"fadd st, st(3)",                       "fadd st, st(3)"},
    {"add eax, limit",                       "add eax, 13"},
    {"imul eax, count, limit * 2",           "imul eax, DWORD PTR count, 26"},
    {"mov eax, es:[edi]",                    "mov eax, DWORD PTR es:[edi]"},
    {"mov eax, [ebp+8]",                     "mov eax, DWORD PTR [ebp+8]"},
    {"mov eax, [esp*1 + ebx]",               "mov eax, DWORD PTR [ebx+esp]"},
    {"cmp BYTE PTR [esi+ecx], 'A'",          "cmp BYTE PTR [esi+ecx], 65"},
    {"mov eax, SIZEOF arr",                  "mov eax, 40"},
    {"mov ecx, LENGTHOF arr",                "mov ecx, 10"},
    {"rep movsb",                            "rep movsb"},
    {"shl eax, 1",                           "shl eax, 1"},
    {"call [ebx]",                           "call DWORD PTR [ebx]"},
    {"jmp DWORD PTR arr[ecx*4]",             "jmp DWORD PTR arr[ecx*4]"},
};
// clang-format on

std::vector<std::uint8_t> gasSection(const TempDir& dir, const std::string& source, const std::string& section) {
    auto s = dir.write("gas.s", ".intel_syntax noprefix\n" + source);
    std::string out;
    std::string obj = (dir.path() / "gas.o").string();
    std::string bin = (dir.path() / "gas.bin").string();
    EXPECT_EQ(mltest::runCommand("as --32 -msyntax=intel -mnaked-reg -o " + obj + " " + s.string(), &out), 0) << out;
    EXPECT_EQ(mltest::runCommand("objcopy -O binary --only-section=" + section + " " + obj + " " + bin, &out), 0)
        << out;
    std::ifstream in(bin, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Instruction, OperandFormsEncodeAsGnuAsDoes) {
    TempDir dir;
    std::string masm = ".386\n.MODEL FLAT\nlimit EQU 13\n" + std::string(kMasmData) + ".CODE\n";
    std::string gas = std::string(kGasData) + ".text\n";
    for (const Pair& p : kOperandForms) {
        masm += std::string(p.masm) + "\n";
        gas += std::string(p.gas) + "\n";
    }
    auto a = assemble(dir, masm + "END\n");
    ASSERT_TRUE(a.ok) << a.messages();
    EXPECT_EQ(a.hexBytes(".data"), mltest::hex(gasSection(dir, gas, ".data")));
    // Line by line, so that a difference names its operand form.
    for (const Pair& p : kOperandForms) {
        auto one = assemble(
            dir, ".386\n.MODEL FLAT\nlimit EQU 13\n" + std::string(kMasmData) + ".CODE\n" + p.masm + "\nEND\n");
        ASSERT_TRUE(one.ok) << p.masm << "\n" << one.messages();
        EXPECT_EQ(one.hexBytes(".text"),
                  mltest::hex(gasSection(dir, std::string(kGasData) + ".text\n" + p.gas + "\n", ".text")))
            << p.masm;
    }
}

namespace {

// A MASM source, the GNU as (Intel syntax) source of the same code, lines that the
// object's description must hold, and how many passes the assembly needs at least.
struct CodeCase {
    const char* name;
    std::string masm;
    std::string gas;
    std::vector<std::string> objectHas = {};
    unsigned minPasses = 0;
};

void PrintTo(const CodeCase& row, std::ostream* os) { *os << row.name; }

class InstructionCode : public testing::TestWithParam<CodeCase> {};

TEST_P(InstructionCode, EncodesAsGnuAsDoes) {
    const CodeCase& c = GetParam();
    TempDir dir;
    auto a = assemble(dir, c.masm);
    ASSERT_TRUE(a.ok) << a.messages();
    EXPECT_EQ(a.hexBytes(".text"), mltest::hex(gasSection(dir, c.gas, ".text")));
    const std::string obj = mltest::describeObject(a.object());
    for (const std::string& line : c.objectHas) EXPECT_NE(obj.find(line), std::string::npos) << line << "\n" << obj;
    EXPECT_GE(a.assembler->passes(), c.minPasses);
}

const CodeCase kCodeCases[] = {
    {"JumpsAreShortWhenTheTargetIsNear",
     ".386\n.MODEL FLAT\n.CODE\n"
     "top: nop\n"
     " jz top\n"
     " jmp fwd\n"
     " loop top\n"
     " jecxz fwd\n"
     "fwd: REPT 130\n nop\n ENDM\n"
     " jnz top\n"
     " jmp far1\n"
     " je SHORT near1\n"
     "near1: call top\n"
     " REPT 200\n nop\n ENDM\n"
     "far1: jmp top\n"
     "END\n",
     ".text\n"
     "top: nop\n"
     " jz top\n"
     " jmp fwd\n"
     " loop top\n"
     " jecxz fwd\n"
     "fwd: .rept 130\n nop\n .endr\n"
     " jnz top\n"
     " jmp far1\n"
     " je near1\n"
     "near1: call top\n"
     " .rept 200\n nop\n .endr\n"
     "far1: jmp top\n",
     {},
     3},  // the far jump forward needed a second look
    {"InvokePushesRightToLeftWithPrototypeSizes",
     ".386\n.MODEL FLAT\n"
     "Take PROTO NEAR32 stdcall, a:DWORD, b:WORD, c:QWORD\n"
     "Sum PROTO C, n:DWORD, rest:VARARG\n"
     ".DATA\nq QWORD 1\nw WORD 2\nd DWORD 3\nmsg BYTE 'x'\n"
     ".CODE\n"
     "INVOKE Take, d, w, q\n"
     "INVOKE Take, 5, ax, 100000000h\n"
     "INVOKE Sum, 1, ADDR msg, eax\n"
     "END\n",
     ".data\nq: .quad 1\nw: .word 2\nd: .long 3\nmsg: .byte 120\n"
     ".text\n"
     "push DWORD PTR q+4\npush DWORD PTR q\nmovzx eax, WORD PTR w\npush eax\npush DWORD PTR d\ncall \"_Take@16\"\n"
     "push 1\npush 0\nmovzx eax, ax\npush eax\npush 5\ncall \"_Take@16\"\n"
     "push eax\npush OFFSET msg\npush 1\ncall _Sum\nadd esp, 12\n",
     {"symbol _Take@16 global undefined", "symbol _Sum global undefined"}},
    {"ProceduresWithParametersLocalsAndUses",
     ".386\n.MODEL FLAT, stdcall\n.CODE\n"
     "Add2 PROC USES ebx, x:DWORD, y:DWORD\n"
     "    LOCAL tmp:DWORD, buf[4]:BYTE\n"
     "    mov eax, x\n"
     "    add eax, y\n"
     "    mov tmp, eax\n"
     "    lea ebx, buf\n"
     "    ret\n"
     "Add2 ENDP\n"
     "Leaf PROC C\n"
     "again: dec eax\n"
     "    jnz again\n"
     "    ret\n"
     "Leaf ENDP\n"
     "Other PROC\n"
     "again: ret\n"
     "Other ENDP\n"
     "END\n",
     ".text\n"
     "push ebp\n{load} mov ebp, esp\nadd esp, -8\npush ebx\n"
     "mov eax, DWORD PTR [ebp+8]\nadd eax, DWORD PTR [ebp+12]\nmov DWORD PTR [ebp-4], eax\nlea ebx, [ebp-8]\n"
     "pop ebx\nleave\nret 8\n"
     "1: dec eax\njnz 1b\nret\n"
     "ret\n",
     {"symbol _Add2@8 global .text+0", "symbol _Leaf global .text+", "symbol again local"}},
    {"HighLevelControlFlow",
     ".386\n.MODEL FLAT\n.DATA\nsv SDWORD -1\n.CODE\n"
     ".IF eax == 1 && ebx != 2\n"
     "  nop\n"
     ".ELSEIF sv < 0 || ecx\n"
     "  inc eax\n"
     ".ELSE\n"
     "  dec eax\n"
     ".ENDIF\n"
     ".WHILE eax > 0\n"
     "  dec eax\n"
     "  .BREAK .IF eax == 5\n"
     ".ENDW\n"
     ".REPEAT\n"
     "  .CONTINUE .IF ZERO?\n"
     ".UNTIL ecx >= 3\n"
     "END\n",
     ".data\nsv: .long -1\n.text\n"
     "cmp eax, 1\njne 1f\ncmp ebx, 2\nje 1f\nnop\njmp 4f\n"
     "1: cmp DWORD PTR sv, 0\njl 2f\n{load} or ecx, ecx\nje 3f\n2: inc eax\njmp 4f\n"
     "3: dec eax\n4:\n"
     "jmp 6f\n5: dec eax\ncmp eax, 5\nje 7f\n6: cmp eax, 0\nja 5b\n7:\n"
     "8: jz 9f\n9: cmp ecx, 3\njb 8b\n"},
    // With a comparison the loop also ends when it holds: LOOPNE for ==, LOOPE for !=.
    {"UntilCxzLoopsOnEcx",
     ".386\n.MODEL FLAT\n.CODE\n"
     ".REPEAT\n  inc eax\n.UNTILCXZ\n"
     ".repeat\n  dec ebx\n.untilcxz ebx == 7\n"
     ".REPEAT\n  lodsb\n.UNTILCXZ al != 20h\n"
     "END\n",
     "1: inc eax\nloop 1b\n2: dec ebx\ncmp ebx, 7\nloopne 2b\n"
     "3: lodsb\ncmp al, 0x20\nloope 3b\n"},
};

INSTANTIATE_TEST_SUITE_P(Instruction, InstructionCode, testing::ValuesIn(kCodeCases), mltest::rowName<CodeCase>);

const mltest::ErrorCase kErrorCases[] = {
    {"ShortJumpOutOfRangeAndBadOperands",
     ".386\n.MODEL FLAT\n.DATA\nb BYTE 0\nd DWORD 0\n.CODE\n"
     "start: jmp SHORT later\n"
     "REPT 200\n nop\nENDM\n"
     "later: mov eax, b\n"
     "mov b, d\n"
     "inc [ebx]\n"
     "frobnicate eax\n"
     "mov eax, 1, 2, 3\n"
     "mov eax, [ebx*3]\n"
     "mov eax, [ax]\n"
     "add eax, 1.5\n"
     "END\n",
     "test.asm(7) : error A2075: jump target is out of range\n"
     "test.asm(11) : error A2022: operands of the instruction differ in size\n"
     "test.asm(12) : error A2070: operands are not valid for this instruction\n"
     "test.asm(13) : error A2023: the operand size is not known; use a PTR type\n"
     "test.asm(14) : error A2008: not an instruction or directive : frobnicate\n"
     "test.asm(15) : error A2141: instruction has too many operands\n"
     "test.asm(16) : error A2083: scale factor must be 1, 2, 4 or 8 : 3\n"
     "test.asm(17) : error A2031: register cannot be used as base or index\n"
     "test.asm(18) : error A2050: a real number is not allowed here\n"},
    {"InvokeArgumentsMustMatchThePrototype",
     ".386\n.MODEL FLAT\nF PROTO C, a:DWORD\n.CODE\nINVOKE F\nINVOKE F, 1, 2\nINVOKE G\nEND\n",
     "test.asm(5) : error A2137: INVOKE has fewer arguments than the prototype : F\n"
     "test.asm(6) : error A2136: INVOKE has more arguments than the prototype : F\n"
     "test.asm(7) : error A2006: symbol is not defined : G\n"},
    {"ProceduresCannotBeNested", ".386\n.MODEL FLAT\n.CODE\nA PROC USES ebx\nB PROC\nB ENDP\nA ENDP\nC ENDP\nEND\n",
     "test.asm(5) : error A2144: procedures cannot be nested : B\n"
     "test.asm(6) : fatal error A1010: ENDP does not match the open procedure : B\n"},
    {"EndpWithoutItsProcIsFatal", ".386\n.MODEL FLAT\n.CODE\nC ENDP\nEND\n",
     "test.asm(4) : fatal error A1010: ENDP does not match the open procedure : C\n"},
    {"UntilCxzTakesOnlyEqualityComparisons",
     ".386\n.MODEL FLAT\n.CODE\n.REPEAT\n.UNTILCXZ eax > 1\n.REPEAT\n.UNTILCXZ eax\nEND\n",
     "test.asm(5) : error A2154: syntax error in control-flow directive : >\n"
     "test.asm(7) : error A2154: syntax error in control-flow directive : eax\n"},
    {"MisplacedBlockDirectives",
     ".386\n.MODEL FLAT\n.CODE\n"
     ".IF eax\n.ELSE\n.ELSE\n.ENDIF\n"    // 6: a second .ELSE
     ".REPEAT\n.BREAK eax\n.UNTIL eax\n"  // 9: neither .IF nor nothing
     ".WHILE eax\n.ENDIF\n.ENDW\n"        // 12: the wrong closer, which ends the assembly
     "END\n",
     "test.asm(6) : error A2142: a .IF block may have only one .ELSE\n"
     "test.asm(9) : error A2154: syntax error in control-flow directive : eax\n"
     "test.asm(12) : fatal error A1011: directive must be inside a .IF, .WHILE or .REPEAT block : .ENDIF\n"},
    {"EndifWithNothingOpenIsFatal", ".386\n.MODEL FLAT\n.CODE\n.ENDIF\nEND\n",
     "test.asm(4) : fatal error A1011: directive must be inside a .IF, .WHILE or .REPEAT block : .ENDIF\n"},
    {"BreakOutsideALoopIsFatal", ".386\n.MODEL FLAT\n.CODE\n.BREAK\nEND\n",
     "test.asm(4) : fatal error A1011: directive must be inside a .IF, .WHILE or .REPEAT block : .BREAK\n"},
};

INSTANTIATE_TEST_SUITE_P(Instruction, AssemblyErrors, testing::ValuesIn(kErrorCases),
                         mltest::rowName<mltest::ErrorCase>);

}  // namespace
