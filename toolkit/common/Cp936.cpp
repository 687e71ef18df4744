// Table-driven code page 936 codec built from glibc iconv.
#include "Cp936.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace asmora::toolkit::cp936 {
namespace {

// Double-byte characters: lead byte 81..FE, trail byte 40..FE (7F excluded by iconv).
constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xFE;
constexpr unsigned kTrailFirst = 0x40, kTrailLast = 0xFE;

bool isLeadByte(unsigned byte) { return byte >= kLeadFirst && byte <= kLeadLast; }
bool isRawByteUnit(char32_t unit) { return unit >= kRawByteBase + 0x80 && unit <= kRawByteBase + 0xFF; }

struct Tables {
    std::array<char16_t, 256> single{};  // 0 = not a single-byte character
    std::vector<char16_t> pair;          // (lead << 8 | trail) -> code point, 0 = none
    std::vector<std::uint16_t> reverse;  // code point -> bytes (1 or 2), 0 = none
};

class Iconv {
public:
    Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert between code page 936 and UTF-16");
    }
    ~Iconv() { iconv_close(handle_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts `in` completely or returns false.
    bool convert(const char* in, size_t inLength, char* out, size_t outCapacity, size_t& outLength) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        char* dst = out;
        size_t srcLeft = inLength, dstLeft = outCapacity;
        if (iconv(handle_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
        if (iconv(handle_, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
        outLength = outCapacity - dstLeft;
        return srcLeft == 0;
    }

private:
    iconv_t handle_;
};

// Decodes one 936 character to exactly one UTF-16 unit that encodes back to the
// same bytes, or returns 0.
char16_t roundTrip(Iconv& toUtf16, Iconv& fromUtf16, const char* bytes, size_t length) {
    char16_t unit[4];
    size_t produced = 0;
    if (!toUtf16.convert(bytes, length, reinterpret_cast<char*>(unit), sizeof unit, produced)) return 0;
    if (produced != 2) return 0;
    if (unit[0] >= kRawByteBase && unit[0] <= kRawByteBase + 0xFF) return 0;
    char back[8];
    size_t backLength = 0;
    if (!fromUtf16.convert(reinterpret_cast<const char*>(unit), 2, back, sizeof back, backLength)) return 0;
    if (backLength != length || std::string_view(back, length) != std::string_view(bytes, length)) return 0;
    return unit[0];
}

std::unique_ptr<Tables> buildTables() {
    auto tables = std::make_unique<Tables>();
    Iconv toUtf16("UTF-16LE", "CP936");
    Iconv fromUtf16("CP936", "UTF-16LE");
    tables->pair.assign(0x10000, 0);
    tables->reverse.assign(0x10000, 0);
    for (unsigned b = 0; b < 0x80; ++b) {
        tables->single[b] = static_cast<char16_t>(b);
        tables->reverse[b] = static_cast<std::uint16_t>(b);
    }
    for (unsigned b = 0x80; b < 0x100; ++b) {
        const char byte = static_cast<char>(b);
        if (char16_t unit = roundTrip(toUtf16, fromUtf16, &byte, 1)) {
            tables->single[b] = unit;
            tables->reverse[unit] = static_cast<std::uint16_t>(b);
        }
    }
    for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            char16_t unit = roundTrip(toUtf16, fromUtf16, bytes, 2);
            if (!unit) continue;
            tables->pair[lead << 8 | trail] = unit;
            if (!tables->reverse[unit]) tables->reverse[unit] = static_cast<std::uint16_t>(lead << 8 | trail);
        }
    }
    return tables;
}

const Tables& tables() {
    static std::once_flag once;
    static std::unique_ptr<Tables> built;
    std::call_once(once, [] { built = buildTables(); });
    return *built;
}

// Decodes `bytes` unit by unit into `put`; returns how many bytes it used. With
// `holdLastLead` a lead byte at the very end is left unused (its trail may follow).
template <typename Sink>
size_t decodeUnits(std::string_view bytes, bool holdLastLead, Sink&& put) {
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const unsigned b = p[i];
        if (b < 0x80) {
            put(static_cast<char16_t>(b));
            ++i;
            continue;
        }
        if (isLeadByte(b)) {
            if (i + 1 == n && holdLastLead) break;
            if (i + 1 < n) {
                if (char16_t unit = t.pair[b << 8 | p[i + 1]]) {
                    put(unit);
                    i += 2;
                    continue;
                }
            }
        }
        const char16_t single = t.single[b];
        put(single ? single : static_cast<char16_t>(kRawByteBase + b));
        ++i;
    }
    return i;
}

template <typename Sink>
void encodeUnit(char16_t unit, Sink&& put) {
    if (unit < 0x80) {
        put(static_cast<char>(unit));
        return;
    }
    if (isRawByteUnit(unit)) {
        put(static_cast<char>(unit - kRawByteBase));
        return;
    }
    const std::uint16_t bytes = tables().reverse[unit];
    if (!bytes) {
        put('?');
        return;
    }
    if (bytes > 0xFF) put(static_cast<char>(bytes >> 8));
    put(static_cast<char>(bytes & 0xFF));
}

void appendUtf8(std::string& out, char16_t unit) {
    if (unit < 0x80) {
        out.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
        out.push_back(static_cast<char>(0xC0 | unit >> 6));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | unit >> 12));
        out.push_back(static_cast<char>(0x80 | (unit >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
}

// The number of continuation bytes a UTF-8 lead byte announces, or -1 for a byte
// that cannot start a well-formed sequence.
int continuationBytes(unsigned lead) {
    if (lead < 0x80) return 0;
    if (lead >= 0xC2 && lead <= 0xDF) return 1;
    if (lead >= 0xE0 && lead <= 0xEF) return 2;
    if (lead >= 0xF0 && lead <= 0xF4) return 3;
    return -1;
}

// Decodes one UTF-8 sequence at p[i]; returns its code point and advances i, or
// returns -1 (and advances by one byte) for an invalid sequence.
long nextUtf8(const unsigned char* p, size_t n, size_t& i) {
    const unsigned b = p[i];
    const int extra = continuationBytes(b);
    if (extra == 0) {
        ++i;
        return b;
    }
    if (extra < 0 || i + extra >= n) {
        ++i;
        return -1;
    }
    long cp = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const unsigned c = p[i + k];
        if ((c & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = cp << 6 | (c & 0x3F);
    }
    static constexpr long kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += extra + 1;
    return cp;
}

// True when p[i..n) is the beginning of a UTF-8 sequence that more bytes could complete.
bool isUnfinishedUtf8(const unsigned char* p, size_t n, size_t i) {
    const int extra = continuationBytes(p[i]);
    if (extra <= 0 || i + extra < n) return false;
    for (size_t k = i + 1; k < n; ++k)
        if ((p[k] & 0xC0) != 0x80) return false;
    return true;
}

// Encodes UTF-8 into `out`; returns how many bytes it used. With `holdUnfinished`
// a character cut off at the end is left unused (its rest may follow).
size_t encodeUtf8(std::string_view utf8, InvalidUtf8 invalid, bool holdUnfinished, std::string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        if (holdUnfinished && isUnfinishedUtf8(p, n, i)) break;
        const size_t start = i;
        const long cp = nextUtf8(p, n, i);
        if (cp < 0) {
            out.push_back(invalid == InvalidUtf8::KeepByte ? static_cast<char>(p[start]) : '?');
        } else if (cp > 0xFFFF) {
            out.push_back('?');
        } else {
            encodeUnit(static_cast<char16_t>(cp), [&](char c) { out.push_back(c); });
        }
    }
    return i;
}

}  // namespace

size_t decodeInto(std::string_view bytes, char16_t* out) {
    char16_t* cursor = out;
    decodeUnits(bytes, false, [&](char16_t unit) { *cursor++ = unit; });
    return static_cast<size_t>(cursor - out);
}

std::u16string decode(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    out.resize(decodeInto(bytes, out.data()));
    return out;
}

std::string encode(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t unit : text) encodeUnit(unit, [&](char c) { out.push_back(c); });
    return out;
}

std::string utf8ToCp936(std::string_view utf8, InvalidUtf8 invalid) {
    std::string out;
    out.reserve(utf8.size());
    encodeUtf8(utf8, invalid, false, out);
    return out;
}

std::string cp936ToUtf8(std::string_view cp936) {
    std::string out;
    out.reserve(cp936.size() + cp936.size() / 2);
    decodeUnits(cp936, false, [&](char16_t unit) { appendUtf8(out, unit); });
    return out;
}

bool fitsCp936(std::string_view utf8) { return cp936ToUtf8(utf8ToCp936(utf8)) == utf8; }

bool looksLikeUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    bool nonAscii = false;
    for (size_t i = 0; i < bytes.size();) {
        if (p[i] >= 0x80) nonAscii = true;
        if (nextUtf8(p, bytes.size(), i) < 0) return false;
    }
    return nonAscii;
}

std::string Decoder::decode(std::string_view bytes) {
    const std::string input = pending_ + std::string(bytes);
    std::string out;
    out.reserve(input.size() + input.size() / 2);
    const size_t used = decodeUnits(input, true, [&](char16_t unit) { appendUtf8(out, unit); });
    pending_ = input.substr(used);
    return out;
}

std::string Decoder::finish() {
    const std::string out = cp936ToUtf8(pending_);
    pending_.clear();
    return out;
}

std::string Encoder::encode(std::string_view utf8) {
    const std::string input = pending_ + std::string(utf8);
    std::string out;
    const size_t used = encodeUtf8(input, invalid_, true, out);
    pending_ = input.substr(used);
    return out;
}

std::string Encoder::finish() {
    const std::string rest = std::move(pending_);
    pending_.clear();
    if (invalid_ == InvalidUtf8::KeepByte) return rest;
    return rest.empty() ? "" : "?";
}

}  // namespace asmora::toolkit::cp936
