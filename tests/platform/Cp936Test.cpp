// Code page 936 conversion: Chinese text both ways and losslessness for any bytes.
#include "platform/Cp936.h"

#include <gtest/gtest.h>

#include <random>

using namespace platform;

namespace {
const std::string kZhong("\xD6\xD0\xCE\xC4", 4);  // "中文" in code page 936
}

TEST(Cp936, DecodesAndEncodesChineseText) {
    EXPECT_EQ(cp936::decode(kZhong), QStringLiteral("中文"));
    EXPECT_EQ(cp936::encode(QStringLiteral("中文")), QByteArray::fromStdString(kZhong));
    EXPECT_EQ(cp936::encode(QStringLiteral("汇编主程序：")),
              QByteArray("\xBB\xE3\xB1\xE0\xD6\xF7\xB3\xCC\xD0\xF2\xA3\xBA"));
}

TEST(Cp936, UndecodableBytesSurviveDecodeThenEncode) {
    // A lone lead byte at the end, a lead byte followed by an invalid trail, 0xFF.
    const std::string samples[] = {std::string("A\xD6"),
                                   std::string("\xD6\x7F"
                                               "B",
                                               3),
                                   std::string("\xFF\xFE\x80"), std::string("\x81\x30", 2)};
    for (const std::string& bytes : samples) {
        const QString text = cp936::decode(bytes);
        EXPECT_EQ(cp936::encode(text).toStdString(), bytes);
    }
}

TEST(Cp936, RandomBytesRoundTripExactly) {
    std::mt19937 random(936);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(1 + random() % 300, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        ASSERT_EQ(cp936::encode(cp936::decode(bytes)).toStdString(), bytes);
        ASSERT_EQ(cp936::utf8ToCp936(cp936::cp936ToUtf8(bytes)), bytes);
    }
}

TEST(Cp936, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(cp936::encode(QStringLiteral("a\u0E01b")), QByteArray("a?b"));  // Thai letter
}

TEST(Cp936, Utf8Conversions) {
    EXPECT_EQ(cp936::cp936ToUtf8(kZhong), "中文");
    EXPECT_EQ(cp936::utf8ToCp936("中文"), kZhong);
    EXPECT_TRUE(cp936::looksLikeUtf8("中文"));
    EXPECT_FALSE(cp936::looksLikeUtf8("plain"));
    EXPECT_FALSE(cp936::looksLikeUtf8(kZhong));
    EXPECT_EQ(cp936::decodeUtf8OrCp936("中文"), QStringLiteral("中文"));
    EXPECT_EQ(cp936::decodeUtf8OrCp936(kZhong), QStringLiteral("中文"));
}
