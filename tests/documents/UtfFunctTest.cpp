// Tests of encoding detection, the coding cookie and the UTF-16 <-> UTF-8 converters.
#include "UtfFunct.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

Bytes B(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

EncodingKind Detect(const Bytes& bytes, int* skip = nullptr) {
    EncodingKind kind = ekUtf16BE;  // DetectBom must overwrite it
    const int bom = DetectBom(bytes.data(), static_cast<int>(bytes.size()), kind);
    if (skip) *skip = bom;
    return kind;
}

Bytes Utf16ToUtf8(const Bytes& in, EncodingKind kind) {
    Utf16_Iter iter;
    Bytes out;
    iter.Attach(in.data(), in.size(), kind);
    while (iter.HasMore()) {
        out.push_back(iter.Value());
        iter.Step();
    }
    return out;
}

std::vector<std::uint16_t> Utf8ToUnits(const Bytes& in, EncodingKind kind) {
    Utf8_Iter iter;
    std::vector<std::uint16_t> out;
    iter.Attach(in.data(), in.size(), kind);
    while (iter.HasMore()) {
        iter.Step();
        if (iter.IsComplete()) out.push_back(iter.Value());
    }
    return out;
}

Bytes DecodeAll(UtfRead& reader, const Bytes& piece) {
    const int count = reader.Decode(piece.data(), static_cast<int>(piece.size()));
    if (count <= 0) return {};
    return Bytes(reader.Output(), reader.Output() + count);
}

// Records every write separately so tests can see where a BOM went.
class RecordingStream : public UtfOutputStream {
public:
    int Write(const std::uint8_t* bytes, int length) override {
        writes.emplace_back(bytes, bytes + length);
        return length;
    }
    Bytes All() const {
        Bytes all;
        for (const Bytes& w : writes) all.insert(all.end(), w.begin(), w.end());
        return all;
    }
    std::vector<Bytes> writes;
};

Bytes Encode(EncodingKind kind, const Bytes& utf8) {
    RecordingStream stream;
    UtfWrite writer;
    writer.SetKind(kind);
    writer.SetStream(&stream);
    writer.Write(utf8.data(), static_cast<int>(utf8.size()));
    return stream.All();
}

}  // namespace

TEST(DetectBom, RecognisesEachBomAndReturnsItsLength) {
    int skip = -1;
    EXPECT_EQ(Detect(B({0xFE, 0xFF, 0x41, 0x00}), &skip), ekUtf16BE);
    EXPECT_EQ(skip, 2);
    EXPECT_EQ(Detect(B({0xFF, 0xFE, 0x41, 0x00}), &skip), ekUtf16LE);
    EXPECT_EQ(skip, 2);
    EXPECT_EQ(Detect(Cat(B({0xEF, 0xBB, 0xBF}), B("mov")), &skip), ekUtf8);
    EXPECT_EQ(skip, 3);
    EXPECT_EQ(Detect(B({0xFF, 0xFE, 0x00, 0x00}), &skip), ekUtf16LE) << "not taken for UTF-32";
    EXPECT_EQ(skip, 2);
    EXPECT_EQ(Detect(B({0xEF, 0xBB}), &skip), ekAnsi) << "a BOM cut short is no BOM";
    EXPECT_EQ(skip, 0);
    EXPECT_EQ(Detect(B("mov ax, bx"), &skip), ekAnsi);
    EXPECT_EQ(skip, 0);
}

TEST(DetectBom, BuffersShorterThanTwoBytesAreAnsi) {
    for (int b : {0x00, 0x41, 0xEF, 0xFE, 0xFF}) EXPECT_EQ(Detect(B({b})), ekAnsi) << b;
    EXPECT_EQ(Detect(Bytes{}), ekAnsi);
    EncodingKind kind = ekUtf8;
    EXPECT_EQ(DetectBom(nullptr, 5, kind), 0);
    EXPECT_EQ(kind, ekAnsi);
}

TEST(BomTable, HoldsTheBomOfEachKind) {
    EXPECT_EQ(Bytes(BomTable[0], BomTable[0] + 3), B({0x00, 0x00, 0x00}));
    EXPECT_EQ(Bytes(BomTable[1], BomTable[1] + 3), B({0xFE, 0xFF, 0x00}));
    EXPECT_EQ(Bytes(BomTable[2], BomTable[2] + 3), B({0xFF, 0xFE, 0x00}));
    EXPECT_EQ(Bytes(BomTable[3], BomTable[3] + 3), B({0xEF, 0xBB, 0xBF}));
}

TEST(CodingCookie, IsFoundOnLineOneOrTwoOnly) {
    EXPECT_EQ(Detect(B("; coding: utf-8\r\nmov ax, bx\r\n")), ekUtf8Cookie);
    EXPECT_EQ(Detect(B(";Program\r\n; coding: utf-8\r\nmov ax, bx\r\n")), ekUtf8Cookie);
    EXPECT_EQ(Detect(B(";Program\r\n;Author\r\n; coding: utf-8\r\n")), ekAnsi);
    EXPECT_EQ(Detect(B(";Program\n; coding: utf-8\n")), ekUtf8Cookie) << "LF line ends";
    EXPECT_EQ(Detect(B(";Program\r; coding: utf-8\r")), ekUtf8Cookie) << "CR line ends";
    EXPECT_EQ(Detect(B("\r\n\r\n; coding: utf-8")), ekAnsi) << "CR LF is one line end, so the cookie is line 3";
    EXPECT_EQ(Detect(B("\n\r; coding: utf-8")), ekAnsi) << "LF CR is two line ends";
}

TEST(CodingCookie, ReadsTheValueByTheCookieRules) {
    EXPECT_EQ(ReadCodingCookie("; -*- coding: utf-8 -*-"), ekUtf8Cookie);
    EXPECT_EQ(ReadCodingCookie("; coding='UTF-8'"), ekUtf8Cookie) << "quote skipped, value lower-cased";
    EXPECT_EQ(ReadCodingCookie("; coding=\"utf-8\""), ekUtf8Cookie);
    EXPECT_EQ(ReadCodingCookie("; coding:\t utf-8\r\n"), ekUtf8Cookie);
    EXPECT_EQ(ReadCodingCookie("; coding: UTF-8"), ekUtf8Cookie);
    EXPECT_EQ(ReadCodingCookie("; Coding: utf-8"), ekAnsi) << "the keyword is case-sensitive";
    EXPECT_EQ(ReadCodingCookie("; coding : utf-8"), ekAnsi) << "blank before the colon";
    EXPECT_EQ(ReadCodingCookie("; coding: utf8"), ekAnsi);
    EXPECT_EQ(ReadCodingCookie("; coding utf-8"), ekAnsi);
    EXPECT_EQ(ReadCodingCookie("; coding: utf-8.x"), ekAnsi) << "the whole run of cookie characters is the value";
    EXPECT_EQ(ReadCodingCookie("; coding: utf-8;"), ekUtf8Cookie) << "the run ends at the first other character";
    EXPECT_EQ(ReadCodingCookie("; coding: utf-"), ekAnsi);
    EXPECT_EQ(ReadCodingCookie("; coding:"), ekAnsi);
    EXPECT_EQ(ReadCodingCookie("; encoding is coding: utf-8"), ekAnsi) << "only the first occurrence is examined";
    EXPECT_EQ(ReadCodingCookie(""), ekAnsi);
}

TEST(CodingCookie, CookieCharactersAndLines) {
    for (char c : std::string_view("AZaz09_-.")) EXPECT_TRUE(IsCookieChar(c)) << c;
    for (char c : std::string_view(" :=\"'\t\r\n+/")) EXPECT_FALSE(IsCookieChar(c)) << c;

    const Bytes text = B("ab\r\ncd\ref\n\ngh");
    EXPECT_EQ(TakeLine(text.data(), text.size(), 0), "ab\r\n");
    EXPECT_EQ(TakeLine(text.data(), text.size(), 4), "cd\r");
    EXPECT_EQ(TakeLine(text.data(), text.size(), 7), "ef\n");
    EXPECT_EQ(TakeLine(text.data(), text.size(), 10), "\n");
    EXPECT_EQ(TakeLine(text.data(), text.size(), 11), "gh");
    EXPECT_EQ(TakeLine(text.data(), text.size(), 13), "");
    EXPECT_EQ(TakeLine(text.data(), 3, 0), "ab\r") << "never past the end given";
}

TEST(Utf16Iter, ConvertsEachUnitToOneToThreeBytes) {
    EXPECT_EQ(Utf16ToUtf8(B({0x41, 0x00}), ekUtf16LE), B({0x41}));
    EXPECT_EQ(Utf16ToUtf8(B({0x41, 0x00}), ekUtf16BE), B({0xE4, 0x84, 0x80}));
    EXPECT_EQ(Utf16ToUtf8(B({0x00, 0xE9}), ekUtf16BENoBom), B({0xC3, 0xA9}));
    EXPECT_EQ(Utf16ToUtf8(B({0x2D, 0x4E, 0x87, 0x65}), ekUtf16LENoBom), B({0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87}));
    EXPECT_EQ(Utf16ToUtf8(B({0xD8, 0x3D}), ekUtf16BE), B({0xED, 0xA0, 0xBD})) << "a surrogate on its own";
    EXPECT_EQ(Utf16ToUtf8(B({0x00, 0x00}), ekUtf16BE), B({0x00}));
    EXPECT_EQ(Utf16ToUtf8(B({0x7F, 0x00, 0x80, 0x00, 0xFF, 0x07, 0x00, 0x08}), ekUtf16LE),
              B({0x7F, 0xC2, 0x80, 0xDF, 0xBF, 0xE0, 0xA0, 0x80}))
        << "the boundaries of the one-, two- and three-byte forms";
}

TEST(Utf16Iter, DropsAFinalOddByteAndReadsNothingBeyondTheRange) {
    EXPECT_EQ(Utf16ToUtf8(B({0x41, 0x00, 0x42}), ekUtf16LE), B({0x41}));
    EXPECT_EQ(Utf16ToUtf8(B({0x42}), ekUtf16LE), Bytes{});
    EXPECT_EQ(Utf16ToUtf8(Bytes{}, ekUtf16LE), Bytes{});

    const Bytes data = B({0x41, 0x00, 0x2D, 0x4E});
    Utf16_Iter iter;
    Bytes out;
    iter.Attach(data.data(), 2, ekUtf16LE);  // the second unit lies beyond the range
    while (iter.HasMore()) {
        out.push_back(iter.Value());
        iter.Step();
    }
    EXPECT_EQ(out, B({0x41}));
}

TEST(Utf16Iter, UnknownKindsReadHighByteFirst) {
    EXPECT_EQ(Utf16ToUtf8(B({0x00, 0x41}), static_cast<EncodingKind>(7)), B({0x41}));
    EXPECT_EQ(Utf16ToUtf8(B({0x00, 0x41}), ekUtf8), B({0x41}));
}

TEST(Utf8Iter, BuildsUnitsByTheByteRules) {
    using Units = std::vector<std::uint16_t>;
    EXPECT_EQ(Utf8ToUnits(B({0xC3, 0xA9}), ekUtf16LE), Units({0x00E9}));
    EXPECT_EQ(Utf8ToUnits(B({0xC3, 0xA9}), ekUtf16BE), Units({0xE900})) << "bytes exchanged for high byte first";
    EXPECT_EQ(Utf8ToUnits(B({0xE4, 0xB8, 0xAD, 0x41}), ekUtf16LENoBom), Units({0x4E2D, 0x0041}));
    EXPECT_EQ(Utf8ToUnits(B({0x80}), ekUtf16LE), Units({0x0080})) << "a stray continuation byte";
    EXPECT_EQ(Utf8ToUnits(B({0xE4, 0xB8}), ekUtf16LE), Units{}) << "an open sequence gives nothing";
    EXPECT_EQ(Utf8ToUnits(B({0xF0, 0x9F, 0x98, 0x80}), ekUtf16LE), Units({0x07D8, 0x0080}))
        << "four bytes: a unit from the first three (F0 loses bit 4), one from the fourth";
    EXPECT_EQ(Utf8ToUnits(B({0xC3, 0x41}), ekUtf16LE), Units({0x00C1})) << "any byte serves as a continuation";
    EXPECT_EQ(Utf8ToUnits(B({0xED, 0xA0, 0xBD}), ekUtf16BE), Units({0x3DD8}));
}

TEST(Utf8Iter, OpenTailCountsTheBytesOfAnUnfinishedSequence) {
    auto tail = [](const Bytes& b) { return OpenUtf8IterTail(b.data(), b.size()); };
    EXPECT_EQ(tail(B({0x41, 0xE4, 0xB8})), 2u);
    EXPECT_EQ(tail(B({0x41, 0xE4})), 1u);
    EXPECT_EQ(tail(B({0x41, 0xC3})), 1u);
    EXPECT_EQ(tail(B({0xE4, 0xB8, 0xAD})), 0u);
    EXPECT_EQ(tail(B({0xE4, 0xC3, 0x41})), 0u) << "C3 is consumed as a continuation here";
    EXPECT_EQ(tail(B({0xE4, 0xC3, 0x41, 0xC3})), 1u);
    EXPECT_EQ(tail(Bytes{}), 0u);
}

TEST(UtfRead, DetectsOnTheFirstPieceAndConvertsUtf16) {
    UtfRead be;
    EXPECT_EQ(DecodeAll(be, B({0xFE, 0xFF, 0x41, 0x00})), B({0xE4, 0x84, 0x80}));
    EXPECT_EQ(be.kind, ekUtf16BE);

    UtfRead le;
    EXPECT_EQ(DecodeAll(le, B({0xFF, 0xFE, 0x41, 0x00})), B({0x41}));
    EXPECT_EQ(le.kind, ekUtf16LE);
    EXPECT_EQ(DecodeAll(le, B({0xFF, 0xFE, 0x42, 0x00})), B({0xEF, 0xBB, 0xBF, 0x42}))
        << "a later piece is not examined: FF FE is the unit FEFF there";

    UtfRead odd;
    EXPECT_EQ(DecodeAll(odd, B({0xFF, 0xFE, 0x41, 0x00, 0x42})), B({0x41})) << "odd byte count";
}

TEST(UtfRead, HandsBackUtf8AndAnsiUncopied) {
    const Bytes withBom = Cat(B({0xEF, 0xBB, 0xBF}), B("mov"));
    UtfRead utf8;
    EXPECT_EQ(utf8.Decode(withBom.data(), static_cast<int>(withBom.size())), 3);
    EXPECT_EQ(utf8.Output(), withBom.data() + 3);
    EXPECT_EQ(utf8.kind, ekUtf8);

    const Bytes ansi = B({0xD6, 0xD0, 0xCE, 0xC4});
    UtfRead plain;
    EXPECT_EQ(plain.Decode(ansi.data(), 4), 4);
    EXPECT_EQ(plain.Output(), ansi.data());
    EXPECT_EQ(plain.kind, ekAnsi);

    const Bytes cookie = B("; coding: utf-8\nmov");
    UtfRead cookieReader;
    EXPECT_EQ(cookieReader.Decode(cookie.data(), static_cast<int>(cookie.size())), static_cast<int>(cookie.size()));
    EXPECT_EQ(cookieReader.kind, ekUtf8Cookie);
}

TEST(UtfRead, AKindSetByTheCallerIsNotDetectedAgain) {
    const Bytes withBom = Cat(B({0xEF, 0xBB, 0xBF}), B("A"));
    UtfRead reader;
    reader.kind = ekUtf8;
    EXPECT_EQ(reader.Decode(withBom.data(), 4), 4) << "the caller skips its own BOM";

    UtfRead utf16;
    utf16.kind = ekUtf16LENoBom;
    EXPECT_EQ(DecodeAll(utf16, B({0x41, 0x00})), B({0x41}));
    EXPECT_EQ(DecodeAll(utf16, B({0x2D, 0x4E, 0x42, 0x00})), B({0xE4, 0xB8, 0xAD, 0x42})) << "buffer resized";
    EXPECT_EQ(DecodeAll(utf16, B({0x43, 0x00})), B({0x43}));
}

TEST(UtfRead, StatisticsFindUtf16WithoutBomAndMayOverruleTheCookie) {
    const Bytes asciiLe = B({'m', 0, 'o', 0, 'v', 0, '\r', 0, '\n', 0});
    UtfRead le;
    EXPECT_EQ(DecodeAll(le, asciiLe), B("mov\r\n"));
    EXPECT_EQ(le.kind, ekUtf16LENoBom);

    const Bytes asciiBe = B({0, 'm', 0, 'o', 0, 'v'});
    UtfRead be;
    EXPECT_EQ(DecodeAll(be, asciiBe), B("mov"));
    EXPECT_EQ(be.kind, ekUtf16BENoBom);

    Bytes cookieThenUtf16 = B("coding=utf-8\r\n");
    for (int i = 0; i < 20; ++i) cookieThenUtf16 = Cat(cookieThenUtf16, B({'a', 0}));
    UtfRead overruled;
    DecodeAll(overruled, cookieThenUtf16);
    EXPECT_EQ(overruled.kind, ekUtf16LENoBom);
}

TEST(UtfWrite, WritesEachKindWithItsBom)
// clang-format off
{
    const Bytes e9 = B({0xC3, 0xA9});
    // kind              UTF-8 in                 written out
    const struct {
        EncodingKind kind;
        Bytes utf8;
        Bytes written;
        const char *note;
    } kCases[] = {
        {ekUtf16BE,      e9,                      B({0xFE, 0xFF, 0x00, 0xE9}),       ""},
        {ekUtf16LE,      e9,                      B({0xFF, 0xFE, 0xE9, 0x00}),       ""},
        {ekUtf16BENoBom, e9,                      B({0x00, 0xE9}),                   ""},
        {ekUtf16LENoBom, e9,                      B({0xE9, 0x00}),                   ""},
        {ekUtf8,         e9,                      B({0xEF, 0xBB, 0xBF, 0xC3, 0xA9}), ""},
        {ekUtf8Cookie,   e9,                      e9,                                ""},
        {ekAnsi,         e9,                      e9,                                ""},
        {ekUtf16LE,      B({0xED, 0xA0, 0xBD}),   B({0xFF, 0xFE, 0x3D, 0xD8}),       "a surrogate comes back"},
        {ekUtf16LE,      B({0x80, 0xE4, 0xB8}),   B({0xFF, 0xFE, 0x80, 0x00}),
         "a stray continuation byte is U+0080; an open sequence at the end gives nothing"},
    };
    for (const auto &c : kCases)
        EXPECT_EQ(Encode(c.kind, c.utf8), c.written) << "kind " << int(c.kind) << " " << c.note;
}
// clang-format on

TEST(UtfWrite, TheBomGoesOutOncePerStream) {
    RecordingStream first;
    UtfWrite writer;
    writer.SetKind(ekUtf8);
    writer.SetStream(&first);
    const Bytes a = B("a"), bc = B("bc");
    EXPECT_EQ(writer.Write(a.data(), 0), 0) << "an empty piece keeps the BOM pending";
    EXPECT_EQ(writer.Write(a.data(), 1), 1);
    EXPECT_EQ(writer.Write(bc.data(), 2), 2) << "the count of the last stream write";
    EXPECT_EQ(first.All(), B({0xEF, 0xBB, 0xBF, 'a', 'b', 'c'}));

    RecordingStream second;
    writer.SetStream(&second);
    writer.Write(a.data(), 1);
    EXPECT_EQ(second.All(), B({0xEF, 0xBB, 0xBF, 'a'}));

    writer.SetKind(ekUtf16BE);
    RecordingStream third;
    writer.SetStream(&third);
    EXPECT_EQ(writer.Write(bc.data(), 2), 4);
    writer.Write(a.data(), 1);
    EXPECT_EQ(third.All(), B({0xFE, 0xFF, 0, 'b', 0, 'c', 0, 'a'}));
}

TEST(UtfWrite, WritesNothingWithoutAStream) {
    UtfWrite writer;
    writer.SetKind(ekUtf16LE);
    const Bytes a = B("a");
    EXPECT_EQ(writer.Write(a.data(), 1), 0);
    RecordingStream stream;
    writer.SetStream(&stream);
    writer.Write(a.data(), 1);
    EXPECT_EQ(stream.All(), B({0xFF, 0xFE, 'a', 0})) << "the BOM was still pending";
}

TEST(UtfWrite, ReusesAndGrowsItsBufferAcrossPieces) {
    RecordingStream stream;
    UtfWrite writer;
    writer.SetKind(ekUtf16LENoBom);
    writer.SetStream(&stream);
    const Bytes longer = B("abcdef"), shorter = B("xy");
    writer.Write(shorter.data(), 2);
    writer.Write(longer.data(), 6);
    writer.Write(shorter.data(), 2);
    EXPECT_EQ(stream.All(), B({'x', 0, 'y', 0, 'a', 0, 'b', 0, 'c', 0, 'd', 0, 'e', 0, 'f', 0, 'x', 0, 'y', 0}));
}
