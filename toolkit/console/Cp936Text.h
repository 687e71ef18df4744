// Code page 936 <-> UTF-8 through glibc's iconv, for batch text and for the bytes
// that pass between a program (code page 936) and a UTF-8 terminal. Bytes that
// code page 936 cannot decode become U+F700 + byte, the same private-use mapping
// the program uses, and U+F700..U+F7FF encode back to those bytes, so nothing is
// silently dropped.
#pragma once

#include <iconv.h>
#include <string>
#include <string_view>

namespace asmora::console {

std::string cp936ToUtf8(std::string_view bytes);

// One iconv conversion, closed with its owner.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~IconvHandle();
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  // Converts from the front of `in` as far as it can, appending to `out`, and
  // removes what it converted from `in`. Returns 0, or the errno that stopped it
  // (EILSEQ at an invalid sequence, EINVAL at an incomplete one at the end).
  int convert(std::string_view& in, std::string& out);

 private:
  iconv_t handle_;
};

// Code page 936 bytes arriving in pieces, to UTF-8. A double-byte character split
// between two pieces comes out whole with the second piece.
class Cp936Decoder {
 public:
  Cp936Decoder() : iconv_("UTF-8", "CP936") {}
  std::string decode(std::string_view bytes);
  // The end of the stream: a lead byte still waiting for its second byte comes out
  // as a raw byte.
  std::string finish();

 private:
  IconvHandle iconv_;
  std::string pending_;
};

// UTF-8 arriving in pieces, to code page 936. A character split between pieces
// comes out whole with the piece that completes it; a character that code page
// 936 lacks, or an invalid byte, becomes "?", as a Chinese console types it.
class Cp936Encoder {
 public:
  Cp936Encoder() : iconv_("CP936", "UTF-8") {}
  std::string encode(std::string_view utf8);
  // The end of the stream: an unfinished character becomes "?".
  std::string finish();

 private:
  // Handles the character at the front of `in` that iconv refused.
  void replaceRefused(std::string_view& in, std::string& out);

  IconvHandle iconv_;
  std::string pending_;
};

}  // namespace asmora::console
