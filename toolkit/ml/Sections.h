// The sections an assembly fills: their bytes, location counters and relocations,
// plus the line records that the debug information is built from.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ml {

enum class SectionKind : std::uint8_t { Text, Data, Bss, Rodata };

// The sections that the simplified segment directives select (.CODE, .DATA ...).
struct StandardSection {
    std::string_view directive;
    std::string_view masmName;
    std::string_view elfName;
    SectionKind kind;
};
std::span<const StandardSection> standardSections();

enum class RelocKind : std::uint8_t { Abs32, Pc32, Abs16, Abs8, Pc8 };

// A field that the linker completes: the bytes at `offset` hold the addend.
struct Relocation {
    std::uint32_t offset = 0;
    RelocKind kind = RelocKind::Abs32;
    std::uint32_t symbol = 0;  // symbol id in the symbol table
};

// One record per instruction or data statement: which source line produced the
// bytes at `offset`. Macro lines carry the line of their outermost invocation.
struct LineRecord {
    std::uint32_t offset = 0;
    std::uint32_t file = 0;
    std::uint32_t line = 0;
};

struct Section {
    std::string masmName;  // _TEXT, _DATA, _BSS, CONST
    std::string elfName;   // .text, .data, .bss, .rodata
    SectionKind kind = SectionKind::Text;
    std::vector<std::uint8_t> bytes;  // empty for .bss
    std::uint32_t size = 0;           // location counter high-water mark
    std::uint32_t offset = 0;         // location counter
    std::uint32_t alignment = 16;
    std::vector<Relocation> relocations;
    std::vector<LineRecord> lines;

    // Writes at the location counter and advances it; bss only advances.
    void emit(const std::uint8_t* data, std::size_t count) {
        if (kind != SectionKind::Bss && offset == bytes.size()) {
            bytes.insert(bytes.end(), data, data + count);  // the usual case: appending
            offset += static_cast<std::uint32_t>(count);
            if (size < offset) size = offset;
        } else {
            emitElsewhere(data, count);
        }
    }
    void emitFill(std::uint8_t value, std::size_t count);
    // Repeats the `unit` bytes written from `begin` until they stand `times` times in a
    // row, and moves the location counter after them.
    void repeatLast(std::uint32_t begin, std::uint32_t unit, std::size_t times);
    void setOffset(std::uint32_t value);
    void reset();  // forgets contents for a new pass

private:
    void emitElsewhere(const std::uint8_t* data, std::size_t count);  // bss, or after ORG moved back
};

}  // namespace ml
