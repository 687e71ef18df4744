// A relocatable object in memory (sections, symbols, relocations) and its ELF32 i386
// encoding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ml {

// Where a relocation points: a section's symbol (offset 0 of the section) or a symbol.
struct ObjectTarget {
    std::int32_t section = -1;  // index in ObjectFile::sections, or -1
    std::int32_t symbol = -1;   // index in ObjectFile::symbols, or -1
};

enum class ObjectRelocType : std::uint8_t { Abs32 = 1, Pc32 = 2, Abs16 = 20, Pc16 = 21, Abs8 = 22, Pc8 = 23 };

struct ObjectReloc {
    std::uint32_t offset = 0;
    ObjectRelocType type = ObjectRelocType::Abs32;
    ObjectTarget target;
};

// Directive: text for the linker (the entry named by END), kept out of the program
// (SHF_EXCLUDE), as COFF's .drectve section is.
enum class SectionFlavor : std::uint8_t { Code, Data, Bss, ReadOnly, Debug, Directive };

struct ObjectSection {
    std::string name;
    SectionFlavor flavor = SectionFlavor::Data;
    std::uint32_t alignment = 1;
    std::vector<std::uint8_t> data;  // empty for .bss
    std::uint32_t size = 0;          // .bss size; data.size() otherwise
    std::vector<ObjectReloc> relocations;
};

enum class SymbolBinding : std::uint8_t { Local = 0, Global = 1 };
enum class SymbolType : std::uint8_t { NoType = 0, Object = 1, Func = 2 };

struct ObjectSymbol {
    std::string name;
    SymbolBinding binding = SymbolBinding::Local;
    SymbolType type = SymbolType::NoType;
    std::int32_t section = -1;  // -1: undefined (external)
    std::uint32_t value = 0;
    std::uint32_t size = 0;
};

struct ObjectFile {
    std::string sourceName;  // the STT_FILE symbol
    std::vector<ObjectSection> sections;
    std::vector<ObjectSymbol> symbols;  // local and global, in any order
};

// Lays out `obj` as an ELF32 little-endian i386 relocatable file (ET_REL):
//   ELF header | section contents | .rel.* | .symtab | .strtab | .shstrtab | section headers
// Section symbols come first among the locals; globals follow all locals.
std::string writeElf(const ObjectFile& obj);

}  // namespace ml
