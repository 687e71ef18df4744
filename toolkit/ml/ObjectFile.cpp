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
constexpr std::uint32_t SHF_EXCLUDE = 0x80000000;
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
    std::uint32_t name = 0, type = 0, flags = 0, addr = 0, offset = 0, size = 0, link = 0, info = 0, addralign = 1,
                  entsize = 0;
};

// Lays the file out in one buffer: the file header (filled in last), the sections'
// data, their relocations, the symbol and string tables, then the section headers.
class ElfWriter {
public:
    explicit ElfWriter(const ObjectFile& obj) : obj_(obj), n_(obj.sections.size()), strtab_(obj.symbols.size() + 1) {
        numberSections();
        buildSymbolTable();
    }

    std::string write() {
        reserveOutput();
        out_.bytes.resize(52, '\0');
        for (std::size_t i = 0; i < n_; ++i) writeSectionData(i);
        for (std::size_t i = 0; i < n_; ++i)
            if (!obj_.sections[i].relocations.empty()) writeRelocations(i);
        SectionHeader& symtab = appendTable(symtabIndex_, ".symtab", SHT_SYMTAB, symtab_.bytes, 4);
        symtab.link = strtabIndex_;
        symtab.info = firstGlobal_;
        symtab.entsize = 16;
        appendTable(strtabIndex_, ".strtab", SHT_STRTAB, strtab_.data(), 1);
        appendTable(shstrtabIndex_, ".shstrtab", SHT_STRTAB, shstrtab_.data(), 1);
        const std::uint32_t shoff = writeSectionHeaders();
        writeFileHeader(shoff);
        return std::move(out_.bytes);
    }

private:
    // Section header indices: 0 null, 1..n the sections, then one .rel per section
    // with relocations, then .symtab, .strtab, .shstrtab.
    void numberSections() {
        relIndex_.assign(n_, 0);
        std::uint32_t next = static_cast<std::uint32_t>(n_ + 1);
        for (std::size_t i = 0; i < n_; ++i)
            if (!obj_.sections[i].relocations.empty()) relIndex_[i] = next++;
        symtabIndex_ = next++;
        strtabIndex_ = next++;
        shstrtabIndex_ = next++;
        headers_.assign(next, SectionHeader{});
    }

    void putSymbol(std::uint32_t name, std::uint32_t value, std::uint32_t size, std::uint8_t info,
                   std::uint16_t shndx) {
        symtab_.u32(name);
        symtab_.u32(value);
        symtab_.u32(size);
        symtab_.u8(info);
        symtab_.u8(0);
        symtab_.u16(shndx);
    }

    // Null, file, section symbols, other locals, then globals (ELF wants locals first).
    void buildSymbolTable() {
        symtab_.bytes.reserve((obj_.symbols.size() + n_ + 2) * 16);
        putSymbol(0, 0, 0, 0, 0);
        putSymbol(strtab_.add(obj_.sourceName), 0, 0, STT_FILE, SHN_ABS);
        std::uint32_t count = 2;
        sectionSymbol_.resize(n_);
        for (std::size_t i = 0; i < n_; ++i) {
            sectionSymbol_[i] = count++;
            putSymbol(0, 0, 0, STT_SECTION, static_cast<std::uint16_t>(i + 1));
        }
        symbolIndex_.assign(obj_.symbols.size(), 0);
        for (SymbolBinding wanted : {SymbolBinding::Local, SymbolBinding::Global}) {
            if (wanted == SymbolBinding::Global) firstGlobal_ = count;
            for (std::size_t i = 0; i < obj_.symbols.size(); ++i) {
                const ObjectSymbol& s = obj_.symbols[i];
                if (s.binding != wanted) continue;
                symbolIndex_[i] = count++;
                const auto info = static_cast<std::uint8_t>((static_cast<std::uint8_t>(s.binding) << 4) |
                                                            static_cast<std::uint8_t>(s.type));
                putSymbol(strtab_.add(s.name), s.value, s.size, info,
                          s.section < 0 ? 0 : static_cast<std::uint16_t>(s.section + 1));
            }
        }
    }

    // The whole file is built in one buffer: reserve it once instead of regrowing it.
    void reserveOutput() {
        std::size_t expected = 52 + symtab_.size() + strtab_.data().size() + 256 + headers_.size() * 40;
        for (const ObjectSection& s : obj_.sections) expected += s.data.size() + 16 + s.relocations.size() * 8 + 4;
        out_.bytes.reserve(expected);
    }

    static void setKind(SectionHeader& h, SectionFlavor flavor) {
        switch (flavor) {
            case SectionFlavor::Code:
                h.type = SHT_PROGBITS;
                h.flags = SHF_ALLOC | SHF_EXECINSTR;
                break;
            case SectionFlavor::Data:
                h.type = SHT_PROGBITS;
                h.flags = SHF_ALLOC | SHF_WRITE;
                break;
            case SectionFlavor::Bss:
                h.type = SHT_NOBITS;
                h.flags = SHF_ALLOC | SHF_WRITE;
                break;
            case SectionFlavor::ReadOnly:
                h.type = SHT_PROGBITS;
                h.flags = SHF_ALLOC;
                break;
            case SectionFlavor::Debug:
                h.type = SHT_PROGBITS;
                h.flags = 0;
                break;
            case SectionFlavor::Directive:
                h.type = SHT_PROGBITS;
                h.flags = SHF_EXCLUDE;
                break;
        }
    }

    void writeSectionData(std::size_t i) {
        const ObjectSection& s = obj_.sections[i];
        SectionHeader& h = headers_[i + 1];
        h.name = shstrtab_.add(s.name);
        h.addralign = std::max<std::uint32_t>(1, s.alignment);
        setKind(h, s.flavor);
        if (s.flavor == SectionFlavor::Bss) {  // occupies no file space
            h.offset = static_cast<std::uint32_t>(out_.size());
            h.size = s.size;
            return;
        }
        out_.align(std::min<std::uint32_t>(h.addralign, 16));
        h.offset = static_cast<std::uint32_t>(out_.size());
        h.size = static_cast<std::uint32_t>(s.data.size());
        out_.bytes.append(reinterpret_cast<const char*>(s.data.data()), s.data.size());
    }

    std::uint32_t relocationSymbol(const ObjectReloc& r) const {
        if (r.target.symbol >= 0) return symbolIndex_[std::size_t(r.target.symbol)];
        if (r.target.section >= 0) return sectionSymbol_[std::size_t(r.target.section)];
        return 0;
    }

    void writeRelocations(std::size_t i) {
        const ObjectSection& s = obj_.sections[i];
        SectionHeader& h = headers_[relIndex_[i]];
        h.name = shstrtab_.add(".rel" + s.name);
        h.type = SHT_REL;
        h.flags = SHF_INFO_LINK;
        h.link = symtabIndex_;
        h.info = static_cast<std::uint32_t>(i + 1);
        h.addralign = 4;
        h.entsize = 8;
        out_.align(4);
        h.offset = static_cast<std::uint32_t>(out_.size());
        for (const ObjectReloc& r : s.relocations) {
            out_.u32(r.offset);
            out_.u32((relocationSymbol(r) << 8) | static_cast<std::uint8_t>(r.type));
        }
        h.size = static_cast<std::uint32_t>(out_.size() - h.offset);
    }

    // Copies a table into the file. The name is added first: .shstrtab holds its own.
    SectionHeader& appendTable(std::uint32_t index, std::string_view name, std::uint32_t type,
                               const std::string& contents, std::uint32_t alignment) {
        SectionHeader& h = headers_[index];
        h.name = shstrtab_.add(name);
        h.type = type;
        h.addralign = alignment;
        out_.align(alignment);
        h.offset = static_cast<std::uint32_t>(out_.size());
        h.size = static_cast<std::uint32_t>(contents.size());
        out_.bytes += contents;
        return h;
    }

    std::uint32_t writeSectionHeaders() {
        out_.align(4);
        const auto shoff = static_cast<std::uint32_t>(out_.size());
        for (const SectionHeader& h : headers_)
            for (std::uint32_t field :
                 {h.name, h.type, h.flags, h.addr, h.offset, h.size, h.link, h.info, h.addralign, h.entsize})
                out_.u32(field);
        return shoff;
    }

    void writeFileHeader(std::uint32_t shoff) {
        Buffer header;
        const std::uint8_t ident[16] = {0x7F, 'E', 'L', 'F', 1 /*32-bit*/, 1 /*little endian*/, 1 /*version*/, 0};
        header.bytes.append(reinterpret_cast<const char*>(ident), 16);
        header.u16(1);  // ET_REL
        header.u16(3);  // EM_386
        header.u32(1);  // EV_CURRENT
        header.u32(0);  // entry
        header.u32(0);  // program headers
        header.u32(shoff);
        header.u32(0);   // flags
        header.u16(52);  // header size
        header.u16(0);   // program header entry size
        header.u16(0);
        header.u16(40);  // section header entry size
        header.u16(static_cast<std::uint16_t>(headers_.size()));
        header.u16(static_cast<std::uint16_t>(shstrtabIndex_));
        std::memcpy(out_.bytes.data(), header.bytes.data(), 52);
    }

    const ObjectFile& obj_;
    const std::size_t n_;
    std::vector<std::uint32_t> relIndex_;  // section -> index of its .rel header (0: none)
    std::uint32_t symtabIndex_ = 0, strtabIndex_ = 0, shstrtabIndex_ = 0;
    std::vector<SectionHeader> headers_;
    StringTable strtab_;
    StringTable shstrtab_;
    Buffer symtab_;
    std::vector<std::uint32_t> sectionSymbol_;  // section -> its section symbol
    std::vector<std::uint32_t> symbolIndex_;    // object symbol -> symbol table index
    std::uint32_t firstGlobal_ = 0;
    Buffer out_;
};

}  // namespace

std::string writeElf(const ObjectFile& obj) { return ElfWriter(obj).write(); }

}  // namespace ml
