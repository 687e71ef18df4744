// Code page 936 (the Chinese ANSI code page) text conversion, lossless for any bytes:
// the QString side of toolkit/common's codec (toolkit/common/Cp936.h), which holds
// the tables and the mapping of undecodable bytes to U+F700 + byte.
#pragma once

#include "toolkit/common/Cp936.h"

#include <QByteArray>
#include <QString>
#include <string_view>

namespace platform::cp936 {

using asmora::toolkit::cp936::kRawByteBase;

QString decode(std::string_view bytes);
QString decode(const QByteArray& bytes);

// Characters that code page 936 lacks become '?', its default character.
QByteArray encode(const QString& text);
QByteArray encode(std::u16string_view text);

// UTF-8 <-> code page 936 without losing undecodable 936 bytes.
using asmora::toolkit::cp936::cp936ToUtf8;
using asmora::toolkit::cp936::fitsCp936;
using asmora::toolkit::cp936::looksLikeUtf8;
using asmora::toolkit::cp936::utf8ToCp936;

// Decodes bytes that may be UTF-8 or code page 936: UTF-8 when they are valid UTF-8,
// code page 936 otherwise. Tool output arrives in either.
QString decodeUtf8OrCp936(std::string_view bytes);

}  // namespace platform::cp936
