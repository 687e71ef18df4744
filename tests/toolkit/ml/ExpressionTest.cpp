// Expressions as equates see them: operators, precedence, type operators, constants.
#include <gtest/gtest.h>

#include "MlTestSupport.h"

using mltest::assemble;

TEST(Expression, ArithmeticFollowsMasmPrecedence) {
    auto a = mltest::assembleData(
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
    mltest::expectValues(a, {
                                {"a1", 14},
                                {"a2", 20},
                                {"a3", 3},
                                {"a4", 17},
                                {"a5", 9},
                                {"a6", 14},
                                {"a7", 15},
                                {"a8", 4},   // (1 OR 2) XOR 7 = 3 XOR 7
                                {"a9", -1},  // true is all ones
                                {"a10", 0},
                                {"a11", -1},
                            });
}

TEST(Expression, ByteAndWordSelectorsAndCharacterConstants) {
    auto a = mltest::assembleData(
        "v = 12345678h\n"
        "b1 = LOW v\n"
        "b2 = HIGH v\n"
        "w1 = LOWWORD v\n"
        "w2 = HIGHWORD v\n"
        "c1 = 'A'\n"
        "c2 = 'AB'\n"
        "c3 = \"a\" + 1\n");
    mltest::expectValues(a, {
                                {"b1", 0x78},
                                {"b2", 0x56},
                                {"w1", 0x5678},
                                {"w2", 0x1234},
                                {"c1", 0x41},
                                {"c2", 0x4142},
                                {"c3", 0x62},
                            });
}

TEST(Expression, TypeSizeAndLengthOfDataLabels) {
    auto a = mltest::assembleData(
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
    mltest::expectValues(a, {
                                {"t1", 4},
                                {"t2", 3},  // the continuation line does not count
                                {"t3", 12},
                                {"t4", 6},
                                {"t5", 50},
                                {"t6", 100},
                                {"t7", 1},
                                {"t8", 4},
                                {"t9", 16 + 6 + 100},
                            });
}

TEST(Expression, RadixDirectiveChangesTheDefault) {
    auto a = mltest::assembleData(
        ".RADIX 16\n"
        "h1 = 10\n"
        "h2 = 1B\n"
        ".RADIX 10\n"
        "d1 = 10\n");
    mltest::expectValues(a, {
                                {"h1", 16},
                                {"h2", 0x1B},
                                {"d1", 10},
                            });
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
    auto a = assemble(
        ".386\nv1 = @Version\n.MODEL FLAT, stdcall\nm = @Model\ni = @Interface\nw = @WordSize\n"
        "seg TEXTEQU @code\nEND\n");
    ASSERT_TRUE(a.ok) << a.messages();
    mltest::expectValues(a, {
                                {"v1", 615},
                                {"m", 7},
                                {"i", 3},
                                {"w", 4},
                            });
    EXPECT_EQ(a.symbol("seg")->text, "_TEXT");
    EXPECT_EQ(a.symbol("@FileName")->text, "test");
}
