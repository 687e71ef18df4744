// Section contents: writes at the location counter, with ORG moving it backwards too.
#include "Sections.h"

#include <algorithm>
#include <cstring>

namespace ml {

void Section::emitElsewhere(const std::uint8_t* data, std::size_t count) {
    if (kind != SectionKind::Bss) {
        std::size_t end = std::size_t(offset) + count;
        if (bytes.size() < end) bytes.resize(end, 0);
        if (count) std::memcpy(bytes.data() + offset, data, count);
    }
    offset += static_cast<std::uint32_t>(count);
    size = std::max(size, offset);
}

void Section::emitFill(std::uint8_t value, std::size_t count) {
    if (kind != SectionKind::Bss) {
        std::size_t end = std::size_t(offset) + count;
        if (bytes.size() < end) bytes.resize(end, 0);
        std::memset(bytes.data() + offset, value, count);
    }
    offset += static_cast<std::uint32_t>(count);
    size = std::max(size, offset);
}

void Section::setOffset(std::uint32_t value) {
    offset = value;
    size = std::max(size, offset);
    if (kind != SectionKind::Bss && bytes.size() < size) bytes.resize(size, 0);
}

void Section::reset() {
    bytes.clear();
    relocations.clear();
    lines.clear();
    size = 0;
    offset = 0;
}

}  // namespace ml
