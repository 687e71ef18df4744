// Data definitions, structures and records, and the location-counter directives.
#include <gtest/gtest.h>

#include "MlTestSupport.h"

using mltest::assemble;
using mltest::AssemblyData;
using mltest::AssemblyErrors;

namespace {

const mltest::DataCase kDataCases[] = {
    {"IntegerTypesStringsAndLists",
     "b  BYTE 1, -1, 255, 'A'\n"
     "sb SBYTE -128\n"
     "w  WORD 1234h, -2\n"
     "d  DWORD 12345678h, 'ab'\n"
     "q  QWORD -1\n"
     "f  FWORD 010203040506h\n"
     "t  TBYTE 1\n"
     "s  BYTE \"it's\", 0, 'say \"\"hi\"\"'\n"
     "   DB 1\n   DW 2\n   DD 3\n",
     "01 FF FF 41 80 34 12 FE FF 78 56 34 12 62 61 00 00 FF FF FF FF FF FF FF FF 06 05 04 03 02 01 "
     "01 00 00 00 00 00 00 00 00 00 69 74 27 73 00 73 61 79 20 22 22 68 69 22 22 01 02 00 03 00 00 00"},
    {"RealNumbersInAllThreeSizes",
     "r4 REAL4 1.5, -2.0\n"
     "r8 REAL8 0.1\n"
     "r10 REAL10 1.0\n"
     "dd1 DD 3.0\n"
     "hx REAL4 3F800000r\n",
     "00 00 C0 3F 00 00 00 C0 9A 99 99 99 99 99 B9 3F 00 00 00 00 00 00 00 80 FF 3F 00 00 40 40 "
     "00 00 80 3F"},
    {"StructuresWithDefaultsOverridesAndFieldAccess",
     "POINT STRUCT\n"
     "  x DWORD 1\n"
     "  y WORD 2\n"
     "  tag BYTE 'p'\n"
     "POINT ENDS\n"
     "p1 POINT <>\n"
     "p2 POINT <10, , 'q'>\n"
     "pts POINT 2 DUP (<3, 4>)\n"
     "off = POINT.tag\n"
     "sz = SIZEOF POINT\n"
     "n = LENGTHOF pts\n",
     "01 00 00 00 02 00 70 0A 00 00 00 02 00 71 03 00 00 00 04 00 70 03 00 00 00 04 00 70",
     {{"off", 6}, {"sz", 7}, {"n", 2}}},
    {"StructuresWithoutFieldsTakeNoSpace",
     "EMPTY STRUCT\n"
     "EMPTY ENDS\n"
     "e1 EMPTY <>\n"
     "e2 EMPTY 3 DUP (<>)\n"
     "b  BYTE 5\n"
     "sz = SIZEOF EMPTY\n",
     "05",
     {{"sz", 0}}},
    {"ArrayFieldsTakeListsAndShortStringsArePaddedWithBlanks",
     "S STRUCT\n"
     "  nm BYTE \"ABCD\"\n"
     "  sc WORD 3 DUP (0)\n"
     "  ag BYTE 20\n"
     "S ENDS\n"
     "a1 S <\"xy\", <9, 8, 7>, 5>\n"
     "a2 S <, {1, 2}>\n",
     "78 79 20 20 09 00 08 00 07 00 05 41 42 43 44 01 00 02 00 00 00 14"},
    {"RecordsPackTheirFields",
     "FLAGS RECORD hi:4, mid:3=5, lo:1\n"
     "f1 FLAGS <0Ah, , 1>\n"
     "w = WIDTH mid\n"
     "m = MASK mid\n"
     "s = mid\n"
     "SMALL RECORD lo2:2, hi2:3\n"
     "wt = WIDTH SMALL\n"
     "mt = MASK SMALL\n",
     "AB",
     {{"w", 3}, {"m", 0x0E}, {"s", 1}, {"wt", 5}, {"mt", 0x1F}}},
};

INSTANTIATE_TEST_SUITE_P(Data, AssemblyData, testing::ValuesIn(kDataCases), mltest::rowName<mltest::DataCase>);

const mltest::ErrorCase kErrorCases[] = {
    {"ErrorsAreReportedWithTheirLines",
     ".386\n.MODEL FLAT\n"
     "x BYTE 1\n"
     ".DATA\n"
     "y BYTE 256\n"
     "z WORD 70000h\n"
     "e BYTE ''\n"
     "y DWORD 1\n"
     "r BYTE 1.5\n"
     "ALIGN 3\n"
     "u DWORD 1,,2\n"
     "END\n",
     "test.asm(3) : error A2034: statement needs an open segment (.CODE or .DATA)\n"
     "test.asm(5) : error A2071: initial value does not fit the data size : 256\n"
     "test.asm(6) : error A2071: initial value does not fit the data size : 458752\n"
     "test.asm(7) : error A2047: string is empty\n"
     "test.asm(8) : error A2005: symbol is already defined : y\n"
     "test.asm(9) : error A2050: a real number is not allowed here\n"
     "test.asm(10) : error A2063: alignment must be a power of 2\n"
     "test.asm(11) : error A2138: initial value is not valid\n"},
    {"FieldInitializersLongerThanTheirFieldAreRefused",
     ".386\n.MODEL FLAT\n"
     "S STRUCT\n"
     "  nm BYTE \"ABCD\"\n"
     "  sc WORD 2 DUP (0)\n"
     "S ENDS\n"
     ".DATA\n"
     "a1 S <\"abcde\">\n"
     "a2 S <, <1, 2, 3>>\n"
     "END\n",
     "test.asm(8) : error A2036: too many initial values : nm\n"
     "test.asm(9) : error A2036: too many initial values : sc\n"},
};

INSTANTIATE_TEST_SUITE_P(Data, AssemblyErrors, testing::ValuesIn(kErrorCases), mltest::rowName<mltest::ErrorCase>);

}  // namespace

TEST(Data, NestedDupAndUninitializedStorage) {
    auto a = mltest::assembleData(
        "grid BYTE 2 DUP (1, 2 DUP (3))\n"
        "n = 3\n"
        "words WORD n DUP (?)\n"
        ".DATA?\n"
        "big BYTE 100000 DUP (?)\n"
        "after DWORD ?\n");
    EXPECT_EQ(a.hexBytes(".data"), "01 03 03 01 03 03 00 00 00 00 00 00");
    EXPECT_EQ(a.symbol("grid")->lengthOf, 6u);
    EXPECT_EQ(a.value("after"), 100000);
    auto obj = a.object();
    bool sawBss = false;
    for (const auto& s : obj.sections) {
        if (s.name != ".bss") continue;
        sawBss = true;
        EXPECT_EQ(s.size, 100004u);
        EXPECT_TRUE(s.data.empty());
    }
    EXPECT_TRUE(sawBss);
}

TEST(Data, AddressesAreRelocated) {
    auto a = mltest::assembleData(
        "first DWORD 5\n"
        "ptrs DWORD first, first + 4, OFFSET ptrs\n"
        "EXTRN outside:DWORD\n"
        "ext DWORD outside\n");
    EXPECT_EQ(a.hexBytes(".data"), "05 00 00 00 00 00 00 00 04 00 00 00 04 00 00 00 00 00 00 00");
    std::string obj = mltest::describeObject(a.object());
    EXPECT_NE(obj.find("reloc 0004 32 .data\n  reloc 0008 32 .data\n  reloc 000C 32 .data\n  reloc 0010 32 outside"),
              std::string::npos)
        << obj;
}

TEST(Data, AlignEvenAndOrg) {
    auto a = assemble(
        ".386\n.MODEL FLAT\n.DATA\n"
        "a BYTE 1\nALIGN 4\nb BYTE 2\nEVEN\nc BYTE 3\nORG 10h\nd BYTE 4\nORG $ - 2\ne BYTE 5\n"
        ".CODE\nnop\nALIGN 4\nret\nEND\n");
    ASSERT_TRUE(a.ok) << a.messages();
    mltest::expectValues(a, {
                                {"b", 4},
                                {"c", 6},
                                {"d", 16},
                                {"e", 15},
                            });
    EXPECT_EQ(a.hexBytes(".text"), "90 90 90 90 C3");  // code is padded with NOP
}

TEST(Data, AssemblyStopsAfterOneHundredErrors) {
    auto a = assemble(".386\n.MODEL FLAT\n.DATA\nREPT 150\nBYTE bogus\nENDM\nEND\n");
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.diagnostics->errorCount(), 101u);
    std::string messages = a.messages();
    EXPECT_NE(messages.find("test.asm(4) : fatal error A1012: assembly stopped after this many errors : 100\n"),
              std::string::npos)
        << messages;
}
