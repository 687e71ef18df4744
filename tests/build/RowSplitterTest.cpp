// Splitting child output into rows, including lines cut between two reads.
#include "build/RowSplitter.h"

#include <gtest/gtest.h>

using asmora::build::RowSplitter;

namespace {
std::vector<std::string> split(std::initializer_list<std::string_view> reads) {
    RowSplitter splitter;
    std::vector<std::string> rows;
    for (std::string_view piece : reads) splitter.feed(piece, rows);
    splitter.finish(rows);
    return rows;
}
using Rows = std::vector<std::string>;
}  // namespace

TEST(RowSplitter, LineEndsOfEveryKind) {
    EXPECT_EQ(split({"A\r\nB\r\n"}), (Rows{"A", "B"}));
    EXPECT_EQ(split({"A\nB\n"}), (Rows{"A", "B"}));
    EXPECT_EQ(split({"A\rB\r"}), (Rows{"A", "B"}));
    EXPECT_EQ(split({"A\n\rB"}), (Rows{"A", "", "B"}));
    EXPECT_EQ(split({"A\r\rB"}), (Rows{"A", "", "B"}));
    EXPECT_EQ(split({"\r\n\r\n"}), (Rows{"", ""}));
    EXPECT_EQ(split({""}), Rows{});
}

TEST(RowSplitter, ALastPieceWithoutLineEndIsARow) { EXPECT_EQ(split({"A\nlast"}), (Rows{"A", "last"})); }

TEST(RowSplitter, PiecesAcrossReadsJoin) {
    EXPECT_EQ(split({"abc", "def\n", "g"}), (Rows{"abcdef", "g"}));
    EXPECT_EQ(split({"A\r", "\nB\r\n"}), (Rows{"A", "B"}));  // CR LF cut between reads
    EXPECT_EQ(split({"A\r", "B"}), (Rows{"A", "B"}));
    EXPECT_EQ(split({"A\n", "\nB"}), (Rows{"A", "", "B"}));
}

TEST(RowSplitter, LinesBeyondTheRowLengthAreCutIntoRowsOfThatLength) {
    constexpr size_t kMax = RowSplitter::kMaxRowBytes;
    const std::string full(kMax, 'x');
    // Exactly the length, ended in the next read: one row, no empty row after it.
    EXPECT_EQ(split({full, "\n", "b"}), (Rows{full, "b"}));
    // Output without line ends, in pieces: whole rows as soon as they are full.
    RowSplitter splitter;
    Rows rows;
    for (int i = 0; i < 5; ++i) splitter.feed(std::string(kMax / 2, 'y'), rows);
    EXPECT_EQ(rows, (Rows{std::string(kMax, 'y'), std::string(kMax, 'y')}));
    splitter.feed("z\r\n", rows);
    EXPECT_EQ(rows.back(), std::string(kMax / 2, 'y') + "z");
    // A long line within one read is cut the same way.
    EXPECT_EQ(split({std::string(2 * kMax + 3, 'w') + "\n"}),
              (Rows{std::string(kMax, 'w'), std::string(kMax, 'w'), "www"}));
}
