// Section contents: writes at the location counter, with ORG moving it backwards too.
#include "Sections.h"

#include <algorithm>
#include <cstring>

namespace ml {

namespace {

// directive  MASM segment  ELF section  kind
constexpr StandardSection kStandardSections[] = {
    {".code", "_TEXT", ".text", SectionKind::Text},    {".data", "_DATA", ".data", SectionKind::Data},
    {".data?", "_BSS", ".bss", SectionKind::Bss},      {".const", "CONST", ".rodata", SectionKind::Rodata},
    {".fardata", "_DATA", ".data", SectionKind::Data}, {".fardata?", "_BSS", ".bss", SectionKind::Bss},
};

}  // namespace

std::span<const StandardSection> standardSections() { return kStandardSections; }

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
    // An empty fill (ALIGN on a boundary, a structure without fields) may come
    // before the section has any bytes, when there is no buffer to write to.
    if (kind != SectionKind::Bss && count) {
        std::size_t end = std::size_t(offset) + count;
        if (bytes.size() < end) bytes.resize(end, 0);
        std::memset(bytes.data() + offset, value, count);
    }
    offset += static_cast<std::uint32_t>(count);
    size = std::max(size, offset);
}

void Section::repeatLast(std::uint32_t begin, std::uint32_t unit, std::size_t times) {
    const std::size_t total = std::size_t(unit) * times;
    if (kind != SectionKind::Bss && total) {
        if (bytes.size() < begin + total) bytes.resize(begin + total, 0);
        // Each copy doubles the run: what is already repeated is the source of the next part.
        for (std::size_t done = unit; done < total;) {
            const std::size_t chunk = std::min(done, total - done);
            std::memcpy(bytes.data() + begin + done, bytes.data() + begin, chunk);
            done += chunk;
        }
    }
    offset = static_cast<std::uint32_t>(begin + total);
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
