// Piecewise code page 936 conversion on top of the platform's lossless codec.
#include "AnsiPieces.h"

#include "platform/Cp936.h"

namespace {

bool IsLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// The UTF-8 length that a lead byte announces, 1 for any other byte.
std::size_t Utf8SequenceLength(unsigned char b)
{
    if (b >= 0xF0) return 4;
    if (b >= 0xE0) return 3;
    if (b >= 0xC0) return 2;
    return 1;
}

// How many bytes at the end of `text` begin a UTF-8 sequence that is not finished.
std::size_t OpenUtf8Tail(std::string_view text)
{
    const std::size_t lookBack = std::min<std::size_t>(3, text.size());
    for (std::size_t back = 1; back <= lookBack; ++back) {
        const auto b = static_cast<unsigned char>(text[text.size() - back]);
        if (b < 0x80 || b >= 0xC0) return Utf8SequenceLength(b) > back ? back : 0;
    }
    return 0;
}

}  // namespace

std::string AnsiToUtf8Pieces::Convert(std::string_view piece)
{
    std::string bytes = std::move(carry_);
    carry_.clear();
    bytes.append(piece);
    std::string text = platform::cp936::cp936ToUtf8(bytes);
    // A lead byte that ends the bytes decodes on its own as an escaped raw byte; the
    // whole text would have paired it with the byte that follows, so keep it back.
    if (!bytes.empty() && IsLeadByte(static_cast<unsigned char>(bytes.back()))) {
        const std::string escaped = platform::cp936::cp936ToUtf8(bytes.substr(bytes.size() - 1));
        if (text.ends_with(escaped)) {
            text.resize(text.size() - escaped.size());
            carry_ = bytes.substr(bytes.size() - 1);
        }
    }
    return text;
}

std::string AnsiToUtf8Pieces::Finish()
{
    const std::string rest = std::move(carry_);
    carry_.clear();
    return platform::cp936::cp936ToUtf8(rest);
}

std::string Utf8ToAnsiPieces::Convert(std::string_view piece)
{
    std::string text = std::move(carry_);
    carry_.clear();
    text.append(piece);
    const std::size_t open = OpenUtf8Tail(text);
    carry_ = text.substr(text.size() - open);
    text.resize(text.size() - open);
    return platform::cp936::utf8ToCp936(text);
}

std::string Utf8ToAnsiPieces::Finish()
{
    const std::string rest = std::move(carry_);
    carry_.clear();
    return platform::cp936::utf8ToCp936(rest);
}
