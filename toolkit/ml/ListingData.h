// What the listing shows beside each source line, recorded by the final pass: the
// offset column, the code column and equate values, plus the instructions the
// assembler wrote itself. The code text of all lines lives in one string, so that a
// line's entry is a few numbers rather than strings of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ml {

// A stretch of ListingData::text().
struct ListingText {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    bool empty() const { return begin == end; }
};

struct ListingEntry {
    std::int32_t section = -1;  // section of the offset column; -1 = none
    std::uint32_t offset = 0;
    // The code column: pieces each followed by '\n', one per instruction or group of
    // data rows:  "8B 45 08\n"   "00000064 [\n00000000\n ]\n"
    ListingText code;
    ListingText equate;  // "0000000D" for = and EQU lines
    bool showOffset = false;
    bool producesCode = false;  // the line produced code or data
};

// An instruction the assembler wrote for a line (INVOKE, prologue, epilogue, .IF),
// listed below it with '*'.
struct GeneratedCode {
    std::size_t line = 0;
    std::uint32_t offset = 0;
    ListingText code;  // one piece, followed by '\n'
    std::string text;
};

class ListingData {
public:
    // Forgets everything for a new final pass over `lines` lines.
    void reset(std::size_t lines);
    // The entry of line `line`; nullptr past the lines of the pass.
    ListingEntry* entry(std::size_t line) { return line < entries_.size() ? &entries_[line] : nullptr; }

    // Adds a piece to the end of the line's code column.
    void addCode(ListingEntry& e, std::string_view piece);
    void setEquate(ListingEntry& e, std::string_view text);
    void addGenerated(std::size_t line, std::uint32_t offset, std::string_view code, std::string_view text);

    const std::vector<ListingEntry>& entries() const { return entries_; }
    const std::vector<GeneratedCode>& generated() const { return generated_; }
    std::string_view text(ListingText t) const { return std::string_view(text_).substr(t.begin, t.end - t.begin); }

private:
    ListingText store(std::string_view piece);

    std::vector<ListingEntry> entries_;
    std::vector<GeneratedCode> generated_;  // in line order
    std::string text_;
};

}  // namespace ml
