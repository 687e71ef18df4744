// Text helpers shared by the assembler's stages.
#include "Text.h"

namespace ml {

std::string hex(std::uint64_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[value & 15];
        value >>= 4;
    }
    return out;
}

}  // namespace ml
