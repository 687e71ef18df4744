// DWARF 3 for the assembled code. Addresses are section-relative and relocated
// against the section symbols, so ld can merge our units with other objects' units.
//
//   .debug_info    compile unit
//                    base types (BYTE, SDWORD, REAL8 ...)
//                    array types for labels with several elements
//                    subprograms: PROCs, and public code labels outside PROCs
//                    variables: data labels with DW_OP_addr locations
//   .debug_line    one sequence per code section; lines of macro expansions are the
//                  lines that invoked them
//   .debug_aranges the code range of the unit
//   .debug_frame   where the return address is at each instruction of each procedure
#include "DebugInfo.h"

#include <algorithm>
#include <climits>
#include <map>
#include <unistd.h>

#include "Assembler.h"
#include "SourceFiles.h"

namespace ml {

namespace {

// DWARF constants used here.
enum : std::uint8_t {
    DW_TAG_array_type = 0x01,
    DW_TAG_subrange_type = 0x21,
    DW_TAG_compile_unit = 0x11,
    DW_TAG_base_type = 0x24,
    DW_TAG_subprogram = 0x2E,
    DW_TAG_variable = 0x34,
};
enum : std::uint8_t {
    DW_AT_location = 0x02,
    DW_AT_name = 0x03,
    DW_AT_byte_size = 0x0B,
    DW_AT_stmt_list = 0x10,
    DW_AT_low_pc = 0x11,
    DW_AT_high_pc = 0x12,
    DW_AT_language = 0x13,
    DW_AT_comp_dir = 0x1B,
    DW_AT_upper_bound = 0x2F,
    DW_AT_producer = 0x25,
    DW_AT_encoding = 0x3E,
    DW_AT_external = 0x3F,
    DW_AT_type = 0x49,
};
enum : std::uint8_t {
    DW_FORM_addr = 0x01,
    DW_FORM_block1 = 0x0A,
    DW_FORM_data1 = 0x0B,
    DW_FORM_data2 = 0x05,
    DW_FORM_data4 = 0x06,
    DW_FORM_string = 0x08,
    DW_FORM_flag = 0x0C,
    DW_FORM_ref4 = 0x13,
};
enum : std::uint8_t { DW_ATE_float = 0x04, DW_ATE_signed = 0x05, DW_ATE_unsigned = 0x08 };
enum : std::uint8_t { DW_OP_addr = 0x03 };
enum : std::uint8_t {
    DW_LNS_copy = 1,
    DW_LNS_advance_pc = 2,
    DW_LNS_advance_line = 3,
    DW_LNS_set_file = 4,
};
enum : std::uint8_t { DW_LNE_end_sequence = 1, DW_LNE_set_address = 2 };
constexpr std::uint16_t DW_LANG_Mips_Assembler = 0x8001;

enum Abbrev : std::uint8_t { kCompileUnit = 1, kBaseType, kArrayType, kSubrange, kVariable, kSubprogram };

class Bytes {
public:
    std::vector<std::uint8_t> data;
    void u8(std::uint8_t v) { data.push_back(v); }
    void u16(std::uint16_t v) {
        u8(v & 0xFF);
        u8(v >> 8);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void str(const std::string& s) {
        data.insert(data.end(), s.begin(), s.end());
        u8(0);
    }
    void uleb(std::uint64_t v) {
        do {
            std::uint8_t b = v & 0x7F;
            v >>= 7;
            u8(v ? (b | 0x80) : b);
        } while (v);
    }
    void sleb(std::int64_t v) {
        bool more = true;
        while (more) {
            std::uint8_t b = v & 0x7F;
            v >>= 7;
            more = !((v == 0 && !(b & 0x40)) || (v == -1 && (b & 0x40)));
            u8(more ? (b | 0x80) : b);
        }
    }
    std::uint32_t size() const { return static_cast<std::uint32_t>(data.size()); }
    void patch32(std::uint32_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) data[at + std::uint32_t(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
};

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) return path;
    return std::string(buffer) + "/" + path;
}

std::string currentDirectory() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

struct Writer {
    ObjectFile& obj;
    const Assembler& as;
    std::int32_t info = -1, abbrev = -1, line = -1, aranges = -1, frame = -1;

    void addSection(const char* name, std::int32_t& index) {
        ObjectSection s;
        s.name = name;
        s.flavor = SectionFlavor::Debug;
        obj.sections.push_back(std::move(s));
        index = static_cast<std::int32_t>(obj.sections.size() - 1);
    }
    void reloc(std::int32_t in, std::uint32_t at, std::int32_t targetSection) {
        ObjectReloc r;
        r.offset = at;
        r.target.section = targetSection;
        obj.sections[std::size_t(in)].relocations.push_back(r);
    }

    std::int32_t firstCodeSection() const {
        for (std::size_t i = 0; i < as.sections().size(); ++i)
            if (as.sections()[i].kind == SectionKind::Text) return static_cast<std::int32_t>(i);
        return -1;
    }

    void writeAbbrev() {
        Bytes b;
        auto entry = [&](std::uint8_t code, std::uint8_t tag, bool children,
                         std::initializer_list<std::pair<std::uint8_t, std::uint8_t>> attrs) {
            b.uleb(code);
            b.uleb(tag);
            b.u8(children ? 1 : 0);
            for (auto [at, form] : attrs) {
                b.uleb(at);
                b.uleb(form);
            }
            b.u8(0);
            b.u8(0);
        };
        entry(kCompileUnit, DW_TAG_compile_unit, true,
              {{DW_AT_producer, DW_FORM_string},
               {DW_AT_language, DW_FORM_data2},
               {DW_AT_name, DW_FORM_string},
               {DW_AT_comp_dir, DW_FORM_string},
               {DW_AT_low_pc, DW_FORM_addr},
               {DW_AT_high_pc, DW_FORM_addr},
               {DW_AT_stmt_list, DW_FORM_data4}});
        entry(kBaseType, DW_TAG_base_type, false,
              {{DW_AT_name, DW_FORM_string}, {DW_AT_encoding, DW_FORM_data1}, {DW_AT_byte_size, DW_FORM_data1}});
        entry(kArrayType, DW_TAG_array_type, true, {{DW_AT_type, DW_FORM_ref4}});
        entry(kSubrange, DW_TAG_subrange_type, false, {{DW_AT_upper_bound, DW_FORM_data4}});
        entry(kVariable, DW_TAG_variable, false,
              {{DW_AT_name, DW_FORM_string},
               {DW_AT_type, DW_FORM_ref4},
               {DW_AT_external, DW_FORM_flag},
               {DW_AT_location, DW_FORM_block1}});
        entry(kSubprogram, DW_TAG_subprogram, false,
              {{DW_AT_name, DW_FORM_string},
               {DW_AT_external, DW_FORM_flag},
               {DW_AT_low_pc, DW_FORM_addr},
               {DW_AT_high_pc, DW_FORM_addr}});
        b.u8(0);
        obj.sections[std::size_t(abbrev)].data = std::move(b.data);
    }

    // The line program: one sequence per code section, rows sorted by address.
    void writeLines(const std::vector<std::uint32_t>& fileNumbers) {
        Bytes b;
        b.u32(0);  // unit length, patched below
        b.u16(3);
        std::uint32_t headerLengthAt = b.size();
        b.u32(0);
        std::uint32_t headerStart = b.size();
        b.u8(1);                              // minimum instruction length
        b.u8(1);                              // default is_stmt
        b.u8(static_cast<std::uint8_t>(-5));  // line base
        b.u8(14);                             // line range
        b.u8(13);                             // opcode base
        for (std::uint8_t len : {0, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 1}) b.u8(len);
        b.u8(0);  // no include directories: file names are absolute
        for (std::size_t f = 0; f < as.files().count(); ++f) {
            b.str(absolutePath(as.files().file(static_cast<std::uint32_t>(f)).path));
            b.uleb(0);
            b.uleb(0);
            b.uleb(0);
        }
        b.u8(0);
        b.patch32(headerLengthAt, b.size() - headerStart);
        for (std::size_t i = 0; i < as.sections().size(); ++i) {
            const Section& s = as.sections()[i];
            if (s.kind != SectionKind::Text || s.lines.empty()) continue;
            std::vector<LineRecord> rows = s.lines;
            std::stable_sort(rows.begin(), rows.end(),
                             [](const LineRecord& a, const LineRecord& c) { return a.offset < c.offset; });
            b.u8(0);
            b.uleb(5);
            b.u8(DW_LNE_set_address);
            reloc(line, b.size(), static_cast<std::int32_t>(i));
            b.u32(0);
            std::uint32_t address = 0, currentLine = 1, file = 1;
            for (const LineRecord& r : rows) {
                std::uint32_t wantedFile = fileNumbers[r.file];
                if (wantedFile != file) {
                    b.u8(DW_LNS_set_file);
                    b.uleb(wantedFile);
                    file = wantedFile;
                }
                if (r.line != currentLine) {
                    b.u8(DW_LNS_advance_line);
                    b.sleb(std::int64_t(r.line) - std::int64_t(currentLine));
                    currentLine = r.line;
                }
                if (r.offset != address) {
                    b.u8(DW_LNS_advance_pc);
                    b.uleb(r.offset - address);
                    address = r.offset;
                }
                b.u8(DW_LNS_copy);
            }
            if (s.size > address) {
                b.u8(DW_LNS_advance_pc);
                b.uleb(s.size - address);
            }
            b.u8(0);
            b.uleb(1);
            b.u8(DW_LNE_end_sequence);
        }
        b.patch32(0, b.size() - 4);
        obj.sections[std::size_t(line)].data = std::move(b.data);
    }

    static std::string typeName(const Type& t) {
        if (t.isFloat) return t.size == 4 ? "REAL4" : t.size == 8 ? "REAL8" : "REAL10";
        switch (t.size) {
            case 1:
                return t.isSigned ? "SBYTE" : "BYTE";
            case 2:
                return t.isSigned ? "SWORD" : "WORD";
            case 4:
                return t.isSigned ? "SDWORD" : "DWORD";
            case 6:
                return "FWORD";
            case 8:
                return "QWORD";
            case 10:
                return "TBYTE";
            default:
                return "BYTE";
        }
    }

    void writeInfo() {
        Bytes b;
        std::int32_t code = firstCodeSection();
        std::uint32_t codeSize = code >= 0 ? as.sections()[std::size_t(code)].size : 0;
        b.u32(0);  // unit length
        b.u16(3);
        reloc(info, b.size(), abbrev);
        b.u32(0);
        b.u8(4);
        b.uleb(kCompileUnit);
        b.str("Asmora Macro Assembler");
        b.u16(DW_LANG_Mips_Assembler);
        b.str(as.files().count() ? absolutePath(as.files().file(0).path) : std::string());
        b.str(currentDirectory());
        if (code >= 0) reloc(info, b.size(), code);
        b.u32(0);
        if (code >= 0) reloc(info, b.size(), code);
        b.u32(codeSize);
        reloc(info, b.size(), line);
        b.u32(0);

        std::map<std::string, std::uint32_t> baseTypes;
        auto baseType = [&](const Type& t) {
            std::string name = typeName(t);
            auto it = baseTypes.find(name);
            if (it != baseTypes.end()) return it->second;
            std::uint32_t at = b.size();
            b.uleb(kBaseType);
            b.str(name);
            b.u8(t.isFloat ? DW_ATE_float : t.isSigned ? DW_ATE_signed : DW_ATE_unsigned);
            b.u8(static_cast<std::uint8_t>(t.isFloat || t.structure ? std::min<std::uint32_t>(t.size, 255)
                                                                    : std::max<std::uint32_t>(1, t.size)));
            baseTypes[name] = at;
            return at;
        };
        const auto& all = as.symbols().all();
        for (const Symbol& s : all) {
            if (s.hidden || !s.defined || s.section < 0) continue;
            if (s.kind != SymbolKind::Label || s.type.isCode) continue;
            Type element = s.type;
            std::uint32_t count = std::max<std::uint32_t>(1, s.lengthOf);
            if (element.structure) {  // a structure shows as its bytes
                count = std::max<std::uint32_t>(1, element.size) * count;
                element = Type{1};
            }
            std::uint32_t typeRef = baseType(element);
            if (count > 1) {
                std::uint32_t array = b.size();
                b.uleb(kArrayType);
                b.u32(typeRef);
                b.uleb(kSubrange);
                b.u32(count - 1);
                b.u8(0);
                typeRef = array;
            }
            b.uleb(kVariable);
            b.str(s.name);
            b.u32(typeRef);
            b.u8(s.isPublic ? 1 : 0);
            b.u8(5);
            b.u8(DW_OP_addr);
            reloc(info, b.size(), s.section);
            b.u32(static_cast<std::uint32_t>(s.value));
        }
        // Code ranges: PROCs, and public code labels that start code outside any PROC.
        for (const Symbol& s : all) {
            if (s.hidden || !s.defined || s.section < 0) continue;
            bool proc = s.kind == SymbolKind::Procedure;
            bool entry = s.kind == SymbolKind::Label && s.type.isCode && s.isPublic;
            if (!proc && !entry) continue;
            std::uint32_t end = proc ? static_cast<std::uint32_t>(s.value + s.sizeOf) : codeRangeEnd(s);
            if (end <= s.value) continue;
            b.uleb(kSubprogram);
            b.str(s.name);
            b.u8(s.isPublic ? 1 : 0);
            reloc(info, b.size(), s.section);
            b.u32(static_cast<std::uint32_t>(s.value));
            reloc(info, b.size(), s.section);
            b.u32(end);
        }
        b.u8(0);
        b.patch32(0, b.size() - 4);
        obj.sections[std::size_t(info)].data = std::move(b.data);
    }

    // A public code label's range ends at the next PROC or public code label, or at
    // the end of its section.
    std::uint32_t codeRangeEnd(const Symbol& label) const {
        std::uint32_t end = as.sections()[std::size_t(label.section)].size;
        for (const Symbol& s : as.symbols().all()) {
            if (&s == &label || !s.defined || s.section != label.section || s.value <= label.value) continue;
            bool boundary =
                s.kind == SymbolKind::Procedure || (s.kind == SymbolKind::Label && s.type.isCode && s.isPublic);
            if (boundary) end = std::min(end, static_cast<std::uint32_t>(s.value));
        }
        return end;
    }

    // One CIE (CFA = esp + 4, return address at CFA - 4), then one FDE per range:
    //   DW_CFA_advance_loc4 n | DW_CFA_def_cfa reg offset | DW_CFA_offset ebp 2
    void writeFrames() {
        enum : std::uint8_t {
            DW_CFA_advance_loc4 = 0x04,
            DW_CFA_def_cfa = 0x0C,
            DW_CFA_offset = 0x80,
            DW_CFA_restore = 0xC0,
            DW_CFA_nop = 0x00,
        };
        constexpr std::uint8_t kEsp = 4, kEbp = 5, kEip = 8;
        Bytes b;
        auto pad = [&](std::uint32_t start) {
            while ((b.size() - start) % 4) b.u8(DW_CFA_nop);
            b.patch32(start, b.size() - start - 4);
        };
        b.u32(0);
        b.u32(0xFFFFFFFF);  // CIE id
        b.u8(1);            // version
        b.u8(0);            // no augmentation
        b.uleb(1);          // code alignment
        b.sleb(-4);         // data alignment
        b.u8(kEip);
        b.u8(DW_CFA_def_cfa);
        b.uleb(kEsp);
        b.uleb(4);
        b.u8(DW_CFA_offset | kEip);
        b.uleb(1);
        pad(0);
        for (const FrameRange& r : as.frameRanges()) {
            if (r.end <= r.start) continue;
            std::uint32_t start = b.size();
            b.u32(0);
            reloc(frame, b.size(), frame);
            b.u32(0);  // the CIE at offset 0 of this unit's .debug_frame
            reloc(frame, b.size(), r.section);
            b.u32(r.start);
            b.u32(r.end - r.start);
            std::uint32_t at = r.start;
            bool saved = false;
            for (const CfaRow& row : r.rows) {
                if (row.offset >= r.end) break;
                if (row.offset > at) {
                    b.u8(DW_CFA_advance_loc4);
                    b.u32(row.offset - at);
                    at = row.offset;
                }
                b.u8(DW_CFA_def_cfa);
                b.uleb(row.ebpBased ? kEbp : kEsp);
                b.uleb(static_cast<std::uint32_t>(row.cfaOffset));
                if (row.ebpSaved && !saved) {
                    b.u8(DW_CFA_offset | kEbp);
                    b.uleb(2);
                } else if (!row.ebpSaved && saved) {
                    b.u8(DW_CFA_restore | kEbp);
                }
                saved = row.ebpSaved;
            }
            pad(start);
        }
        obj.sections[std::size_t(frame)].data = std::move(b.data);
    }

    void writeAranges() {
        Bytes b;
        std::int32_t code = firstCodeSection();
        b.u32(0);
        b.u16(2);
        reloc(aranges, b.size(), info);
        b.u32(0);
        b.u8(4);
        b.u8(0);
        b.u32(0);  // pad to a multiple of the tuple size
        if (code >= 0) {
            reloc(aranges, b.size(), code);
            b.u32(0);
            b.u32(as.sections()[std::size_t(code)].size);
        }
        b.u32(0);
        b.u32(0);
        b.patch32(0, b.size() - 4);
        obj.sections[std::size_t(aranges)].data = std::move(b.data);
    }
};

}  // namespace

void addDebugInfo(ObjectFile& obj, const Assembler& assembler) {
    Writer w{obj, assembler};
    w.addSection(".debug_abbrev", w.abbrev);
    w.addSection(".debug_info", w.info);
    w.addSection(".debug_line", w.line);
    w.addSection(".debug_aranges", w.aranges);
    w.addSection(".debug_frame", w.frame);
    std::vector<std::uint32_t> fileNumbers(assembler.files().count());
    for (std::size_t f = 0; f < fileNumbers.size(); ++f) fileNumbers[f] = static_cast<std::uint32_t>(f + 1);
    w.writeAbbrev();
    w.writeLines(fileNumbers);
    w.writeInfo();
    w.writeAranges();
    w.writeFrames();
    for (std::int32_t s : {w.abbrev, w.info, w.line, w.aranges, w.frame})
        obj.sections[std::size_t(s)].size = static_cast<std::uint32_t>(obj.sections[std::size_t(s)].data.size());
}

}  // namespace ml
