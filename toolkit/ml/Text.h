// Small text helpers shared by the assembler's stages: case folding and character classes.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ml {

inline char toLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c; }
inline char toUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c; }

inline bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (toLowerAscii(a[i]) != toLowerAscii(b[i])) return false;
    return true;
}

inline bool equalsAny(std::string_view word, std::initializer_list<std::string_view> words) {
    for (std::string_view w : words)
        if (equalsNoCase(word, w)) return true;
    return false;
}

inline std::string foldCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = toLowerAscii(c);
    return out;
}

inline std::string upperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = toUpperAscii(c);
    return out;
}

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool isAlnum(char c) { return isAlpha(c) || isDigit(c); }
inline bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// MASM identifiers start with a letter or one of _ @ $ ? and go on with those and digits.
inline bool isIdentStart(char c) { return isAlpha(c) || c == '_' || c == '@' || c == '$' || c == '?'; }
inline bool isIdentChar(char c) { return isIdentStart(c) || isDigit(c); }

inline std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

// Word tables: arrays of rows with a lower-case `name`, sorted by it, searched
// ignoring the case of the word.
template <class Row, std::size_t N>
constexpr bool sortedByName(const std::array<Row, N>& table) {
    for (std::size_t i = 1; i < N; ++i)
        if (!(table[i - 1].name < table[i].name)) return false;
    return true;
}

template <class Row, std::size_t N>
const Row* findWord(const std::array<Row, N>& table, std::string_view word) {
    char buffer[32];
    if (word.size() > sizeof buffer) return nullptr;
    for (std::size_t i = 0; i < word.size(); ++i) buffer[i] = toLowerAscii(word[i]);
    std::string_view key(buffer, word.size());
    // A plain character loop: the names are short, a library compare costs more.
    auto less = [](std::string_view a, std::string_view b) {
        std::size_t n = a.size() < b.size() ? a.size() : b.size();
        for (std::size_t i = 0; i < n; ++i)
            if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
        return a.size() < b.size();
    };
    auto it = std::lower_bound(table.begin(), table.end(), key,
                               [&](const Row& row, std::string_view k) { return less(row.name, k); });
    return it != table.end() && it->name == key ? &*it : nullptr;
}

// Formats `value` as `digits` upper-case hex digits ("0000001F").
std::string hex(std::uint64_t value, int digits);

}  // namespace ml
