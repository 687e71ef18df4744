// Small text helpers shared by the assembler's stages: case folding and character classes.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ml {

// Every byte folded to lower case (ASCII letters only), one table lookup each: names
// are folded for every symbol lookup and keyword comparison.
inline constexpr std::array<char, 256> kLowerCase = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; ++c) t[std::size_t(c)] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return t;
}();

inline char toLowerAscii(char c) { return kLowerCase[static_cast<unsigned char>(c)]; }
inline char toUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - ('a' - 'A')) : c; }

inline bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && toLowerAscii(a[i]) != toLowerAscii(b[i])) return false;
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

// Character classes of the dialect, one table lookup each.
enum CharClass : std::uint8_t {
    kDigit = 1,
    kLetter = 2,
    kIdentStart = 4,  // MASM identifiers start with a letter or one of _ @ $ ?
    kIdentChar = 8,   // ... and go on with those and digits
    kSpace = 16,
};

inline constexpr std::array<std::uint8_t, 256> kCharClasses = [] {
    std::array<std::uint8_t, 256> t{};
    for (int c = '0'; c <= '9'; ++c) t[std::size_t(c)] = kDigit | kIdentChar;
    for (int c = 'a'; c <= 'z'; ++c) t[std::size_t(c)] = kLetter | kIdentStart | kIdentChar;
    for (int c = 'A'; c <= 'Z'; ++c) t[std::size_t(c)] = kLetter | kIdentStart | kIdentChar;
    for (char c : {'_', '@', '$', '?'}) t[static_cast<unsigned char>(c)] = kIdentStart | kIdentChar;
    for (char c : {' ', '\t', '\r', '\f', '\v'}) t[static_cast<unsigned char>(c)] = kSpace;
    return t;
}();

inline bool hasClass(char c, CharClass k) { return (kCharClasses[static_cast<unsigned char>(c)] & k) != 0; }
inline bool isDigit(char c) { return hasClass(c, kDigit); }
inline bool isAlpha(char c) { return hasClass(c, kLetter); }
inline bool isAlnum(char c) { return hasClass(c, CharClass(kLetter | kDigit)); }
inline bool isSpace(char c) { return hasClass(c, kSpace); }
inline bool isIdentStart(char c) { return hasClass(c, kIdentStart); }
inline bool isIdentChar(char c) { return hasClass(c, kIdentChar); }

inline std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

// Formats `value` as `digits` upper-case hex digits ("0000001F").
std::string hex(std::uint64_t value, int digits);
// The same, appended to `out`.
void appendHex(std::string& out, std::uint64_t value, int digits);

}  // namespace ml
