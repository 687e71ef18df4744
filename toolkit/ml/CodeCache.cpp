// First-pass instruction bytes by line index.
#include "CodeCache.h"

namespace ml {

namespace {

constexpr std::uint32_t kLengthBits = 4;
constexpr std::uint32_t kMaxLength = (1u << kLengthBits) - 1;
constexpr std::uint32_t kLayoutBit = 1u << kLengthBits;
constexpr std::uint32_t kOffsetShift = kLengthBits + 1;
constexpr std::size_t kMaxOffset = (std::size_t(1) << (32 - kOffsetShift)) - 1;
constexpr std::size_t kLayoutSize = 7;  // prefix length, then offset and size of three fields

}  // namespace

void CodeCache::store(std::size_t line, std::span<const std::uint8_t> bytes, const CodeLayout* layout) {
    if (bytes.empty() || bytes.size() > kMaxLength || bytes_.size() > kMaxOffset) return;
    if (line >= where_.size()) where_.resize(line + line / 2 + 16, 0);
    where_[line] = static_cast<std::uint32_t>(bytes_.size() << kOffsetShift) | (layout ? kLayoutBit : 0) |
                   static_cast<std::uint32_t>(bytes.size());
    if (layout) {
        const std::uint8_t packed[kLayoutSize] = {
            layout->prefixLength,   layout->displacement.offset, layout->displacement.size, layout->immediate.offset,
            layout->immediate.size, layout->immediate2.offset,   layout->immediate2.size};
        bytes_.insert(bytes_.end(), packed, packed + kLayoutSize);
    }
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

CachedCode CodeCache::find(std::size_t line) const {
    CachedCode c;
    if (line >= where_.size() || where_[line] == 0) return c;
    const std::uint32_t w = where_[line];
    std::size_t at = w >> kOffsetShift;
    if (w & kLayoutBit) {
        const std::uint8_t* p = bytes_.data() + at;
        c.layout = CodeLayout{p[0], x86::Field{p[1], p[2]}, x86::Field{p[3], p[4]}, x86::Field{p[5], p[6]}};
        at += kLayoutSize;
    }
    c.bytes = std::span<const std::uint8_t>(bytes_).subspan(at, w & kMaxLength);
    return c;
}

}  // namespace ml
