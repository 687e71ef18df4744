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
    const std::size_t at = out.size();
    out.append(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[at + static_cast<std::size_t>(i)] = kDigits[value & 15];
        value >>= 4;
    }
}

}  // namespace ml
