// Tests of the UTF-16 classifier that stands in for IsTextUnicode.
#include "Utf16Statistics.h"
#include "UtfFunct.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Utf16(std::u16string_view text, bool lowByteFirst) {
    Bytes out;
    for (char16_t u : text) {
        const auto low = static_cast<std::uint8_t>(u & 0xFF), high = static_cast<std::uint8_t>(u >> 8);
        out.push_back(lowByteFirst ? low : high);
        out.push_back(lowByteFirst ? high : low);
    }
    return out;
}

Bytes Raw(std::string_view text) { return Bytes(text.begin(), text.end()); }

struct Answer {
    bool unicode;
    unsigned tests;
};

Answer Classify(const Bytes& bytes) {
    unsigned tests = 0xFF;
    const bool unicode = IsTextUnicode(bytes.data(), static_cast<int>(bytes.size()), &tests);
    return {unicode, tests};
}

// What DetectUtf16Statistics makes of the bytes: 5, 6, or 0 for "not UTF-16".
int Utf16Kind(const Bytes& bytes) {
    EncodingKind kind = ekAnsi;
    return DetectUtf16Statistics(bytes.data(), static_cast<int>(bytes.size()), kind) ? kind : 0;
}

const std::u16string kAsciiSource = u"mov eax, 1\r\n\tINVOKE ExitProcess, 0\r\n";
const std::u16string kChineseSource = u";程序：求和\r\n; 作者：张三\r\n.386\r\n";
const std::u16string kChineseOnly = u"汇编语言程序设计，寄存器与内存。";

}  // namespace

TEST(Utf16Statistics, AsciiWrittenAsUtf16InEitherOrder) {
    const Answer le = Classify(Utf16(kAsciiSource, true));
    EXPECT_TRUE(le.unicode);
    EXPECT_TRUE(le.tests & IS_TEXT_UNICODE_ASCII16);
    EXPECT_TRUE(le.tests & IS_TEXT_UNICODE_CONTROLS);
    EXPECT_FALSE(le.tests & (IS_TEXT_UNICODE_REVERSE_ASCII16 | IS_TEXT_UNICODE_REVERSE_STATISTICS));
    EXPECT_EQ(Utf16Kind(Utf16(kAsciiSource, true)), ekUtf16LENoBom);

    const Answer be = Classify(Utf16(kAsciiSource, false));
    EXPECT_TRUE(be.unicode);
    EXPECT_TRUE(be.tests & IS_TEXT_UNICODE_REVERSE_ASCII16);
    EXPECT_FALSE(be.tests & (IS_TEXT_UNICODE_ASCII16 | IS_TEXT_UNICODE_STATISTICS));
    EXPECT_EQ(Utf16Kind(Utf16(kAsciiSource, false)), ekUtf16BENoBom);
}

TEST(Utf16Statistics, ChineseUtf16InEitherOrder) {
    const Answer le = Classify(Utf16(kChineseSource, true));
    EXPECT_TRUE(le.tests & IS_TEXT_UNICODE_STATISTICS);
    EXPECT_FALSE(le.tests & IS_TEXT_UNICODE_ASCII16);
    EXPECT_EQ(Utf16Kind(Utf16(kChineseSource, true)), ekUtf16LENoBom);
    EXPECT_EQ(Utf16Kind(Utf16(kChineseSource, false)), ekUtf16BENoBom);

    // Without a single ASCII character the zero bytes say little: 言 (8A00) holds one
    // in its low half.
    EXPECT_EQ(Utf16Kind(Utf16(kChineseOnly, true)), ekUtf16LENoBom);
    EXPECT_EQ(Utf16Kind(Utf16(kChineseOnly, false)), ekUtf16BENoBom);
}

TEST(Utf16Statistics, EightBitTextIsNotUtf16) {
    EXPECT_EQ(Utf16Kind(Raw("mov eax, 1\r\nBush hid the facts\r\n")), 0) << "ASCII pairs land in the ideographs";
    EXPECT_EQ(Utf16Kind(Raw("abcd")), 0);
    // ";程序：求和\r\n.386\r\n" in code page 936, and in UTF-8.
    const Bytes cp936 = Raw("\x3b\xb3\xcc\xd0\xf2\xa3\xba\xc7\xf3\xba\xcd\x0d\x0a\x2e\x33\x38\x36\x0d\x0a");
    EXPECT_EQ(Utf16Kind(cp936), 0);
    const Bytes cp936Only = Raw("\xb3\xcc\xd0\xf2\xc7\xf3\xba\xcd\xbb\xe3\xb1\xe0");  // 程序求和汇编
    EXPECT_EQ(Utf16Kind(cp936Only), 0) << "level-1 hanzi read high byte first look like Hangul";
    const Bytes utf8 = Raw(";\xe7\xa8\x8b\xe5\xba\x8f\xef\xbc\x9a\xe6\xb1\x82\xe5\x92\x8c\r\n.386\r\n");
    EXPECT_EQ(Utf16Kind(utf8), 0);
    const Bytes utf8Only = Raw("\xe7\xa8\x8b\xe5\xba\x8f\xe6\xb1\x82\xe5\x92\x8c");
    EXPECT_EQ(Utf16Kind(utf8Only), 0);
}

TEST(Utf16Statistics, OddLengthsNulsAndBinaryAreNotText) {
    Bytes odd = Utf16(kAsciiSource, true);
    odd.push_back('x');
    EXPECT_FALSE(Classify(odd).unicode);
    EXPECT_FALSE(Classify(Bytes{'A'}).unicode);
    EXPECT_FALSE(Classify(Bytes{}).unicode);

    Bytes withNul = Utf16(kAsciiSource, true);
    withNul.push_back(0);
    withNul.push_back(0);
    EXPECT_EQ(Utf16Kind(withNul), 0);

    Bytes binary;
    for (int i = 0; i < 256; ++i) binary.push_back(static_cast<std::uint8_t>(i * 7));
    EXPECT_EQ(Utf16Kind(binary), 0);
    const Bytes sparseBinary = {0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x90, 0x00};
    EXPECT_EQ(Utf16Kind(sparseBinary), 0) << "control characters are not text";
}

TEST(Utf16Statistics, SignatureAndRequestedTests) {
    const Bytes signed16 = Utf16(u"\uFEFF\x4E2D\x6587", true);
    unsigned onlySignature = IS_TEXT_UNICODE_SIGNATURE;
    EXPECT_TRUE(IsTextUnicode(signed16.data(), static_cast<int>(signed16.size()), &onlySignature));
    EXPECT_EQ(onlySignature, static_cast<unsigned>(IS_TEXT_UNICODE_SIGNATURE));

    const Bytes ascii = Utf16(kAsciiSource, true);
    unsigned onlyControls = IS_TEXT_UNICODE_CONTROLS;
    EXPECT_FALSE(IsTextUnicode(ascii.data(), static_cast<int>(ascii.size()), &onlyControls))
        << "control characters alone do not make text UTF-16";
    EXPECT_EQ(onlyControls, static_cast<unsigned>(IS_TEXT_UNICODE_CONTROLS));
}
