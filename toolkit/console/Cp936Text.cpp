// iconv-based code page 936 conversions that survive invalid bytes and pieces.
#include "Cp936Text.h"

#include <cerrno>
#include <optional>

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

// A byte that does not decode: ASCII stays itself, anything else is carried over
// as U+F700 + byte.
void appendRawByte(std::string& out, char byte) {
  const auto value = static_cast<unsigned char>(byte);
  if (value < 0x80) {
    out += byte;
  } else {
    appendUtf8(out, kRawByteBase + value);
  }
}

struct Utf8Character {
  char32_t code;
  std::size_t length;
};

// The well-formed UTF-8 character at the front of `text`, if there is one.
std::optional<Utf8Character> readUtf8(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text.front());
  std::size_t length;
  char32_t code;
  if (lead < 0x80) return Utf8Character{lead, 1};
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (text.size() < length) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    code = (code << 6) | (next & 0x3F);
  }
  return Utf8Character{code, length};
}

}  // namespace

IconvHandle::~IconvHandle() {
  if (valid()) iconv_close(handle_);
}

int IconvHandle::convert(std::string_view& in, std::string& out) {
  if (!valid()) return EILSEQ;
  char* inPointer = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char buffer[1024];
  int error = 0;
  while (inLeft > 0) {
    char* outPointer = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = iconv(handle_, &inPointer, &inLeft, &outPointer, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      error = errno;
      break;
    }
  }
  in.remove_prefix(in.size() - inLeft);
  return error;
}

std::string cp936ToUtf8(std::string_view bytes) {
  Cp936Decoder decoder;
  std::string text = decoder.decode(bytes);
  return text + decoder.finish();
}

std::string Cp936Decoder::decode(std::string_view bytes) {
  const std::string input = pending_ + std::string(bytes);
  pending_.clear();
  std::string_view rest(input);
  std::string out;
  out.reserve(rest.size() * 3 / 2);
  while (!rest.empty()) {
    const int error = iconv_.convert(rest, out);
    if (rest.empty()) break;
    if (error == EINVAL) {
      pending_ = rest;  // a lead byte whose second byte is still to come
      break;
    }
    appendRawByte(out, rest.front());
    rest.remove_prefix(1);
  }
  return out;
}

std::string Cp936Decoder::finish() {
  std::string out;
  for (char byte : pending_) appendRawByte(out, byte);
  pending_.clear();
  return out;
}

std::string Cp936Encoder::encode(std::string_view utf8) {
  const std::string input = pending_ + std::string(utf8);
  pending_.clear();
  std::string_view rest(input);
  std::string out;
  while (!rest.empty()) {
    const int error = iconv_.convert(rest, out);
    if (rest.empty()) break;
    if (error == EINVAL && iconv_.valid()) {
      pending_ = rest;  // the first bytes of a character whose rest is still to come
      break;
    }
    replaceRefused(rest, out);
  }
  return out;
}

void Cp936Encoder::replaceRefused(std::string_view& in, std::string& out) {
  const auto character = readUtf8(in);
  if (!character) {
    out += '?';
    in.remove_prefix(1);
    return;
  }
  if (character->code < 0x80) {
    out += static_cast<char>(character->code);
  } else if (character->code >= kRawByteBase + 0x80 && character->code <= kRawByteBase + 0xFF) {
    out += static_cast<char>(character->code - kRawByteBase);
  } else {
    out += '?';
  }
  in.remove_prefix(character->length);
}

std::string Cp936Encoder::finish() {
  const bool unfinished = !pending_.empty();
  pending_.clear();
  return unfinished ? "?" : "";
}

}  // namespace asmora::console
