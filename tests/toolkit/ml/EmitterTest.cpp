// The emitter and what stands behind it: section contents, relocations, labels,
// line records and the listing columns that the passes write through it.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "ObjectStreamer.h"
#include "SourceLine.h"
#include "Symbols.h"

namespace {

using ml::ObjectStreamer;
using ml::RelocKind;
using ml::SectionKind;

struct Streamer {
    ml::SymbolTable symbols;
    ObjectStreamer out{symbols, true};
    std::vector<ml::SourceLine> lines = std::vector<ml::SourceLine>(8);

    explicit Streamer(bool listing = true) {
        for (std::uint32_t i = 0; i < lines.size(); ++i) lines[i].line = i + 1;
        out.beginPass(listing, lines.size());
    }
    const ml::Section& section(std::size_t i) const { return out.sections().at(i); }
    std::string code(std::size_t line) const {
        const ml::ListingData& l = out.listingData();
        return std::string(l.text(l.entries().at(line).code));
    }
};

void put(ObjectStreamer& out, std::initializer_list<std::uint8_t> bytes) {
    const std::vector<std::uint8_t> v(bytes);
    out.bytes(v);
}

TEST(Emitter, SectionsAreMadeOnFirstUseWithAnchorsAndStandardNames) {
    Streamer s;
    EXPECT_FALSE(s.out.hasSection());
    s.out.switchSection("_DATA");
    s.out.switchSection("MYSEG");
    s.out.switchSection("_data");  // the same section again, whatever the case
    ASSERT_EQ(s.out.sections().size(), 2u);
    EXPECT_EQ(s.out.here().section, 0);
    EXPECT_EQ(s.section(0).elfName, ".data");
    EXPECT_EQ(s.section(1).elfName, ".myseg");
    EXPECT_EQ(s.section(1).kind, SectionKind::Data);
    ASSERT_NE(s.out.sectionSymbol(1), nullptr);
    EXPECT_EQ(s.out.sectionSymbol(1)->name, "MYSEG");
    EXPECT_EQ(s.out.sectionSymbol(1)->kind, ml::SymbolKind::Segment);
    EXPECT_EQ(s.out.sectionSymbol(2), nullptr);
    EXPECT_EQ(s.out.sectionSymbol(-1), nullptr);
}

TEST(Emitter, PushedSectionsReturnInOrderAndClassesDecideTheKind) {
    Streamer s;
    s.out.switchSection("_TEXT");
    s.out.pushSection("TABLES");
    s.out.classifySection(SectionKind::Rodata);
    s.out.pushSection("SCRATCH");
    EXPECT_EQ(s.out.sectionName(), "SCRATCH");
    s.out.popSection();
    EXPECT_EQ(s.out.sectionName(), "TABLES");
    EXPECT_EQ(s.out.sectionKind(), SectionKind::Rodata);
    s.out.popSection();
    EXPECT_EQ(s.out.sectionName(), "_TEXT");
    s.out.popSection();  // nothing left to return to: outside any section
    EXPECT_FALSE(s.out.hasSection());
}

TEST(Emitter, BytesFillAndOrgWriteAtTheLocationCounter) {
    Streamer s;
    s.out.switchSection("_DATA");
    put(s.out, {1, 2, 3});
    s.out.fill(0xAA, 2);
    s.out.setOffset(1);
    put(s.out, {9});
    EXPECT_EQ(s.section(0).bytes, (std::vector<std::uint8_t>{1, 9, 3, 0xAA, 0xAA}));
    EXPECT_EQ(s.out.here().offset, 2u);
    EXPECT_EQ(s.section(0).size, 5u);
}

TEST(Emitter, ReservedSpaceOnlyMovesTheCounter) {
    Streamer s;
    s.out.switchSection("_BSS");
    s.out.fill(0, 64);
    put(s.out, {1, 2});
    EXPECT_TRUE(s.section(0).bytes.empty());
    EXPECT_EQ(s.section(0).size, 66u);
}

TEST(Emitter, RepeatCopiesBytesAndTheRelocationsAmongThem) {
    Streamer s;
    ml::Symbol& target = s.symbols.create("target", ml::SymbolKind::External);
    s.out.switchSection("_DATA");
    put(s.out, {7});
    const ml::EmitMark mark = s.out.mark();
    s.out.relocation(RelocKind::Abs32, target, s.out.here().offset);
    put(s.out, {0, 0, 0, 0, 5});
    s.out.repeat(mark, 3);
    EXPECT_EQ(s.out.here().offset, 16u);
    EXPECT_EQ(s.section(0).bytes, (std::vector<std::uint8_t>{7, 0, 0, 0, 0, 5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 5}));
    std::vector<std::uint32_t> at;
    for (const ml::Relocation& r : s.section(0).relocations) {
        EXPECT_EQ(r.symbol, target.id);
        at.push_back(r.offset);
    }
    EXPECT_EQ(at, (std::vector<std::uint32_t>{1, 6, 11}));
}

TEST(Emitter, ALabelReportsWhetherItMoved) {
    Streamer s;
    ml::Symbol& label = s.symbols.create("there", ml::SymbolKind::Label);
    s.out.switchSection("_TEXT");
    EXPECT_FALSE(s.out.label(label));  // first placement: nothing moved
    EXPECT_TRUE(label.defined);
    EXPECT_FALSE(s.out.label(label));  // the same place again
    put(s.out, {0x90});
    EXPECT_TRUE(s.out.label(label));
    EXPECT_EQ(label.value, 1);
    EXPECT_EQ(label.section, 0);
}

TEST(Emitter, DataBeyondTheObjectBoundIsRefused) {
    Streamer s;
    s.out.switchSection("_DATA");
    EXPECT_TRUE(s.out.mayGrowTo(1u << 20));
    EXPECT_FALSE(s.out.mayGrowTo((1ull << 28) + 1));
    s.out.switchSection("_BSS");
    EXPECT_TRUE(s.out.mayGrowTo(1ull << 30));  // reserved space has a bound of its own
    EXPECT_FALSE(s.out.mayGrowTo((1ull << 31) + 1));
}

ml::x86::Encoded encoded(std::initializer_list<std::uint8_t> bytes) {
    ml::x86::Encoded enc;
    for (std::uint8_t b : bytes) enc.bytes[enc.length++] = b;
    return enc;
}

TEST(Emitter, AnInstructionBringsItsRelocationsLineRecordAndCodeColumn) {
    Streamer s;
    ml::Symbol& ext = s.symbols.create("ExitProcess", ml::SymbolKind::External);
    s.out.switchSection("_TEXT");
    s.out.beginLine(2, s.lines[2]);
    put(s.out, {0x90});  // the line record of a later instruction starts at its own offset
    ml::x86::Encoded call = encoded({0xE8, 0xFC, 0xFF, 0xFF, 0xFF});
    call.displacement = ml::x86::Field{1, 4};
    call.fixups.push_back(ml::x86::Fixup{1, ml::x86::FixupKind::Pc32, ext.id});
    s.out.instruction(call);
    s.out.endLine();
    ASSERT_EQ(s.section(0).relocations.size(), 1u);
    EXPECT_EQ(s.section(0).relocations[0].offset, 2u);
    EXPECT_EQ(s.section(0).relocations[0].kind, RelocKind::Pc32);
    ASSERT_EQ(s.section(0).lines.size(), 1u);
    EXPECT_EQ(s.section(0).lines[0].offset, 1u);
    EXPECT_EQ(s.section(0).lines[0].line, 3u);
    const ml::ListingEntry& e = s.out.listingData().entries().at(2);
    EXPECT_EQ(s.code(2), "E8 00000000 E\n");  // the field shows the linker's addend
    EXPECT_EQ(e.offset, 1u);
    EXPECT_TRUE(e.showOffset);
    EXPECT_TRUE(e.producesCode);
}

TEST(Emitter, CodeColumnsMarkPrefixesAndFields) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::uint8_t prefixLength;
        ml::x86::Field displacement, immediate;
        const char* column;
    };
    const Case cases[] = {
        {{0x66, 0xC7, 0x05, 0x10, 0, 0, 0, 0x05, 0}, 1, {3, 4}, {7, 2}, "66|C7 05 00000010 0005\n"},
        {{0xF3, 0xA4}, 1, {}, {}, "F3/A4\n"},
        {{0x26, 0x8B, 0x00}, 1, {}, {}, "26:8B 00\n"},
        {{0x83, 0xC0, 0x7F}, 0, {}, {2, 1}, "83 C0 7F\n"},
    };
    for (const Case& c : cases) {
        Streamer s;
        s.out.switchSection("_TEXT");
        s.out.beginLine(0, s.lines[0]);
        ml::x86::Encoded enc;
        for (std::uint8_t b : c.bytes) enc.bytes[enc.length++] = b;
        enc.prefixLength = c.prefixLength;
        enc.displacement = c.displacement;
        enc.immediate = c.immediate;
        s.out.instruction(enc);
        EXPECT_EQ(s.code(0), c.column);
    }
}

TEST(Emitter, GeneratedCodeIsListedUnderTheLineItIsRedirectedTo) {
    Streamer s;
    s.out.switchSection("_TEXT");
    s.out.beginLine(3, s.lines[3]);
    s.out.listUnder(1);  // as the prologue is listed under its PROC line
    s.out.instruction(encoded({0x55}), "push ebp");
    s.out.listUnder(3);
    s.out.endLine();
    const ml::ListingData& l = s.out.listingData();
    ASSERT_EQ(l.generated().size(), 1u);
    EXPECT_EQ(l.generated()[0].line, 1u);
    EXPECT_EQ(l.generated()[0].text, "push ebp");
    EXPECT_EQ(l.text(l.generated()[0].code), "55\n");
    // The line that was being assembled produced the code.
    EXPECT_TRUE(l.entries()[3].producesCode);
    EXPECT_FALSE(l.entries()[1].producesCode);
}

TEST(Emitter, DataLinesAndEquatesFillTheirColumns) {
    Streamer s;
    s.out.switchSection("_DATA");
    s.out.beginLine(0, s.lines[0]);
    put(s.out, {1, 2});
    const std::array<std::string, 2> rows = {"01 02", "00000003 ["};
    s.out.dataLine(0, rows);
    s.out.endLine();
    s.out.beginLine(1, s.lines[1]);
    s.out.listEquate(13);
    s.out.endLine();
    const ml::ListingData& l = s.out.listingData();
    EXPECT_EQ(s.code(0), "01 02\n00000003 [\n");
    EXPECT_TRUE(l.entries()[0].producesCode);
    EXPECT_EQ(l.text(l.entries()[1].equate), "0000000D");
    EXPECT_FALSE(l.entries()[1].producesCode);
}

TEST(Emitter, WithoutAListingTheSectionsStillFill) {
    Streamer s(false);
    s.out.switchSection("_TEXT");
    s.out.beginLine(0, s.lines[0]);
    EXPECT_FALSE(s.out.listing());
    s.out.instruction(encoded({0xC3}));
    s.out.listOffset();
    s.out.endLine();
    EXPECT_TRUE(s.out.listingData().entries().empty());
    EXPECT_EQ(s.section(0).bytes, (std::vector<std::uint8_t>{0xC3}));
}

TEST(Emitter, ANewPassForgetsContentsButKeepsSections) {
    Streamer s;
    s.out.switchSection("_TEXT");
    put(s.out, {1, 2, 3});
    s.out.beginPass(true, s.lines.size());
    EXPECT_FALSE(s.out.hasSection());
    ASSERT_EQ(s.out.sections().size(), 1u);
    EXPECT_TRUE(s.section(0).bytes.empty());
    s.out.switchSection("_TEXT");
    EXPECT_EQ(s.out.here().offset, 0u);
    EXPECT_EQ(s.out.sections().size(), 1u);
}

}  // namespace
