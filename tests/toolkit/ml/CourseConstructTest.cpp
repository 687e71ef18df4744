// Constructs that course programs write: anonymous labels, LOCAL after comment lines,
// procedures nested in procedures, USES before the parameters. Each case gives the
// code bytes it must assemble to, or the diagnostics it must produce.
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
     "test.asm(6) : error A1011: ENDP does not match the open procedure : inner\n"},
    {"NestingWithAFrameInside",
     ".CODE\n"
     "outer PROC\n"
     "inner PROC value:DWORD\n"
     "inner ENDP\n"
     "outer ENDP\n",
     nullptr,
     "test.asm(5) : error A2144: procedures cannot be nested : inner\n"
     "test.asm(6) : error A1011: ENDP does not match the open procedure : inner\n"},
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
     "55 89 E5 53 56 8B 45 08 03 45 0C 5E 5B C9 C2 08 00", ""},
    {"UsesRegistersThenParametersWithComma",
     ".CODE\n"
     "f PROC USES ebx esi, a:DWORD, b:DWORD\n"
     "       mov eax, a\n"
     "       add eax, b\n"
     "       ret\n"
     "f ENDP\n",
     "55 89 E5 53 56 8B 45 08 03 45 0C 5E 5B C9 C2 08 00", ""},
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

}  // namespace
