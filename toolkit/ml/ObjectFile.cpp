// ELF32 i386 relocatable output: section data, REL relocations, the symbol table
// with locals before globals, and the section header table.
#include "ObjectFile.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace ml {

namespace {

constexpr std::uint32_t SHT_PROGBITS = 1, SHT_SYMTAB = 2, SHT_STRTAB = 3, SHT_NOBITS = 8, SHT_REL = 9;
constexpr std::uint32_t SHF_WRITE = 1, SHF_ALLOC = 2, SHF_EXECINSTR = 4, SHF_INFO_LINK = 0x40;
constexpr std::uint8_t STT_SECTION = 3, STT_FILE = 4;
constexpr std::uint16_t SHN_ABS = 0xFFF1;

class Buffer {
public:
    std::string bytes;
    void u8(std::uint8_t v) { bytes.push_back(static_cast<char>(v)); }
    void u16(std::uint16_t v) { put(v, 2); }
    void u32(std::uint32_t v) { put(v, 4); }
    void align(std::size_t a) { bytes.append((a - bytes.size() % a) % a, '\0'); }
    std::size_t size() const { return bytes.size(); }

private:
    void put(std::uint32_t v, std::size_t count) {
        char le[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
        bytes.append(le, count);
    }
};

// A string table that stores each name once: "\0name\0other\0". The index holds
// offsets into the table itself, hashed by the name they start, so that adding a
// name copies it only when it is new.
class StringTable {
public:
    explicit StringTable(std::size_t expectedNames = 0) {
        data_.push_back('\0');
        std::size_t slots = 16;
        while (slots < expectedNames * 2) slots *= 2;
        slots_.assign(slots, Slot{});
    }

    std::uint32_t add(std::string_view s) {
        if (s.empty()) return 0;
        if ((used_ + 1) * 2 > slots_.size()) grow();
        const std::uint32_t h = hashOf(s);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (slot.offset == 0) {
                slot = Slot{h, static_cast<std::uint32_t>(data_.size())};
                ++used_;
                data_ += s;
                data_.push_back('\0');
                return slot.offset;
            }
            if (slot.hash == h && nameAt(slot.offset) == s) return slot.offset;
        }
    }
    const std::string& data() const { return data_; }

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t offset = 0;  // 0: empty (offset 0 is the empty name)
    };

    static std::uint32_t hashOf(std::string_view s) {
        std::uint64_t h = 1469598103934665603ull;  // FNV-1a
        for (char c : s) {
            h ^= static_cast<unsigned char>(c);
            h *= 1099511628211ull;
        }
        return static_cast<std::uint32_t>(h ^ (h >> 32));
    }
    std::string_view nameAt(std::uint32_t offset) const { return std::string_view(data_.c_str() + offset); }

    void grow() {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(old.size() * 2, Slot{});
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.offset == 0) continue;
            std::size_t i = slot.hash & mask;
            while (slots_[i].offset != 0) i = (i + 1) & mask;
            slots_[i] = slot;
        }
    }

    std::string data_;
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

struct SectionHeader {
    std::uint32_t name = 0, type = 0, flags = 0, addr = 0, offset = 0, size = 0, link = 0, info = 0,
                  addralign = 1, entsize = 0;
};

}  // namespace

std::string writeElf(const ObjectFile& obj) {
    const std::size_t n = obj.sections.size();
    // Section header indices: 0 null, 1..n the sections, then one .rel per section with
    // relocations, then .symtab, .strtab, .shstrtab.
    std::vector<std::uint32_t> relIndex(n, 0);
    std::uint32_t next = static_cast<std::uint32_t>(n + 1);
    for (std::size_t i = 0; i < n; ++i)
        if (!obj.sections[i].relocations.empty()) relIndex[i] = next++;
    const std::uint32_t symtabIndex = next++, strtabIndex = next++, shstrtabIndex = next++;
    const std::uint32_t sectionCount = next;

    // Symbol table: null, file, section symbols, other locals, then globals.
    StringTable strtab(obj.symbols.size() + 1);
    Buffer symtab;
    symtab.bytes.reserve((obj.symbols.size() + n + 2) * 16);
    auto putSymbol = [&](std::uint32_t name, std::uint32_t value, std::uint32_t size, std::uint8_t info,
                         std::uint16_t shndx) {
        symtab.u32(name);
        symtab.u32(value);
        symtab.u32(size);
        symtab.u8(info);
        symtab.u8(0);
        symtab.u16(shndx);
    };
    putSymbol(0, 0, 0, 0, 0);
    putSymbol(strtab.add(obj.sourceName), 0, 0, STT_FILE, SHN_ABS);
    std::uint32_t count = 2;
    std::vector<std::uint32_t> sectionSymbol(n);
    for (std::size_t i = 0; i < n; ++i) {
        sectionSymbol[i] = count++;
        putSymbol(0, 0, 0, STT_SECTION, static_cast<std::uint16_t>(i + 1));
    }
    std::vector<std::uint32_t> symbolIndex(obj.symbols.size());
    std::uint32_t firstGlobal = 0;
    for (int pass = 0; pass < 2; ++pass) {
        auto wanted = pass == 0 ? SymbolBinding::Local : SymbolBinding::Global;
        if (pass == 1) firstGlobal = count;
        for (std::size_t i = 0; i < obj.symbols.size(); ++i) {
            const ObjectSymbol& s = obj.symbols[i];
            if (s.binding != wanted) continue;
            symbolIndex[i] = count++;
            std::uint8_t info = static_cast<std::uint8_t>((static_cast<std::uint8_t>(s.binding) << 4) |
                                                          static_cast<std::uint8_t>(s.type));
            putSymbol(strtab.add(s.name), s.value, s.size, info,
                      s.section < 0 ? 0 : static_cast<std::uint16_t>(s.section + 1));
        }
    }

    StringTable shstrtab;
    std::vector<SectionHeader> headers(sectionCount);
    Buffer out;
    // The whole file is built in one buffer: reserve it once instead of regrowing it.
    std::size_t expected = 52 + symtab.size() + strtab.data().size() + 256 + std::size_t(sectionCount) * 40;
    for (const ObjectSection& s : obj.sections) expected += s.data.size() + 16 + s.relocations.size() * 8 + 4;
    out.bytes.reserve(expected);
    out.bytes.resize(52, '\0');

    for (std::size_t i = 0; i < n; ++i) {
        const ObjectSection& s = obj.sections[i];
        SectionHeader& h = headers[i + 1];
        h.name = shstrtab.add(s.name);
        h.addralign = std::max<std::uint32_t>(1, s.alignment);
        switch (s.flavor) {
            case SectionFlavor::Code: h.type = SHT_PROGBITS; h.flags = SHF_ALLOC | SHF_EXECINSTR; break;
            case SectionFlavor::Data: h.type = SHT_PROGBITS; h.flags = SHF_ALLOC | SHF_WRITE; break;
            case SectionFlavor::Bss: h.type = SHT_NOBITS; h.flags = SHF_ALLOC | SHF_WRITE; break;
            case SectionFlavor::ReadOnly: h.type = SHT_PROGBITS; h.flags = SHF_ALLOC; break;
            case SectionFlavor::Debug: h.type = SHT_PROGBITS; h.flags = 0; break;
        }
        if (s.flavor == SectionFlavor::Bss) {
            h.offset = static_cast<std::uint32_t>(out.size());
            h.size = s.size;
            continue;
        }
        out.align(std::min<std::uint32_t>(h.addralign, 16));
        h.offset = static_cast<std::uint32_t>(out.size());
        h.size = static_cast<std::uint32_t>(s.data.size());
        out.bytes.append(reinterpret_cast<const char*>(s.data.data()), s.data.size());
    }
    for (std::size_t i = 0; i < n; ++i) {
        const ObjectSection& s = obj.sections[i];
        if (s.relocations.empty()) continue;
        SectionHeader& h = headers[relIndex[i]];
        h.name = shstrtab.add(".rel" + s.name);
        h.type = SHT_REL;
        h.flags = SHF_INFO_LINK;
        h.link = symtabIndex;
        h.info = static_cast<std::uint32_t>(i + 1);
        h.addralign = 4;
        h.entsize = 8;
        out.align(4);
        h.offset = static_cast<std::uint32_t>(out.size());
        for (const ObjectReloc& r : s.relocations) {
            std::uint32_t sym = r.target.symbol >= 0 ? symbolIndex[std::size_t(r.target.symbol)]
                                : r.target.section >= 0 ? sectionSymbol[std::size_t(r.target.section)]
                                                        : 0;
            out.u32(r.offset);
            out.u32((sym << 8) | static_cast<std::uint8_t>(r.type));
        }
        h.size = static_cast<std::uint32_t>(out.size() - h.offset);
    }
    {
        SectionHeader& h = headers[symtabIndex];
        h.name = shstrtab.add(".symtab");
        h.type = SHT_SYMTAB;
        h.link = strtabIndex;
        h.info = firstGlobal;
        h.addralign = 4;
        h.entsize = 16;
        out.align(4);
        h.offset = static_cast<std::uint32_t>(out.size());
        h.size = static_cast<std::uint32_t>(symtab.size());
        out.bytes += symtab.bytes;
    }
    {
        SectionHeader& h = headers[strtabIndex];
        h.name = shstrtab.add(".strtab");
        h.type = SHT_STRTAB;
        h.offset = static_cast<std::uint32_t>(out.size());
        h.size = static_cast<std::uint32_t>(strtab.data().size());
        out.bytes += strtab.data();
    }
    {
        SectionHeader& h = headers[shstrtabIndex];
        h.name = shstrtab.add(".shstrtab");
        h.type = SHT_STRTAB;
        h.offset = static_cast<std::uint32_t>(out.size());
        h.size = static_cast<std::uint32_t>(shstrtab.data().size());
        out.bytes += shstrtab.data();
    }
    out.align(4);
    const std::uint32_t shoff = static_cast<std::uint32_t>(out.size());
    for (const SectionHeader& h : headers) {
        out.u32(h.name);
        out.u32(h.type);
        out.u32(h.flags);
        out.u32(h.addr);
        out.u32(h.offset);
        out.u32(h.size);
        out.u32(h.link);
        out.u32(h.info);
        out.u32(h.addralign);
        out.u32(h.entsize);
    }

    Buffer header;
    const std::uint8_t ident[16] = {0x7F, 'E', 'L', 'F', 1 /*32-bit*/, 1 /*little endian*/, 1 /*version*/, 0};
    header.bytes.append(reinterpret_cast<const char*>(ident), 16);
    header.u16(1);   // ET_REL
    header.u16(3);   // EM_386
    header.u32(1);   // EV_CURRENT
    header.u32(0);   // entry
    header.u32(0);   // program headers
    header.u32(shoff);
    header.u32(0);   // flags
    header.u16(52);  // header size
    header.u16(0);   // program header entry size
    header.u16(0);
    header.u16(40);  // section header entry size
    header.u16(static_cast<std::uint16_t>(sectionCount));
    header.u16(static_cast<std::uint16_t>(shstrtabIndex));
    std::memcpy(out.bytes.data(), header.bytes.data(), 52);
    return std::move(out.bytes);
}

}  // namespace ml
