// First-pass instruction bytes by line index.
#include "CodeCache.h"

namespace ml {

namespace {

constexpr std::uint32_t kLengthBits = 4;
constexpr std::uint32_t kMaxLength = (1u << kLengthBits) - 1;
constexpr std::size_t kMaxOffset = (std::size_t(1) << (32 - kLengthBits)) - 1;

}  // namespace

void CodeCache::store(std::size_t line, std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > kMaxLength || bytes_.size() > kMaxOffset) return;
    if (line >= where_.size()) where_.resize(line + line / 2 + 16, 0);
    where_[line] = static_cast<std::uint32_t>(bytes_.size() << kLengthBits) | static_cast<std::uint32_t>(bytes.size());
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

std::span<const std::uint8_t> CodeCache::find(std::size_t line) const {
    if (line >= where_.size() || where_[line] == 0) return {};
    const std::uint32_t w = where_[line];
    return std::span<const std::uint8_t>(bytes_).subspan(w >> kLengthBits, w & kMaxLength);
}

}  // namespace ml
