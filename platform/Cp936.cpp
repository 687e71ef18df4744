// Table-driven code page 936 codec built from glibc iconv.
#include "Cp936.h"

#include <iconv.h>

#include <array>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace platform::cp936 {
namespace {

// Double-byte characters: lead byte 81..FE, trail byte 40..FE (7F excluded by iconv).
constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xFE;
constexpr unsigned kTrailFirst = 0x40, kTrailLast = 0xFE;

struct Tables {
    std::array<char16_t, 256> single{};            // 0 = not a single-byte character
    std::vector<char16_t> pair;                    // (lead << 8 | trail) -> code point, 0 = none
    std::vector<std::uint16_t> reverse;            // code point -> bytes (1 or 2), 0 = none
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

template <typename Sink>
void decodeInto(std::string_view bytes, Sink&& put) {
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        const unsigned b = p[i];
        if (b < 0x80) { put(static_cast<char16_t>(b)); ++i; continue; }
        if (i + 1 < n && b >= kLeadFirst && b <= kLeadLast) {
            if (char16_t unit = t.pair[b << 8 | p[i + 1]]) { put(unit); i += 2; continue; }
        }
        char16_t single = t.single[b];
        put(single ? single : static_cast<char16_t>(kRawByteBase + b));
        ++i;
    }
}

template <typename Sink>
void encodeUnit(char16_t unit, Sink&& put) {
    if (unit < 0x80) { put(static_cast<char>(unit)); return; }
    if (unit >= kRawByteBase + 0x80 && unit <= kRawByteBase + 0xFF) {
        put(static_cast<char>(unit - kRawByteBase));
        return;
    }
    const std::uint16_t bytes = tables().reverse[unit];
    if (!bytes) { put('?'); return; }
    if (bytes > 0xFF) put(static_cast<char>(bytes >> 8));
    put(static_cast<char>(bytes & 0xFF));
}

// Decodes one UTF-8 sequence at p[i]; returns its code point and advances i, or
// returns -1 (and advances by one byte) for an invalid sequence.
long nextUtf8(const unsigned char* p, size_t n, size_t& i) {
    const unsigned b = p[i];
    if (b < 0x80) { ++i; return b; }
    int extra;
    if (b >= 0xC2 && b <= 0xDF) extra = 1;
    else if (b >= 0xE0 && b <= 0xEF) extra = 2;
    else if (b >= 0xF0 && b <= 0xF4) extra = 3;
    else { ++i; return -1; }
    if (i + extra >= n) { ++i; return -1; }
    long cp = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const unsigned c = p[i + k];
        if ((c & 0xC0) != 0x80) { ++i; return -1; }
        cp = cp << 6 | (c & 0x3F);
    }
    static constexpr long kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return -1; }
    i += extra + 1;
    return cp;
}

}  // namespace

QString decode(std::string_view bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    char16_t* cursor = reinterpret_cast<char16_t*>(out.data());
    decodeInto(bytes, [&](char16_t u) { *cursor++ = u; });
    out.truncate(static_cast<qsizetype>(cursor - reinterpret_cast<char16_t*>(out.data())));
    return out;
}

QString decode(const QByteArray& bytes) { return decode(std::string_view(bytes.constData(), bytes.size())); }

QByteArray encode(std::u16string_view text) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(text.size() * 2));
    for (char16_t unit : text) encodeUnit(unit, [&](char c) { out.append(c); });
    return out;
}

QByteArray encode(const QString& text) {
    return encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

std::string utf8ToCp936(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    for (size_t i = 0; i < utf8.size();) {
        const size_t start = i;
        const long cp = nextUtf8(p, utf8.size(), i);
        if (cp < 0) { out.push_back(static_cast<char>(p[start])); continue; }
        if (cp > 0xFFFF) { out.push_back('?'); continue; }
        encodeUnit(static_cast<char16_t>(cp), [&](char c) { out.push_back(c); });
    }
    return out;
}

std::string cp936ToUtf8(std::string_view cp936) {
    std::string out;
    out.reserve(cp936.size() + cp936.size() / 2);
    decodeInto(cp936, [&](char16_t u) {
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | u >> 6));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | u >> 12));
            out.push_back(static_cast<char>(0x80 | (u >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    });
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

QString decodeUtf8OrCp936(std::string_view bytes) {
    if (looksLikeUtf8(bytes)) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return decode(bytes);
}

}  // namespace platform::cp936
