// Text helpers shared by the assembler's stages.
#include "Text.h"

namespace ml {

std::string hex(std::uint64_t value, int digits) {
    std::string out;
    appendHex(out, value, digits);
    return out;
}

void appendHex(std::string& out, std::uint64_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    char buffer[32];
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(digits, 0)), sizeof buffer);
    for (std::size_t i = n; i-- > 0;) {
        buffer[i] = kDigits[value & 15];
        value >>= 4;
    }
    out.append(buffer, n);
}

}  // namespace ml
