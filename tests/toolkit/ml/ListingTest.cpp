// The listing's layout: header, rows, markers, tables and counts.
#include <algorithm>

#include <gtest/gtest.h>

#include "ListingData.h"
#include "MlTestSupport.h"

using mltest::TempDir;

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& wanted) {
    for (const std::string& l : lines)
        if (l == wanted) return true;
    return false;
}

bool hasLineEnding(const std::vector<std::string>& lines, const std::string& wanted) {
    for (const std::string& l : lines)
        if (l.ends_with(wanted)) return true;
    return false;
}

}  // namespace

TEST(Listing, RowsHaveOffsetCodeMarkerAndSourceColumns) {
    TempDir dir;
    dir.write("part.inc", "inc eax\n");
    auto a = mltest::assemble(dir,
                              ".386\n.MODEL FLAT\n"
                              "twice MACRO\n add eax, eax\n ENDM\n"
                              ".CODE\n"
                              "start: mov eax, 5\n"
                              "INCLUDE part.inc\n"
                              "twice\n"
                              "mov eax, missing\n"
                              "END\n");
    auto lines = linesOf(a.listing());
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Asmora Macro Assembler Version 1.00                 MM/DD/YY HH:MM:SS");
    EXPECT_EQ(lines[1], "test.asm                                                     Page 1 - 1");
    EXPECT_TRUE(hasLine(lines, " 00000000 B8 00000005           start: mov eax, 5")) << a.listing();
    EXPECT_TRUE(hasLine(lines, " 00000005 40                  C inc eax")) << a.listing();
    EXPECT_TRUE(hasLine(lines, " 00000006 03 C0               1  add eax, eax")) << a.listing();
    EXPECT_TRUE(hasLineEnding(lines, "/test.asm(10) : error A2006: symbol is not defined : missing")) << a.listing();
    EXPECT_EQ(lines[lines.size() - 3], "\t   0 Warnings");
    EXPECT_EQ(lines[lines.size() - 2], "\t   1 Errors");
}

TEST(Listing, TenByteIntegersShowAllTheirBytes) {
    auto a = mltest::assemble(".386\n.MODEL FLAT\n.DATA\nt1 TBYTE 10\nt2 TBYTE -1\nEND\n");
    auto lines = linesOf(a.listing());
    EXPECT_TRUE(hasLine(lines, " 00000000 0000000000000000000A  t1 TBYTE 10")) << a.listing();
    EXPECT_TRUE(hasLine(lines, " 0000000A FFFFFFFFFFFFFFFFFFFF  t2 TBYTE -1")) << a.listing();
}

TEST(Listing, RelocatedValuesKeepTheirMarkOnTheirRow) {
    auto a = mltest::assemble(".386\n.MODEL FLAT\n.DATA\na2 DWORD 1\nb5 DWORD OFFSET a2, a2\nEND\n");
    auto lines = linesOf(a.listing());
    EXPECT_TRUE(hasLine(lines, " 00000004 00000000 R            b5 DWORD OFFSET a2, a2")) << a.listing();
    EXPECT_TRUE(hasLine(lines, "          00000000 R")) << a.listing();
}

TEST(Listing, RecordTableShowsEachFieldsShiftWidthMaskAndInitialValue) {
    auto a = mltest::assemble(".386\n.MODEL FLAT\nCOLOR RECORD blink:1, back:3=5, fore:4\nEND\n");
    auto lines = linesOf(a.listing());
    EXPECT_TRUE(hasLine(lines, "COLOR  . . . . . . . . . . . . . \t 00000008      00000003")) << a.listing();
    EXPECT_TRUE(hasLine(lines, "  back . . . . . . . . . . . . . \t 00000004      00000003\t     0070     0050"))
        << a.listing();
    EXPECT_TRUE(hasLine(lines, "  fore . . . . . . . . . . . . . \t 00000000      00000004\t     000F     0000"))
        << a.listing();
}

TEST(Listing, SymbolTableIsSortedWithDottedLeaders) {
    auto a = mltest::assemble(".386\n.MODEL FLAT\n.DATA\nzeta BYTE 1\nAlpha WORD 2\n_under DWORD 3\nbeta = 4\nEND\n");
    ASSERT_TRUE(a.ok) << a.messages();
    std::string listing = a.listing();
    std::size_t symbols = listing.find("Symbols:");
    ASSERT_NE(symbols, std::string::npos);
    std::string table = listing.substr(symbols);
    std::size_t alpha = table.find("Alpha"), under = table.find("_under"), beta = table.find("beta"),
                zeta = table.find("zeta");
    EXPECT_LT(alpha, under);  // upper case, then '_', then lower case
    EXPECT_LT(under, beta);
    EXPECT_LT(beta, zeta);
    EXPECT_NE(table.find("Alpha  . . . . . . . . . . . . . \tWord\t 00000001 _DATA"), std::string::npos) << table;
    EXPECT_NE(table.find("beta . . . . . . . . . . . . . . \tNumber\t 00000004h"), std::string::npos) << table;
}

TEST(ListingData, CodeColumnsStayWholeWhateverOrderTheyAreWrittenIn) {
    ml::ListingData data;
    data.reset(3);
    ml::ListingEntry& first = *data.entry(0);
    ml::ListingEntry& second = *data.entry(1);
    EXPECT_EQ(data.entry(3), nullptr);
    data.addCode(first, "8B 45 08");
    data.addCode(second, "C3");
    data.setEquate(second, "0000000D");
    data.addCode(first, "90");  // first's column is no longer the last text written
    data.addGenerated(1, 0x10, "55", "push ebp");
    EXPECT_EQ(data.text(first.code), "8B 45 08\n90\n");
    EXPECT_EQ(data.text(second.code), "C3\n");
    EXPECT_EQ(data.text(second.equate), "0000000D");
    data.setEquate(second, "0000000E");
    EXPECT_EQ(data.text(second.equate), "0000000E");
    ASSERT_EQ(data.generated().size(), 1u);
    EXPECT_EQ(data.generated()[0].line, 1u);
    EXPECT_EQ(data.text(data.generated()[0].code), "55\n");
    EXPECT_TRUE(data.entry(2)->code.empty());

    data.reset(1);
    EXPECT_TRUE(data.entry(0)->code.empty());
    EXPECT_TRUE(data.generated().empty());
}

TEST(Listing, RepeatBlockRowsLeaveOutOnlyPrivateComments) {
    TempDir dir;
    auto a = mltest::assemble(dir,
                              ".386\n.MODEL FLAT\n.DATA\n"
                              "REPT 2\n"
                              "BYTE 1 ;; private\n"
                              "BYTE ';;', 2 ; ordinary\n"
                              "BYTE \"'\", 3 ;; private after a quote of the other kind\n"
                              "ENDM\n"
                              "END\n");
    auto lines = linesOf(a.listing());
    auto rowsEndingIn = [&](const std::string& end) {
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.ends_with(end); });
    };
    EXPECT_EQ(rowsEndingIn("1 BYTE 1"), 2) << a.listing();
    EXPECT_EQ(rowsEndingIn("1 BYTE ';;', 2 ; ordinary"), 2) << a.listing();
    EXPECT_EQ(rowsEndingIn("1 BYTE \"'\", 3"), 2) << a.listing();
}
