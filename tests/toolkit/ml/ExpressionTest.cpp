// Expressions as equates see them: operators, precedence, type operators, constants.
#include <gtest/gtest.h>

#include "MlTestSupport.h"

using mltest::assemble;

namespace {

// Assembles `lines` after a flat-model header, failing on any diagnostic.
mltest::Assembly withEquates(const std::string& lines) {
    auto a = assemble(".386\n.MODEL FLAT\n.DATA\n" + lines + "\nEND\n");
    EXPECT_TRUE(a.ok) << a.messages();
    return a;
}

}  // namespace

TEST(Expression, ArithmeticFollowsMasmPrecedence) {
    auto a = withEquates(
        "a1 = 2 + 3 * 4\n"
        "a2 = (2 + 3) * 4\n"
        "a3 = 17 MOD 5 + 1\n"
        "a4 = 1 SHL 4 + 1\n"  // SHL binds like *
        "a5 = -3 * -3\n"
        "a6 = 100 / 7\n"
        "a7 = NOT 0 AND 0Fh\n"
        "a8 = 1 OR 2 XOR 7\n"
        "a9 = 3 EQ 3\n"
        "a10 = 3 LT 2\n"
        "a11 = 5 GE 5 AND 2 NE 3\n");
    EXPECT_EQ(a.value("a1"), 14);
    EXPECT_EQ(a.value("a2"), 20);
    EXPECT_EQ(a.value("a3"), 3);
    EXPECT_EQ(a.value("a4"), 17);
    EXPECT_EQ(a.value("a5"), 9);
    EXPECT_EQ(a.value("a6"), 14);
    EXPECT_EQ(a.value("a7"), 15);
    EXPECT_EQ(a.value("a8"), 4);   // (1 OR 2) XOR 7 = 3 XOR 7
    EXPECT_EQ(a.value("a9"), -1);  // true is all ones
    EXPECT_EQ(a.value("a10"), 0);
    EXPECT_EQ(a.value("a11"), -1);
}

TEST(Expression, ByteAndWordSelectorsAndCharacterConstants) {
    auto a = withEquates(
        "v = 12345678h\n"
        "b1 = LOW v\n"
        "b2 = HIGH v\n"
        "w1 = LOWWORD v\n"
        "w2 = HIGHWORD v\n"
        "c1 = 'A'\n"
        "c2 = 'AB'\n"
        "c3 = \"a\" + 1\n");
    EXPECT_EQ(a.value("b1"), 0x78);
    EXPECT_EQ(a.value("b2"), 0x56);
    EXPECT_EQ(a.value("w1"), 0x5678);
    EXPECT_EQ(a.value("w2"), 0x1234);
    EXPECT_EQ(a.value("c1"), 0x41);
    EXPECT_EQ(a.value("c2"), 0x4142);
    EXPECT_EQ(a.value("c3"), 0x62);
}

TEST(Expression, TypeSizeAndLengthOfDataLabels) {
    auto a = withEquates(
        "arr   DWORD 1, 2, 3\n"
        "      DWORD 4\n"
        "text  BYTE 'hello', 0\n"
        "table WORD 10 DUP (5 DUP (?))\n"
        "t1 = TYPE arr\n"
        "t2 = LENGTHOF arr\n"
        "t3 = SIZEOF arr\n"
        "t4 = SIZEOF text\n"
        "t5 = LENGTHOF table\n"
        "t6 = SIZEOF table\n"
        "t7 = TYPE text\n"
        "t8 = SIZEOF DWORD\n"
        "t9 = $ - arr\n");
    EXPECT_EQ(a.value("t1"), 4);
    EXPECT_EQ(a.value("t2"), 3);  // the continuation line does not count
    EXPECT_EQ(a.value("t3"), 12);
    EXPECT_EQ(a.value("t4"), 6);
    EXPECT_EQ(a.value("t5"), 50);
    EXPECT_EQ(a.value("t6"), 100);
    EXPECT_EQ(a.value("t7"), 1);
    EXPECT_EQ(a.value("t8"), 4);
    EXPECT_EQ(a.value("t9"), 16 + 6 + 100);
}

TEST(Expression, RadixDirectiveChangesTheDefault) {
    auto a = withEquates(
        ".RADIX 16\n"
        "h1 = 10\n"
        "h2 = 1B\n"
        ".RADIX 10\n"
        "d1 = 10\n");
    EXPECT_EQ(a.value("h1"), 16);
    EXPECT_EQ(a.value("h2"), 0x1B);
    EXPECT_EQ(a.value("d1"), 10);
}

TEST(Expression, ErrorsNameTheProblem) {
    auto a = assemble(".386\n.MODEL FLAT\nx = 1 / 0\ny = undefinedName + 1\nz = 12q4\nw = (1 + 2\nEND\n");
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.messages(),
              "test.asm(3) : error A2169: division by zero in expression\n"
              "test.asm(4) : error A2006: symbol is not defined : undefinedName\n"
              "test.asm(5) : error A2048: number contains a character that is not a digit of its radix : 12q4\n"
              "test.asm(6) : error A2157: closing parenthesis is missing\n");
}

TEST(Expression, PredefinedSymbolsDescribeTheModel) {
    auto a = assemble(".386\nv1 = @Version\n.MODEL FLAT, stdcall\nm = @Model\ni = @Interface\nw = @WordSize\n"
                      "seg TEXTEQU @code\nEND\n");
    ASSERT_TRUE(a.ok) << a.messages();
    EXPECT_EQ(a.value("v1"), 615);
    EXPECT_EQ(a.value("m"), 7);
    EXPECT_EQ(a.value("i"), 3);
    EXPECT_EQ(a.value("w"), 4);
    EXPECT_EQ(a.symbol("seg")->text, "_TEXT");
    EXPECT_EQ(a.symbol("@FileName")->text, "test");
}
