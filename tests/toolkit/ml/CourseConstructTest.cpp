// Constructs that course programs write: anonymous labels, LOCAL after comment lines,
// procedures nested in procedures, USES before the parameters. Each case gives the
// code bytes it must assemble to, or the diagnostics it must produce. Then MASM's
// limits (line and text lengths, nesting, constants) that keep every source bounded.
#include <gtest/gtest.h>

#include "MlTestSupport.h"

namespace {

struct Case {
    const char* name;
    const char* body;      // lines after ".386 / .MODEL FLAT, stdcall" (and before END)
    const char* text;      // the .text bytes when it assembles; nullptr when it must not
    const char* messages;  // the diagnostics, "" when there are none
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::string source(const Case& c) { return std::string(".386\n.MODEL FLAT, stdcall\n") + c.body + "END\n"; }

class CourseConstruct : public testing::TestWithParam<Case> {};

TEST_P(CourseConstruct, AssemblesAsExpected) {
    const Case& c = GetParam();
    auto a = mltest::assemble(source(c));
    EXPECT_EQ(a.messages(), c.messages);
    EXPECT_EQ(a.ok, c.text != nullptr);
    if (c.text && a.ok) {
        EXPECT_EQ(a.hexBytes(".text"), c.text);
    }
}

const Case kCases[] = {
    {"AnonymousLabelsBackAndForward",
     ".CODE\n"
     "top:    mov ecx, 3\n"
     "@@:     dec ecx\n"
     "        jnz @B\n"
     "        jz  @F\n"
     "        nop\n"
     "@@:     ret\n",
     "B9 03 00 00 00 49 75 FD 74 01 90 C3", ""},
    {"AnonymousLabelsInMacrosAndOnTheirOwnLine",
     "spin MACRO\n"
     "@@:    dec eax\n"
     "       jnz @B\n"
     "       ENDM\n"
     ".CODE\n"
     "f PROC\n"
     "       spin\n"
     "       spin\n"
     "@@:    jmp @F\n"
     "@@:    jmp @B\n"
     "f ENDP\n"
     "g PROC\n"
     "@@:    loop @B\n"
     "g ENDP\n",
     "48 75 FD 48 75 FD EB 00 EB FE E2 FE", ""},
    {"AnonymousLabelMissing",
     ".CODE\n"
     "       jmp @B\n"
     "@@:    jmp @F\n",
     nullptr,
     "test.asm(4) : error A2006: symbol is not defined : @B\n"
     "test.asm(5) : error A2006: symbol is not defined : @F\n"},
    {"LocalAfterBlankAndCommentLines",
     "twice MACRO\n"
     "\n"
     "   ; the labels of each call\n"
     "       LOCAL again\n"
     "   ;; not kept\n"
     "       LOCAL done\n"
     "again: dec eax\n"
     "       jz done\n"
     "       jmp again\n"
     "done:\n"
     "       ENDM\n"
     ".CODE\n"
     "       twice\n"
     "       twice\n",
     "48 74 02 EB FB 48 74 02 EB FB", ""},
    {"FramelessProceduresNest",
     ".CODE\n"
     "outer PROC\n"
     "again: call later\n"
     "inner PROC\n"
     "again: nop\n"
     "       ret\n"
     "inner ENDP\n"
     "       jmp again\n"
     "outer ENDP\n"
     "later PROC\n"
     "       call inner\n"
     "       ret\n"
     "later ENDP\n",
     "E8 04 00 00 00 90 C3 EB F7 E8 F7 FF FF FF C3", ""},
    {"NestingWithAFrameOutside",
     ".CODE\n"
     "outer PROC USES ebx\n"
     "inner PROC\n"
     "inner ENDP\n"
     "outer ENDP\n",
     nullptr,
     "test.asm(5) : error A2144: procedures cannot be nested : inner\n"
     "test.asm(6) : fatal error A1010: ENDP does not match the open procedure : inner\n"},
    {"NestingWithAFrameInside",
     ".CODE\n"
     "outer PROC\n"
     "inner PROC value:DWORD\n"
     "inner ENDP\n"
     "outer ENDP\n",
     nullptr,
     "test.asm(5) : error A2144: procedures cannot be nested : inner\n"
     "test.asm(6) : fatal error A1010: ENDP does not match the open procedure : inner\n"},
    {"NestingWithLocalsInside",
     ".CODE\n"
     "outer PROC\n"
     "inner PROC\n"
     "       LOCAL count:DWORD\n"
     "       ret\n"
     "inner ENDP\n"
     "outer ENDP\n",
     nullptr, "test.asm(6) : error A2144: procedures cannot be nested : inner\n"},
    {"UsesRegistersThenParametersWithoutComma",
     ".CODE\n"
     "f PROC USES ebx esi a:DWORD, b:DWORD\n"
     "       mov eax, a\n"
     "       add eax, b\n"
     "       ret\n"
     "f ENDP\n",
     "55 8B EC 53 56 8B 45 08 03 45 0C 5E 5B C9 C2 08 00", ""},
    {"UsesRegistersThenParametersWithComma",
     ".CODE\n"
     "f PROC USES ebx esi, a:DWORD, b:DWORD\n"
     "       mov eax, a\n"
     "       add eax, b\n"
     "       ret\n"
     "f ENDP\n",
     "55 8B EC 53 56 8B 45 08 03 45 0C 5E 5B C9 C2 08 00", ""},
    {"StructureNameAfterTheDotTypesTheOperand",
     "point STRUCT\n"
     "  x DWORD ?\n"
     "  y DWORD ?\n"
     "point ENDS\n"
     ".CODE\n"
     "       mov eax, [esi].point.y\n"
     "       mov [ebx].point.x, ecx\n"
     "       mov eax, [ebp+8].point.y\n",
     "8B 46 04 89 0B 8B 45 0C", ""},
    {"MacroFunctionWithLocalsInAnInstruction",
     "Sum MACRO a, b\n"
     "    LOCAL t\n"
     "    t = a + b\n"
     "    EXITM %t\n"
     "    ENDM\n"
     ".CODE\n"
     "       mov eax, Sum(2, 3)\n"
     "       push Sum(Sum(1, 1), 4)\n",
     "B8 05 00 00 00 6A 06", ""},
    {"SizeAndLengthOfLocalsAndParameters",
     ".CODE\n"
     "f PROC a:WORD\n"
     "       LOCAL tmp[16]:BYTE, n:DWORD\n"
     "       mov eax, SIZEOF tmp\n"
     "       mov eax, LENGTHOF tmp\n"
     "       mov eax, SIZEOF a + LENGTHOF a\n"
     "       mov eax, TYPE tmp\n"
     "       mov eax, SIZEOF n\n"
     "       ret\n"
     "f ENDP\n",
     "55 8B EC 83 C4 EC B8 10 00 00 00 B8 10 00 00 00 B8 03 00 00 00 B8 01 00 00 00 B8 04 00 00 00 C9 C2 04 00", ""},
    {"TypedOperandsInHighLevelConditions",
     ".CODE\n"
     "       .WHILE BYTE PTR [esi] != 0\n"
     "         inc esi\n"
     "       .ENDW\n"
     "       .IF SDWORD PTR eax < 3\n"
     "         nop\n"
     "       .ENDIF\n"
     "       .REPEAT\n"
     "       .UNTIL WORD PTR [edi] == 0\n",
     "EB 01 46 80 3E 00 75 FA 83 F8 03 7D 01 90 66 83 3F 00 75 FA", ""},
    {"IfLeftOpenAtEnd",
     ".CODE\n"
     "       .IF eax == 2\n"
     "         nop\n",
     nullptr, "test.asm(6) : fatal error A1010: a block is still open here : .IF\n"},
    {"WhileLeftOpenAtEndp",
     ".CODE\n"
     "f PROC\n"
     "       .WHILE eax\n"
     "f ENDP\n",
     nullptr, "test.asm(6) : fatal error A1010: a block is still open here : .WHILE\n"},
    {"BracketsLeaveConstantsImmediate",
     "K EQU 1000h\n"
     ".CODE\n"
     "       mov eax, [1000h]\n"
     "       mov ax, [K]\n"
     "       push [K]\n"
     "       mov eax, ds:[1000h]\n"
     "       mov eax, [ebx+K]\n",
     "B8 00 10 00 00 66 B8 00 10 68 00 10 00 00 A1 00 10 00 00 8B 83 00 10 00 00", ""},
    {"IndexesAfterFieldsAndSizesOfFields",
     "S STRUCT\n"
     "  nm BYTE 4 DUP (?)\n"
     "  sc WORD 3 DUP (0)\n"
     "S ENDS\n"
     ".DATA\n"
     "s1 S <>\n"
     ".CODE\n"
     "       mov ax, s1.sc[2]\n"
     "       mov ax, [ebx].S.sc[2]\n"
     "       mov al, s1.nm[esi]\n"
     "       mov eax, SIZEOF s1.sc\n"
     "       mov eax, LENGTHOF S.sc + SIZEOF (s1.nm)\n",
     "66 A1 06 00 00 00 66 8B 43 06 8A 86 00 00 00 00 B8 06 00 00 00 B8 07 00 00 00", ""},
    {"LengthAndSizeCountTheFirstInitializer",
     ".DATA\n"
     "K2 DB 10H, 20H, 30H, 40H\n"
     "K3 DW 20H DUP (0, 1, 2 DUP (0))\n"
     ".CODE\n"
     "       mov eax, LENGTH K2\n"
     "       mov eax, SIZE K2\n"
     "       mov eax, LENGTH K3\n"
     "       mov eax, SIZE K3\n"
     "       mov eax, LENGTHOF K3\n",
     "B8 01 00 00 00 B8 01 00 00 00 B8 20 00 00 00 B8 40 00 00 00 B8 80 00 00 00", ""},
    {"MovIntoCsIsRefused",
     ".CODE\n"
     "       mov ds, ax\n"
     "       mov cs, ax\n"
     "       mov cs, WORD PTR [eax]\n",
     nullptr,
     "test.asm(5) : error A2070: operands are not valid for this instruction\n"
     "test.asm(6) : error A2070: operands are not valid for this instruction\n"},
    {"InvokeRemovesEveryByteItPushedForVararg",
     "P4 PROTO C fmt:PTR BYTE, args:VARARG\n"
     ".DATA\n"
     "q QWORD 1\n"
     ".CODE\n"
     "       INVOKE P4, ADDR q, q, 7\n",
     "6A 07 FF 35 04 00 00 00 FF 35 00 00 00 00 68 00 00 00 00 E8 FC FF FF FF 83 C4 10", ""},
    {"InvokePassesARegisterPairAsAQword",
     "gq PROTO :QWORD\n"
     ".CODE\n"
     "       INVOKE gq, edx::eax\n",
     "52 50 E8 FC FF FF FF", ""},
    {"InvokeRefusesWhatItCannotPassFaithfully",
     "P1 PROTO a:DWORD, b:DWORD\n"
     "P2 PROTO a:DWORD, b:PTR DWORD\n"
     "P3 PROTO b:BYTE, w:WORD\n"
     ".DATA\n"
     "q QWORD 1\n"
     "bb BYTE 3\n"
     ".CODE\n"
     "f PROC\n"
     "       LOCAL v:DWORD\n"
     "       INVOKE P1, q, 2\n"
     "       INVOKE P2, eax, ADDR v\n"
     "       INVOKE P3, eax, 1\n"
     "       INVOKE P3, al, bb\n"
     "       INVOKE P3, bb, al\n"
     "       ret\n"
     "f ENDP\n",
     nullptr,
     "test.asm(12) : error A2114: INVOKE argument does not match its parameter : argument 1\n"
     "test.asm(13) : error A2133: INVOKE has already overwritten this register for an earlier argument : eax\n"
     "test.asm(14) : error A2114: INVOKE argument does not match its parameter : argument 1\n"
     "test.asm(15) : error A2133: INVOKE has already overwritten this register for an earlier argument : al\n"},
    {"ThisNamesTheCurrentLocationWithAType",
     ".DATA\n"
     "w1 EQU THIS WORD\n"
     "b1 BYTE 1, 2\n"
     ".CODE\n"
     "top EQU THIS NEAR\n"
     "       mov ax, w1\n"
     "       mov al, b1\n"
     "       jmp top\n",
     "66 A1 00 00 00 00 A0 00 00 00 00 EB F3", ""},
    {"NearPtrKeepsTheLongJump",
     ".CODE\n"
     "       jmp NEAR PTR fwd\n"
     "       je NEAR PTR fwd\n"
     "       jmp fwd\n"
     "       nop\n"
     "fwd:   jmp NEAR PTR fwd\n",
     "E9 09 00 00 00 0F 84 03 00 00 00 EB 01 90 E9 FB FF FF FF", ""},
    {"OptionProcBeforeAnySegment",
     "OPTION PROC:PRIVATE\n"
     "OPTION CASEMAP:NONE\n"
     ".CODE\n"
     "f PROC\n"
     "       ret\n"
     "f ENDP\n",
     "C3", ""},
    {"ReservedWordsCannotBeNames",
     ".DATA\n"
     "size   DWORD 6\n"
     "eax    DWORD 7\n"
     "sizes  DWORD 8\n"
     ".CODE\n"
     "loop:  nop\n"
     "ptr    EQU 5\n",
     nullptr,
     "test.asm(4) : error A2008: a reserved word (an operator, register, type or instruction) cannot be a name : size\n"
     "test.asm(5) : error A2008: a reserved word (an operator, register, type or instruction) cannot be a name : eax\n"
     "test.asm(8) : error A2008: a reserved word (an operator, register, type or instruction) cannot be a name : loop\n"
     "test.asm(9) : error A2008: a reserved word (an operator, register, type or instruction) cannot be a name : "
     "ptr\n"},
    {"EmptyCharacterConstantIsRefused",
     ".CODE\n"
     "       mov al, ''\n"
     "       cmp al, \"\"\n",
     nullptr,
     "test.asm(4) : error A2047: string is empty\n"
     "test.asm(5) : error A2047: string is empty\n"},
    {"ExpansionOperatorLinesInsideAMacro",
     "popAll MACRO\n"
     "    LOCAL regs\n"
     "    regs TEXTEQU <edx,esi>\n"
     "    % FOR r, <regs>\n"
     "      pop r\n"
     "    ENDM\n"
     "    ENDM\n"
     ".CODE\n"
     "       popAll\n",
     "5A 5E", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, CourseConstruct, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(CourseConstructs, AnonymousForwardJumpOverManyBytesIsNear) {
    auto a = mltest::assemble(
        ".386\n.MODEL FLAT\n.CODE\n"
        "       jz @F\n"
        "       BYTE 200 DUP (90h)\n"
        "@@:    mov eax, OFFSET @B\n"
        "END\n");
    ASSERT_TRUE(a.ok) << a.messages();
    const std::vector<std::uint8_t> text = a.bytes(".text");
    ASSERT_EQ(text.size(), 6u + 200u + 5u);
    EXPECT_EQ(mltest::hex({text.begin(), text.begin() + 6}), "0F 84 C8 00 00 00");
    EXPECT_EQ(text[206], 0xB8) << "mov eax, OFFSET @B";
}

// Without a language type nobody would remove the arguments: MASM refuses the
// parameters (A2119), and a language on the PROC or PROTO itself is enough.
TEST(CourseConstructs, ParametersNeedALanguageType) {
    auto a = mltest::assemble(
        ".386\n.MODEL FLAT\n"
        "Show PROTO :DWORD\n"
        "Fine PROTO C :DWORD\n"
        ".CODE\n"
        "f PROC w:WORD\n"
        "       ret\n"
        "f ENDP\n"
        "g PROC STDCALL w:WORD\n"
        "       ret\n"
        "g ENDP\n"
        "h PROC\n"
        "       ret\n"
        "h ENDP\n"
        "END\n");
    EXPECT_EQ(a.messages(),
              "test.asm(3) : error A2119: a language type is needed for this declaration : Show\n"
              "test.asm(6) : error A2119: a language type is needed for this declaration : f\n");
}

// The listing shows the compare a condition became, written as a student would.
TEST(CourseConstructs, GeneratedConditionLinesReadLikeSource) {
    auto a = mltest::assemble(
        ".386\n.MODEL FLAT\n.CODE\n"
        "       .WHILE BYTE PTR [esi] != 0\n"
        "         inc esi\n"
        "       .ENDW\n"
        "END\n");
    ASSERT_TRUE(a.ok) << a.messages();
    EXPECT_NE(a.listing().find("*     cmp BYTE PTR [esi], 0\n"), std::string::npos) << a.listing();
}

// A PROC and its PROTO, or two PROTOs, must agree parameter by parameter; the later
// declaration is the one reported.
TEST(CourseConstructs, PrototypesAndProceduresMustAgree) {
    auto a = mltest::assemble(
        ".386\n.MODEL FLAT, stdcall\n"
        "f PROTO a:DWORD, b:WORD\n"
        "twice PROTO :DWORD\n"
        "twice PROTO :WORD\n"
        "same PROTO :DWORD\n"
        "same PROTO :DWORD\n"
        ".CODE\n"
        "f PROC a:DWORD, b:DWORD\n ret\nf ENDP\n"
        "g PROC a:DWORD\n ret\ng ENDP\n"
        "g PROTO :WORD\n"
        "END\n");
    EXPECT_EQ(a.messages(),
              "test.asm(5) : error A2111: parameter list differs from the earlier declaration : twice\n"
              "test.asm(9) : error A2111: parameter list differs from the earlier declaration : f\n"
              "test.asm(15) : error A2111: parameter list differs from the earlier declaration : g\n");
}

// Without a processor directive MASM assembles for the 8086, where the flat model and
// 32-bit registers do not exist.
TEST(CourseConstructs, FlatModelNeedsA386DirectiveFirst) {
    auto a = mltest::assemble(".MODEL FLAT\n.CODE\n       mov eax, 1\n.386\n       mov eax, 1\nEND\n");
    EXPECT_EQ(a.messages(),
              "test.asm(1) : error A2085: .MODEL FLAT needs .386 or a later processor directive before it\n"
              "test.asm(3) : error A2085: instruction or register is not enabled by the processor directive : mov\n");
}

// OPTION PROC:PRIVATE makes the procedures after it private unless they say PUBLIC;
// each pass starts again from the default.
TEST(CourseConstructs, OptionProcPrivateActsFromItsLineOn) {
    auto a = mltest::assemble(
        ".386\n.MODEL FLAT, stdcall\n.CODE\n"
        "f PROC\n ret\nf ENDP\n"
        "OPTION PROC:PRIVATE\n"
        "g PROC\n ret\ng ENDP\n"
        "h PROC PUBLIC\n ret\nh ENDP\n"
        "END\n");
    ASSERT_TRUE(a.ok) << a.messages();
    EXPECT_TRUE(a.symbol("f")->isPublic);
    EXPECT_FALSE(a.symbol("g")->isPublic);
    EXPECT_TRUE(a.symbol("h")->isPublic);
}

// What a source reaching one of the limits reports first, and whether the assembly
// goes on after it (the lines after the fault are assembled).
struct LimitCase {
    const char* name;
    std::string body;  // lines after ".386 / .MODEL FLAT" (and before END)
    std::string firstMessage;
    bool fatal;
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

const LimitCase kLimits[] = {
    {"LineOf512CharactersIsAccepted", ".DATA\nBYTE " + repeated("1,", 253) + "1; " + repeated("c", 600) + "\n", "",
     false},
    {"LineOf513CharactersIsTooLong", ".DATA\nBYTE " + repeated("1,", 253) + "11\n",
     "test.asm(4) : error A2039: line is longer than 512 characters\n", false},
    {"ContinuedLineTooLongIsReportedOnce", ".DATA\nBYTE 1, \\\n" + repeated("1, \\\n", 200) + "1\n",
     "test.asm(4) : error A2039: line is longer than 512 characters\n", false},
    {"LineTooLongAfterTextMacros", "t TEXTEQU <" + repeated("1,", 100) + "1>\n.DATA\nBYTE t, t, t\n",
     "test.asm(5) : error A2039: line is longer than 512 characters\n", false},
    {"TextMacroOf256Characters", "a TEXTEQU <" + repeated("x", 200) + ">\nb CATSTR a, a\n",
     "test.asm(4) : error A2041: text macro or macro argument is longer than 255 characters : b\n", false},
    {"CatStrFunctionOf256Characters", "a TEXTEQU <" + repeated("x", 200) + ">\nc TEXTEQU @CatStr(a, a)\n",
     "test.asm(4) : error A2041: text macro or macro argument is longer than 255 characters : @CatStr\n", false},
    {"MacroArgumentOf255CharactersIsAccepted", "m MACRO p\nENDM\nm <" + repeated("y", 255) + ">\n", "", false},
    {"MacroArgumentOf256Characters", "m MACRO p\nENDM\nm " + repeated("y", 256) + "\n",
     "test.asm(5) : error A2041: text macro or macro argument is longer than 255 characters : m\n", false},
    {"DoublingMacroStopsAtTheArgumentLimit", "m MACRO x\n m x&x\nENDM\nm a\n",
     "test.asm(6) : error A2041: text macro or macro argument is longer than 255 characters : m\n", false},
    {"RecursiveMacroStopsAt20Levels", "r MACRO\n r\n ENDM\n r\n",
     "test.asm(6) : fatal error A1007: macro calls and repeat blocks nest more than 20 deep : r\n", true},
    {"TwentyNestedRepeatBlocksAreAccepted", repeated("REPT 1\n", 20) + repeated("ENDM\n", 20), "", false},
    {"ConstantOf65Bits", ".CODE\nmov eax, 18446744073709551616\n",
     "test.asm(4) : error A2084: constant is too large : 18446744073709551616\n", false},
    {"HexadecimalConstantOf65Bits", ".DATA\nQWORD 10000000000000000h\n",
     "test.asm(4) : error A2084: constant is too large : 10000000000000000h\n", false},
    {"LargestConstantIsAccepted", ".DATA\nQWORD 18446744073709551615, 0FFFFFFFFFFFFFFFFh\n", "", false},
    {"RunawayWhileStops", ".CODE\nWHILE 1\nnop\nENDM\n",
     "test.asm(4) : fatal error A1009: macro and repeat expansions produce too many lines or too much text\n", true},
    {"ExpansionOfLongLinesStopsAtItsTextBound", ".CODE\nREPT 3000\nnop ; " + repeated("x", 500) + "\nENDM\n",
     "test.asm(4) : fatal error A1009: macro and repeat expansions produce too many lines or too much text\n", true},
    {"NestedRepeatBlocksStopAtTheLineBound", ".CODE\nREPT 1000\nREPT 1000\nnop\nENDM\nENDM\n",
     "test.asm(4) : fatal error A1009: macro and repeat expansions produce too many lines or too much text\n", true},
    {"RepeatOfFiftyThousandLinesIsAccepted", ".DATA\nREPT 50000\nBYTE 1\nENDM\n", "", false},
    {"DataBeyondTheBoundIsRefused", ".DATA\nREPT 3\nBYTE 100000000 DUP (1)\nENDM\n",
     "test.asm(4) : error A2084: constant is too large : DUP\n", false},
};

class ResourceLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(ResourceLimit, StopsWithMasmsError) {
    const LimitCase& c = GetParam();
    // A line after the fault shows whether the assembly went on.
    auto a = mltest::assemble(".386\n.MODEL FLAT\n" + c.body + ".DATA\nafter BYTE 7\nEND\n");
    const std::string messages = a.messages();
    EXPECT_EQ(messages.substr(0, messages.find('\n') + 1), c.firstMessage) << messages;
    EXPECT_EQ(a.ok, c.firstMessage.empty()) << messages;
    EXPECT_EQ(a.symbol("after") != nullptr && a.symbol("after")->defined, !c.fatal) << messages;
}

INSTANTIATE_TEST_SUITE_P(Cases, ResourceLimit, testing::ValuesIn(kLimits),
                         [](const testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.name); });

TEST(ResourceLimits, RepeatedDataKeepsItsRelocations) {
    auto a = mltest::assemble(".386\n.MODEL FLAT\n.DATA\nx DWORD 3 DUP (x, 2 DUP (7))\nEND\n");
    ASSERT_TRUE(a.ok) << a.messages();
    // Each copy of x holds the addend 0 of its own relocation to .data.
    EXPECT_EQ(a.hexBytes(".data"), mltest::hex({0, 0, 0, 0, 7, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 7, 0,
                                                0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 7, 0, 0, 0}));
    const std::string obj = mltest::describeObject(a.object());
    std::size_t relocations = 0;
    for (std::size_t at = obj.find("reloc "); at != std::string::npos; at = obj.find("reloc ", at + 1)) ++relocations;
    EXPECT_EQ(relocations, 3u) << obj;
}

}  // namespace
