// Code page 936 (the Chinese ANSI code page) text conversion, lossless for any bytes.
//
// Decoding maps every byte sequence that code page 936 cannot represent, or that does
// not come back as the same bytes, to a private-use code point U+F700 + byte, and
// encoding maps those code points back to their byte. So encode(decode(b)) == b for
// every byte string b. The mapping tables are built once from glibc's iconv ("CP936").
#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace platform::cp936 {

// First code point of the block that carries undecodable bytes (U+F780..U+F7FF for
// bytes 80..FF; code page 936 itself never decodes to this block).
inline constexpr char16_t kRawByteBase = 0xF700;

QString decode(std::string_view bytes);
QString decode(const QByteArray& bytes);

// Characters that code page 936 lacks become '?', its default character.
QByteArray encode(const QString& text);
QByteArray encode(std::u16string_view text);

// UTF-8 <-> code page 936 without losing undecodable 936 bytes.
std::string utf8ToCp936(std::string_view utf8);
std::string cp936ToUtf8(std::string_view cp936);

// True when utf8ToCp936 loses nothing of `utf8`: every character has a code page 936 form.
bool fitsCp936(std::string_view utf8);

// True when bytes is valid UTF-8 that contains at least one non-ASCII character.
bool looksLikeUtf8(std::string_view bytes);

// Decodes bytes that may be UTF-8 or code page 936: UTF-8 when they are valid UTF-8,
// code page 936 otherwise. Tool output arrives in either.
QString decodeUtf8OrCp936(std::string_view bytes);

}  // namespace platform::cp936
