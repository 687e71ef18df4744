// Code page 936 <-> UTF-8 in pieces: characters split between pieces, bytes that
// do not decode, characters code page 936 lacks, and ASCII that must pass as it is.
#include "Cp936.h"

#include <gtest/gtest.h>

using asmora::toolkit::cp936::cp936ToUtf8;
using Cp936Decoder = asmora::toolkit::cp936::Decoder;
using Cp936Encoder = asmora::toolkit::cp936::Encoder;

namespace {

// 中文 in code page 936 and in UTF-8.
const std::string kChineseCp936 = "\xD6\xD0\xCE\xC4";
const std::string kChineseUtf8 = "中文";

TEST(Cp936Decoder, DecodesWholeTextAndLeavesAsciiAndControlSequencesAlone) {
    Cp936Decoder decoder;
    const std::string ascii = "a\tb\r\n\x1b[31mred\x1b[0m \x1b]0;title\x07\x7f\x01";
    EXPECT_EQ(decoder.decode(ascii), ascii);
    EXPECT_EQ(decoder.decode("[" + kChineseCp936 + "]\r\n"), "[" + kChineseUtf8 + "]\r\n");
    EXPECT_EQ(decoder.decode("\xA3\xAC\xA1\xA3"), "，。");
    EXPECT_EQ(decoder.decode("\x80"), "€");
    EXPECT_EQ(decoder.finish(), "");
}

TEST(Cp936Decoder, CarriesALeadByteOverToTheNextPiece) {
    Cp936Decoder decoder;
    EXPECT_EQ(decoder.decode("x\xD6"), "x");
    EXPECT_EQ(decoder.decode("\xD0"), "中");
    // One byte at a time, as a program that writes byte by byte.
    std::string shown;
    for (char byte : kChineseCp936 + "!") shown += decoder.decode(std::string(1, byte));
    EXPECT_EQ(shown, kChineseUtf8 + "!");
}

TEST(Cp936Decoder, BytesThatDoNotDecodeBecomePrivateCharactersAndNothingIsDropped) {
    Cp936Decoder decoder;
    // 0xFF is never valid; 0x81 followed by a blank is no character.
    EXPECT_EQ(decoder.decode("a\xFF"
                             "b"),
              "a\uF7FF"
              "b");
    EXPECT_EQ(decoder.decode("\x81 z"), "\uF781 z");
    // A lead byte before an escape sequence leaves the sequence whole.
    EXPECT_EQ(decoder.decode("\xD6\x1b[0m"), "\uF7D6\x1b[0m");
    // A lead byte left at the end of the stream.
    EXPECT_EQ(decoder.decode("\xD6"), "");
    EXPECT_EQ(decoder.finish(), "\uF7D6");
    EXPECT_EQ(decoder.finish(), "");
    EXPECT_EQ(cp936ToUtf8("\xD6"), "\uF7D6");
    EXPECT_EQ(cp936ToUtf8(kChineseCp936 + "\xFF"), kChineseUtf8 + "\uF7FF");
}

TEST(Cp936Encoder, EncodesTypedTextAndCarriesASplitCharacterOver) {
    Cp936Encoder encoder;
    EXPECT_EQ(encoder.encode("abc\r\x1b[A\x7f"), "abc\r\x1b[A\x7f");
    EXPECT_EQ(encoder.encode(kChineseUtf8), kChineseCp936);
    const std::string zhong = "中";  // E4 B8 AD
    EXPECT_EQ(encoder.encode(zhong.substr(0, 1)), "");
    EXPECT_EQ(encoder.encode(zhong.substr(1, 1)), "");
    EXPECT_EQ(encoder.encode(zhong.substr(2) + "\n"), "\xD6\xD0\n");
    EXPECT_EQ(encoder.finish(), "");
}

TEST(Cp936Encoder, WhatCodePage936CannotHoldBecomesAQuestionMark) {
    Cp936Encoder encoder;
    EXPECT_EQ(encoder.encode("a😀b"), "a?b");          // outside code page 936
    EXPECT_EQ(encoder.encode("x\xFF\xC0y"), "x??y");  // not UTF-8 at all
    EXPECT_EQ(encoder.encode("\xE4\xB8"), "");
    EXPECT_EQ(encoder.finish(), "?");  // a character never finished
}

TEST(Cp936Encoder, PrivateCharactersGoBackToTheBytesTheyStandFor) {
    Cp936Decoder decoder;
    Cp936Encoder encoder;
    const std::string bytes = "\xFF\x81 " + kChineseCp936 + "\x80";
    EXPECT_EQ(encoder.encode(decoder.decode(bytes) + decoder.finish()), bytes);
}

}  // namespace

namespace {

// A document's text keeps bytes that are not UTF-8, also when they arrive in pieces.
TEST(Cp936Encoder, ADocumentsEncoderKeepsBytesThatAreNotUtf8) {
    using asmora::toolkit::cp936::InvalidUtf8;
    using asmora::toolkit::cp936::utf8ToCp936;
    const struct {
        std::string utf8;
        std::string keep;
        std::string question;
    } cases[] = {
        {"a\xFF"
         "b",
         "a\xFF"
         "b",
         "a?b"},
        {"\xC0\x80", "\xC0\x80", "??"},
        {kChineseUtf8 + "\xE4\xB8", kChineseCp936 + "\xE4\xB8", kChineseCp936 + "??"},
        {"\xF0\x9F\x98\x80", "?", "?"},
        {"\xEF\x9E\x81", "\x81", "\x81"},  // U+F781 stands for the byte 81
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToCp936(c.utf8), c.keep);
        EXPECT_EQ(utf8ToCp936(c.utf8, InvalidUtf8::QuestionMark), c.question);
    }
    Cp936Encoder keeping(InvalidUtf8::KeepByte);
    EXPECT_EQ(keeping.encode("x\xE4"), "x");
    EXPECT_EQ(keeping.encode("\xB8"), "");
    EXPECT_EQ(keeping.finish(), "\xE4\xB8");
}

}  // namespace
