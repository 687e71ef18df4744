// Code page 936 (the Chinese ANSI code page) text conversion, lossless for any bytes.
//
// Decoding maps every byte sequence that code page 936 cannot represent, or that does
// not come back as the same bytes, to a private-use code point U+F700 + byte, and
// encoding maps those code points back to their byte. So encode(decode(b)) == b for
// every byte string b. The mapping tables are built once from glibc's iconv ("CP936").
// The program (through platform/Cp936.h) and the carried tools share this codec.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace asmora::toolkit::cp936 {

// First code point of the block that carries undecodable bytes (U+F780..U+F7FF for
// bytes 80..FF; code page 936 itself never decodes to this block).
inline constexpr char16_t kRawByteBase = 0xF700;

// Decodes `bytes` into `out`, which has room for bytes.size() units (every byte gives
// at most one unit); returns the number of units written.
std::size_t decodeInto(std::string_view bytes, char16_t* out);
std::u16string decode(std::string_view bytes);
// Characters that code page 936 lacks become '?', its default character.
std::string encode(std::u16string_view text);

// What utf8ToCp936 does with a byte that is not part of well-formed UTF-8.
enum class InvalidUtf8 {
    KeepByte,      // the byte passes unchanged (text that was code page 936 all along)
    QuestionMark,  // it becomes '?', as a Chinese console types what it cannot read
};

// UTF-8 <-> code page 936 without losing undecodable 936 bytes. Characters that code
// page 936 lacks become '?'.
std::string utf8ToCp936(std::string_view utf8, InvalidUtf8 invalid = InvalidUtf8::KeepByte);
std::string cp936ToUtf8(std::string_view cp936);

// True when utf8ToCp936 loses nothing of `utf8`: every character has a code page 936 form.
bool fitsCp936(std::string_view utf8);

// True when bytes is valid UTF-8 that contains at least one non-ASCII character.
bool looksLikeUtf8(std::string_view bytes);

// Code page 936 bytes arriving in pieces (a program's output, a file read in
// blocks), to UTF-8. A double-byte character split between two pieces comes out
// whole with the second.
class Decoder {
public:
    std::string decode(std::string_view bytes);
    // The end of the stream: a lead byte still waiting for its second byte comes out
    // as a raw byte.
    std::string finish();

private:
    std::string pending_;
};

// UTF-8 arriving in pieces, to code page 936. A character split between pieces
// comes out whole with the piece that completes it; a character that code page 936
// lacks becomes "?". An invalid byte becomes "?" (typed text, as a Chinese console
// takes it) or passes unchanged (a document's text), as `invalid` says.
class Encoder {
public:
    explicit Encoder(InvalidUtf8 invalid = InvalidUtf8::QuestionMark) : invalid_(invalid) {}
    std::string encode(std::string_view utf8);
    // The end of the stream: an unfinished character becomes one "?", or passes as
    // its bytes when invalid bytes pass unchanged.
    std::string finish();

private:
    InvalidUtf8 invalid_;
    std::string pending_;
};

}  // namespace asmora::toolkit::cp936
