// The UTF-16 text classifier: byte statistics instead of the Windows IsTextUnicode.
//
// The bytes are read as 16-bit units twice, once in each order. An odd byte count or
// fewer than two bytes is never UTF-16. For one order:
//
//   illegal unit   0000, FFFE or FFFF (a NUL character, a reversed BOM, a non-character)
//   common unit    a unit of the blocks that real text is made of (kCommonBlocks below:
//                  ASCII text and line ends, Latin, Greek, Cyrillic, punctuation and
//                  symbols, CJK, Hangul, full-width forms)
//   CJK unit       3000-303F (CJK punctuation), 4E00-9FFF (ideographs), FF00-FFEF
//                  (full-width forms)
//
//   SIGNATURE   the first unit is FEFF.
//   CONTROLS    some unit is TAB, LF, CR or space.
//   ASCII16     no illegal unit, and every unit is 0001-007F (ASCII written as UTF-16).
//   STATISTICS  no illegal unit, and one of:
//     (a) zero bytes sit in the high half of the units: more units have a zero high
//         byte than a zero low byte, and at least 15 of every 16 units are common
//         units. 8-bit text (code page 936, UTF-8) has no zero bytes at all; UTF-16
//         text has one in every ASCII character (digits, blanks, line ends), while
//         read in the wrong order those become units with a zero low byte.
//     (b) not every byte is ASCII, every unit is a CJK unit, and the other order does
//         not pass this same test. This catches Chinese UTF-16 without a single ASCII
//         character. Pure ASCII pairs often fall into the ideograph block ("ab" read
//         as 6261), hence the ASCII exclusion; the level-1 hanzi of code page 936
//         (lead bytes B0-D7) read high byte first fall into the Hangul block, which
//         (b) therefore leaves out.
#include "Utf16Statistics.h"

#include <cstddef>

namespace {

struct Block {
    unsigned first, last;
};

// Unicode blocks that text is made of.
// clang-format off
constexpr Block kCommonBlocks[] = {
    {0x0009, 0x000A},  // TAB, LF
    {0x000C, 0x000D},  // FF, CR
    {0x0020, 0x007E},  // ASCII
    {0x00A0, 0x024F},  // Latin-1 supplement, Latin extended
    {0x0370, 0x04FF},  // Greek, Cyrillic
    {0x2000, 0x2BFF},  // punctuation, symbols, arrows, mathematics, box drawing
    {0x3000, 0x33FF},  // CJK punctuation, kana, bopomofo, enclosed and compatibility forms
    {0x3400, 0x4DBF},  // CJK ideographs, extension A
    {0x4E00, 0x9FFF},  // CJK ideographs
    {0xAC00, 0xD7A3},  // Hangul syllables
    {0xFF00, 0xFFEF},  // half-width and full-width forms
};
// clang-format on

constexpr Block kCjkBlocks[] = {
    {0x3000, 0x303F},
    {0x4E00, 0x9FFF},
    {0xFF00, 0xFFEF},
};

template <std::size_t N>
bool InBlocks(unsigned u, const Block (&blocks)[N]) {
    for (const Block& b : blocks)
        if (u >= b.first && u <= b.last) return true;
    return false;
}

struct OrderCounts {
    std::size_t units = 0;
    std::size_t illegal = 0;
    std::size_t common = 0;
    std::size_t cjk = 0;
    std::size_t ascii = 0;     // 0001-007F
    std::size_t zeroHigh = 0;  // high byte 0, low byte not
    std::size_t zeroLow = 0;   // low byte 0, high byte not
    bool controls = false;
    bool signature = false;
};

bool IsIllegalUnit(unsigned u) { return u == 0x0000 || u == 0xFFFE || u == 0xFFFF; }

OrderCounts CountUnits(const std::uint8_t* bytes, std::size_t units, bool lowByteFirst) {
    OrderCounts c;
    c.units = units;
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned first = bytes[2 * i], second = bytes[2 * i + 1];
        const unsigned low = lowByteFirst ? first : second;
        const unsigned high = lowByteFirst ? second : first;
        const unsigned u = high << 8 | low;
        if (i == 0) c.signature = u == 0xFEFF;
        if (IsIllegalUnit(u)) ++c.illegal;
        if (InBlocks(u, kCommonBlocks)) ++c.common;
        if (InBlocks(u, kCjkBlocks)) ++c.cjk;
        if (u >= 0x01 && u <= 0x7F) ++c.ascii;
        if (high == 0 && low != 0) ++c.zeroHigh;
        if (low == 0 && high != 0) ++c.zeroLow;
        if (u == 0x09 || u == 0x0A || u == 0x0D || u == 0x20) c.controls = true;
    }
    return c;
}

bool PassesZeroByteStatistics(const OrderCounts& c) { return c.zeroHigh > c.zeroLow && c.common * 16 >= c.units * 15; }

bool AllCjk(const OrderCounts& c) { return c.illegal == 0 && c.cjk == c.units; }

bool AllAscii(const std::uint8_t* bytes, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        if (bytes[i] >= 0x80) return false;
    return true;
}

// The four test results of one order, as the native flag values.
unsigned OrderResults(const OrderCounts& mine, const OrderCounts& other, bool allBytesAscii) {
    unsigned found = 0;
    if (mine.signature) found |= IS_TEXT_UNICODE_SIGNATURE;
    if (mine.controls) found |= IS_TEXT_UNICODE_CONTROLS;
    if (mine.illegal != 0) return found;
    if (mine.ascii == mine.units) found |= IS_TEXT_UNICODE_ASCII16;
    const bool zeroByteCase = PassesZeroByteStatistics(mine);
    const bool cjkOnlyCase = !allBytesAscii && AllCjk(mine) && !AllCjk(other);
    if (zeroByteCase || cjkOnlyCase) found |= IS_TEXT_UNICODE_STATISTICS;
    return found;
}

constexpr unsigned kTextDeciding = IS_TEXT_UNICODE_ASCII16 | IS_TEXT_UNICODE_STATISTICS | IS_TEXT_UNICODE_SIGNATURE;

}  // namespace

bool IsTextUnicode(const std::uint8_t* bytes, int length, unsigned* tests) {
    const unsigned requested = tests ? *tests : 0xFF;
    unsigned found = 0;
    if (bytes && length >= 2 && length % 2 == 0) {
        const std::size_t units = static_cast<std::size_t>(length) / 2;
        const OrderCounts native = CountUnits(bytes, units, true);
        const OrderCounts reverse = CountUnits(bytes, units, false);
        const bool ascii = AllAscii(bytes, static_cast<std::size_t>(length));
        found = OrderResults(native, reverse, ascii) | OrderResults(reverse, native, ascii) << 4;
    }
    found &= requested;
    if (tests) *tests = found;
    return (found & (kTextDeciding | kTextDeciding << 4)) != 0;
}
