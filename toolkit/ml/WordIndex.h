// Fixed tables of reserved words (directives, operators, type names), looked up
// ignoring case with one hash probe instead of a string search: every statement asks
// several of them about its words.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ml {

// A word of up to 16 characters folded to lower case and packed into two numbers,
// so that words compare as two integers:  "DWord" -> {"dword", 0}, size 5.
struct FoldedWord {
    static constexpr std::size_t kMaxSize = 16;
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    std::uint32_t size = 0;
    bool fits = false;  // false for longer words, which no table holds

    static FoldedWord of(std::string_view word) {
        FoldedWord f;
        if (word.size() > kMaxSize) return f;
        f.fits = true;
        f.size = static_cast<std::uint32_t>(word.size());
        for (std::size_t i = 0; i < word.size(); ++i) {
            auto c = static_cast<unsigned char>(word[i]);
            if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + ('a' - 'A'));
            (i < 8 ? f.low : f.high) |= std::uint64_t(c) << (8 * (i % 8));
        }
        return f;
    }
    std::uint64_t hash() const { return (low * 0x9E3779B97F4A7C15ull) ^ (high * 0xC2B2AE3D27D4EB4Full) ^ size; }
    bool operator==(const FoldedWord& o) const { return low == o.low && high == o.high && size == o.size; }
};

// An index over a table of rows whose `name` is a lower-case word; the rows stay
// where they are and find() returns a pointer to one of them.
//   static const WordIndex index(kKeywords);
//   if (const KeywordName* k = index.find("PTR")) ...
template <class Row>
class WordIndex {
public:
    template <std::size_t N>
    explicit WordIndex(const std::array<Row, N>& rows)
        : WordIndex(std::span<const Row>(rows), [](const Row&) { return true; }) {}

    // Only the rows that `keep` accepts: one table may hold a word twice, once for each
    // of two indexes.
    template <class Keep>
    WordIndex(std::span<const Row> rows, Keep keep) {
        // At most a quarter full: probe sequences stay short.
        unsigned bits = 3;
        while ((std::size_t(1) << bits) < rows.size() * 4) ++bits;
        slots_.resize(std::size_t(1) << bits);
        shift_ = 64 - bits;
        for (const Row& row : rows)
            if (keep(row)) insert(row);
    }

    const Row* find(std::string_view word) const {
        // Most words asked about are no reserved word of the table: their first
        // character and length say so before any hashing.
        if (word.empty() || word.size() > FoldedWord::kMaxSize ||
            !((sizesByInitial_[static_cast<unsigned char>(word[0])] >> word.size()) & 1u))
            return nullptr;
        const FoldedWord key = FoldedWord::of(word);
        if (!key.fits) return nullptr;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = slotOf(key);; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (!slot.row) return nullptr;
            if (slot.key == key) return slot.row;
        }
    }

private:
    struct Slot {
        FoldedWord key;
        const Row* row = nullptr;
    };

    std::size_t slotOf(const FoldedWord& key) const { return static_cast<std::size_t>(key.hash() >> shift_); }

    void insert(const Row& row) {
        const FoldedWord key = FoldedWord::of(row.name);
        assert(key.fits && "reserved words have at most 16 characters");
        assert(!row.name.empty() && "a reserved word has a first character");
        const auto initial = static_cast<unsigned char>(row.name[0]);
        const std::uint32_t sizeBit = 1u << row.name.size();
        sizesByInitial_[initial] |= sizeBit;
        if (initial >= 'a' && initial <= 'z') sizesByInitial_[initial - ('a' - 'A')] |= sizeBit;
        if (initial >= 'A' && initial <= 'Z') sizesByInitial_[initial + ('a' - 'A')] |= sizeBit;
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = slotOf(key);
        while (slots_[i].row) {
            assert(!(slots_[i].key == key) && "a word appears twice in its table");
            i = (i + 1) & mask;
        }
        slots_[i] = Slot{key, &row};
    }

    std::vector<Slot> slots_;
    unsigned shift_ = 64;
    // Per first character (in both cases), bit n set when a word of n characters starts with it.
    std::array<std::uint32_t, 256> sizesByInitial_{};
};

}  // namespace ml
