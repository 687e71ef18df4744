// Encoding detection and the UTF-16 <-> UTF-8 state machines of the editor's streams.
#include "UtfFunct.h"

#include "Utf16Statistics.h"

#include <climits>
#include <cstring>
#include <new>

bool IsUtf16Kind(EncodingKind kind) { return kind != ekAnsi && kind != ekUtf8 && kind != ekUtf8Cookie; }

bool IsLittleEndianKind(EncodingKind kind) { return kind == ekUtf16LE || kind == ekUtf16LENoBom; }

// ---------------------------------------------------------------------------------
// Detection

namespace {

bool StartsWith(const std::uint8_t* bytes, int length, const std::uint8_t* prefix, int prefixLength) {
    return length >= prefixLength && std::memcmp(bytes, prefix, static_cast<std::size_t>(prefixLength)) == 0;
}

// The cookie test: "coding: utf-8" (or "coding=utf-8") in line 1 or line 2.
EncodingKind CookieKind(const std::uint8_t* bytes, std::size_t length) {
    const std::string_view first = TakeLine(bytes, length, 0);
    if (ReadCodingCookie(first) == ekUtf8Cookie) return ekUtf8Cookie;
    return ReadCodingCookie(TakeLine(bytes, length, first.size()));
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int DetectBom(const std::uint8_t* bytes, int length, EncodingKind& kind) {
    kind = ekAnsi;
    if (!bytes || length < 2) return 0;
    if (StartsWith(bytes, length, BomTable[ekUtf16BE], 2)) {
        kind = ekUtf16BE;
        return 2;
    }
    if (StartsWith(bytes, length, BomTable[ekUtf16LE], 2)) {  // FF FE 00 00 too: UTF-16LE
        kind = ekUtf16LE;
        return 2;
    }
    if (StartsWith(bytes, length, BomTable[ekUtf8], 3)) {
        kind = ekUtf8;
        return 3;
    }
    kind = CookieKind(bytes, static_cast<std::size_t>(length));
    return 0;
}

bool DetectUtf16Statistics(const std::uint8_t* bytes, int length, EncodingKind& kind) {
    unsigned tests = 0xFF;  // the four tests in both orders
    if (!IsTextUnicode(bytes, length, &tests)) return false;
    if (tests & (IS_TEXT_UNICODE_ASCII16 | IS_TEXT_UNICODE_STATISTICS)) {
        kind = ekUtf16LENoBom;
        return true;
    }
    if (tests & (IS_TEXT_UNICODE_REVERSE_ASCII16 | IS_TEXT_UNICODE_REVERSE_STATISTICS)) {
        kind = ekUtf16BENoBom;
        return true;
    }
    return false;
}

std::string_view TakeLine(const std::uint8_t* bytes, std::size_t end, std::size_t start) {
    if (!bytes || start >= end) return {};
    std::size_t stop = start;
    while (stop < end && bytes[stop] != '\r' && bytes[stop] != '\n') ++stop;
    if (stop < end) {
        const bool crLf = bytes[stop] == '\r' && stop + 1 < end && bytes[stop + 1] == '\n';
        stop += crLf ? 2 : 1;
    }
    return {reinterpret_cast<const char*>(bytes + start), stop - start};
}

// ";  -*- coding: utf-8 -*-"  ->  4      "# Coding: utf-8"  ->  0 (case-sensitive keyword)
EncodingKind ReadCodingCookie(std::string_view line) {
    static constexpr std::string_view kKeyword = "coding";
    std::size_t at = line.find(kKeyword);
    if (at == std::string_view::npos) return ekAnsi;
    at += kKeyword.size();
    if (at >= line.size() || (line[at] != ':' && line[at] != '=')) return ekAnsi;
    ++at;
    if (at < line.size() && (line[at] == '"' || line[at] == '\'')) ++at;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r' || line[at] == '\n')) ++at;
    std::size_t stop = at;
    while (stop < line.size() && IsCookieChar(line[stop])) ++stop;
    static constexpr std::string_view kUtf8 = "utf-8";
    if (stop - at != kUtf8.size()) return ekAnsi;
    for (std::size_t i = 0; i < kUtf8.size(); ++i)
        if (LowerAscii(line[at + i]) != kUtf8[i]) return ekAnsi;
    return ekUtf8Cookie;
}

bool IsCookieChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.';
}

// ---------------------------------------------------------------------------------
// Utf16_Iter: one unit in, one to three UTF-8 bytes out.
//
//   unit < 0080   0xxxxxxx
//   unit < 0800   110xxxxx 10xxxxxx
//   otherwise     1110xxxx 10xxxxxx 10xxxxxx    (surrogates too, each on its own)

void Utf16_Iter::Clear() { *this = Utf16_Iter(); }

void Utf16_Iter::Attach(const std::uint8_t* bytes, std::size_t length, EncodingKind kind) {
    kind_ = kind;
    start_ = bytes;
    read_ = 0;
    end_ = length;
    Step();
}

void Utf16_Iter::Step() {
    switch (state_) {
        case AtUnit: {
            // The read position always moves on by a unit; a unit that is not complete
            // inside the range (a final odd byte) is not read, and the position then
            // passes the end, which ends the loop.
            const bool complete = start_ && read_ <= end_ && end_ - read_ >= 2;
            if (complete) {
                const std::uint8_t first = start_[read_], second = start_[read_ + 1];
                unit_ = IsLittleEndianKind(kind_) ? static_cast<std::uint16_t>(second << 8 | first)
                                                  : static_cast<std::uint16_t>(first << 8 | second);
            }
            read_ += 2;
            if (!complete) return;
            if (unit_ < 0x80) {
                current_ = static_cast<std::uint8_t>(unit_);
            } else if (unit_ < 0x800) {
                current_ = static_cast<std::uint8_t>(0xC0 | unit_ >> 6);
                state_ = TwoOfTwo;
            } else {
                current_ = static_cast<std::uint8_t>(0xE0 | unit_ >> 12);
                state_ = TwoOfThree;
            }
            break;
        }
        case TwoOfTwo:
            current_ = static_cast<std::uint8_t>(0x80 | (unit_ & 0x3F));
            state_ = AtUnit;
            break;
        case TwoOfThree:
            current_ = static_cast<std::uint8_t>(0x80 | (unit_ >> 6 & 0x3F));
            state_ = ThreeOfThree;
            break;
        case ThreeOfThree:
            current_ = static_cast<std::uint8_t>(0x80 | (unit_ & 0x3F));
            state_ = AtUnit;
            break;
    }
}

// ---------------------------------------------------------------------------------
// Utf8_Iter: one UTF-8 byte in per step; a unit out when a sequence is finished.
//
//   state 0   E0-FF: value = (b & 1F) << 12, state 2     (F0-FF lose bit 4)
//             C0-DF: value = (b & 3F) << 6,  state 1
//             00-BF: value = b, finished                (80-BF become U+0080-U+00BF)
//   state 1   value |= b & 3F, finished
//   state 2   value |= (b & 3F) << 6, state 3
//   state 3   value |= b & 3F, finished

void Utf8_Iter::Clear() { *this = Utf8_Iter(); }

void Utf8_Iter::Attach(const std::uint8_t* bytes, std::size_t length, EncodingKind kind) {
    kind_ = kind;
    start_ = bytes;
    read_ = 0;
    end_ = bytes ? length : 0;
}

void Utf8_Iter::Step() {
    const std::uint8_t b = start_[read_++];
    switch (state_) {
        case AtUnit:
            if ((b & 0xE0) == 0xE0) {
                value_ = static_cast<std::uint16_t>((b & 0x1F) << 12);
                state_ = SecondOfThree;
            } else if ((b & 0xC0) == 0xC0) {
                value_ = static_cast<std::uint16_t>((b & 0x3F) << 6);
                state_ = LastOfTwo;
            } else {
                value_ = b;
                FinishUnit();
            }
            break;
        case LastOfTwo:
            value_ = static_cast<std::uint16_t>(value_ | (b & 0x3F));
            FinishUnit();
            break;
        case SecondOfThree:
            value_ = static_cast<std::uint16_t>(value_ | (b & 0x3F) << 6);
            state_ = LastOfThree;
            break;
        case LastOfThree:
            value_ = static_cast<std::uint16_t>(value_ | (b & 0x3F));
            FinishUnit();
            break;
        default:  // no such state: the byte is consumed and nothing else happens
            break;
    }
}

void Utf8_Iter::FinishUnit() {
    state_ = AtUnit;
    // Kinds 1 and 5 (and any unknown UTF-16 kind, read high byte first as well).
    const bool highByteFirst = IsUtf16Kind(kind_) && !IsLittleEndianKind(kind_);
    if (highByteFirst) value_ = static_cast<std::uint16_t>(value_ << 8 | value_ >> 8);
}

std::size_t OpenUtf8IterTail(const std::uint8_t* bytes, std::size_t length) {
    std::size_t sequenceStart = length;
    std::size_t need = 0;  // bytes still missing from the sequence that starts there
    for (std::size_t i = 0; i < length; ++i) {
        if (need > 0) {
            --need;
            continue;
        }
        const std::uint8_t b = bytes[i];
        need = (b & 0xE0) == 0xE0 ? 2 : (b & 0xC0) == 0xC0 ? 1 : 0;
        sequenceStart = i;
    }
    return need > 0 ? length - sequenceStart : 0;
}

// ---------------------------------------------------------------------------------
// UtfRead

int UtfRead::Decode(const std::uint8_t* bytes, int length) {
    Utf16_Iter iter;  // one per call
    input_ = bytes;
    inputLength_ = bytes && length > 0 ? length : 0;
    int skip = 0;
    if (firstCall_ && kind == ekAnsi) {
        skip = DetectBom(input_, inputLength_, kind);
        if (skip == 0) DetectUtf16Statistics(input_, inputLength_, kind);
    }
    firstCall_ = false;

    if (kind == ekAnsi) {
        output_ = input_;
        capacity_ = 0;
        buffer_.reset();
        return inputLength_;
    }
    if (kind == ekUtf8 || kind == ekUtf8Cookie) {
        output_ = input_ ? input_ + skip : nullptr;
        capacity_ = 0;
        buffer_.reset();
        return inputLength_ - skip;
    }

    // UTF-16: at most three UTF-8 bytes for every two input bytes.
    if (inputLength_ > (INT_MAX - 1) / 2) throw std::bad_alloc();
    const std::int32_t required = 2 * inputLength_ + 1;
    if (required != capacity_ || !buffer_) {
        buffer_.reset();
        buffer_ = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(required));
        capacity_ = required;
    }
    std::uint8_t* out = buffer_.get();
    iter.Attach(input_ ? input_ + skip : nullptr, static_cast<std::size_t>(inputLength_ - skip), kind);
    while (iter.HasMore()) {
        *out++ = iter.Value();
        iter.Step();
    }
    output_ = buffer_.get();
    return static_cast<int>(out - buffer_.get());
}

// ---------------------------------------------------------------------------------
// UtfWrite

void UtfWrite::SetStream(UtfOutputStream* stream) {
    stream_ = stream;
    bomPending_ = true;
}

int UtfWrite::Write(const std::uint8_t* bytes, int length) {
    if (!bytes || length <= 0 || !stream_) return 0;
    if (kind_ == ekAnsi) {
        bomPending_ = false;
        return stream_->Write(bytes, length);
    }
    if (kind_ == ekUtf8 || kind_ == ekUtf8Cookie) {
        if (bomPending_ && kind_ == ekUtf8) stream_->Write(BomTable[ekUtf8], 3);
        bomPending_ = false;
        return stream_->Write(bytes, length);
    }
    return WriteUtf16(bytes, length);
}

int UtfWrite::WriteUtf16(const std::uint8_t* bytes, int length) {
    const auto inputLength = static_cast<std::uint32_t>(length);
    if (inputLength > capacity_ || !units_) {
        capacity_ = inputLength;
        units_.reset();
        units_ = std::make_unique<std::uint8_t[]>((static_cast<std::size_t>(inputLength) + 1) * 2);
    }
    if (bomPending_ && (kind_ == ekUtf16BE || kind_ == ekUtf16LE)) stream_->Write(BomTable[kind_], 2);
    bomPending_ = false;

    Utf8_Iter iter;  // one per call
    std::uint8_t* out = units_.get();
    iter.Attach(bytes, inputLength, kind_);
    while (iter.HasMore()) {
        iter.Step();
        if (!iter.IsComplete()) continue;
        const std::uint16_t unit = iter.Value();  // stored low byte first
        *out++ = static_cast<std::uint8_t>(unit & 0xFF);
        *out++ = static_cast<std::uint8_t>(unit >> 8);
    }
    return stream_->Write(units_.get(), static_cast<int>(out - units_.get()));
}
