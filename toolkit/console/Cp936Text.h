// Decoding of code page 936 batch text to UTF-8 for the terminal, through glibc's
// iconv. Bytes that code page 936 cannot decode become U+F700 + byte, the same
// private-use mapping the program uses, so nothing is silently dropped.
#pragma once

#include <string>
#include <string_view>

namespace asmora::console {

std::string cp936ToUtf8(std::string_view bytes);

}  // namespace asmora::console
