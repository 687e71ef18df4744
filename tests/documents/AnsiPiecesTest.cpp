// Tests of the piecewise code page 936 conversion: every way of cutting a text into
// pieces gives the same result as converting it whole.
#include "AnsiPieces.h"

#include "platform/Cp936.h"

#include <gtest/gtest.h>

#include <random>

namespace {

template <class Converter>
std::string InPieces(const std::string& text, std::size_t pieceSize) {
    Converter converter;
    std::string out;
    for (std::size_t at = 0; at < text.size(); at += pieceSize)
        out += converter.Convert(std::string_view(text).substr(at, pieceSize));
    return out + converter.Finish();
}

}  // namespace

TEST(AnsiPieces, AnyCutGivesTheWholeConversion) {
    // Chinese, ASCII, a lone lead byte, an invalid pair, a byte code page 936 lacks.
    const std::string ansi =
        "\xD6\xD0\xCE\xC4 mov\r\n\xB3\xCC\xD0\xF2"
        "\x81"
        "A\xAA\xA1\xFF\xD6";
    const std::string utf8 = platform::cp936::cp936ToUtf8(ansi);
    for (std::size_t size = 1; size <= ansi.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_EQ(InPieces<AnsiToUtf8Pieces>(ansi, size), utf8);
    }
    const std::string text = utf8 +
                             "\xF0\x9F\x98\x80"
                             "\xE4\xB8"
                             "x\xC3";  // with broken sequences
    const std::string back = platform::cp936::utf8ToCp936(text);
    for (std::size_t size = 1; size <= text.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_EQ(InPieces<Utf8ToAnsiPieces>(text, size), back);
    }
}

TEST(AnsiPieces, RandomBytesRoundTripInRandomPieces) {
    std::mt19937 random(64000);
    for (int round = 0; round < 100; ++round) {
        std::string bytes(1 + random() % 500, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        const std::size_t cut = 1 + random() % 7;
        const std::string utf8 = InPieces<AnsiToUtf8Pieces>(bytes, cut);
        ASSERT_EQ(InPieces<Utf8ToAnsiPieces>(utf8, 1 + random() % 7), bytes);
    }
}
