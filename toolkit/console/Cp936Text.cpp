// iconv-based code page 936 decoder that survives invalid bytes.
#include "Cp936Text.h"

#include <cerrno>
#include <iconv.h>

namespace asmora::console {

namespace {

constexpr char32_t kRawByteBase = 0xF700;

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class Converter {
 public:
  Converter() : handle_(iconv_open("UTF-8", "CP936")) {}
  ~Converter() {
    if (valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; returns the number of input bytes consumed.
  std::size_t convert(std::string_view in, std::string& out) {
    char* inPointer = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char buffer[1024];
    while (inLeft > 0) {
      char* outPointer = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t result = iconv(handle_, &inPointer, &inLeft, &outPointer, &outLeft);
      out.append(buffer, sizeof buffer - outLeft);
      if (result == static_cast<std::size_t>(-1) && errno != E2BIG) break;
    }
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    return in.size() - inLeft;
  }

 private:
  iconv_t handle_;
};

}  // namespace

std::string cp936ToUtf8(std::string_view bytes) {
  Converter converter;
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  while (!bytes.empty()) {
    const std::size_t used = converter.valid() ? converter.convert(bytes, out) : 0;
    bytes.remove_prefix(used);
    if (bytes.empty()) break;
    // An undecodable (or truncated) sequence: carry its first byte over as a raw byte.
    appendUtf8(out, kRawByteBase + static_cast<unsigned char>(bytes.front()));
    bytes.remove_prefix(1);
  }
  return out;
}

}  // namespace asmora::console
