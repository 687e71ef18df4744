// The listing: source rows with their offsets and code, then the symbol tables.
//
// A source row ("C" marks INCLUDE files, a digit the macro nesting, "*" code the
// assembler wrote itself):
//    00000005  A1 00000000 R         mov eax, number
//   col 0     col 10                col 30/32
#include "Listing.h"

#include <algorithm>
#include <map>

#include "Assembler.h"
#include "SourceFiles.h"
#include "Text.h"
#include "Version.h"

namespace ml {

namespace {

constexpr std::size_t kCodeWidth = 19;  // columns 10..28
constexpr std::size_t kMarkerColumn = 30;
constexpr std::size_t kSourceColumn = 32;

std::string padTo(std::string s, std::size_t column) {
    if (s.size() < column) s.append(column - s.size(), ' ');
    return s;
}

// "name . . . . . ." up to column 32, as the symbol tables print names.
std::string dotted(const std::string& name) {
    std::string s = name + " ";
    while (s.size() < 32) s += (s.size() % 2 == 1) ? '.' : ' ';
    if (s.size() == 32 && s.back() != ' ') s += ' ';
    return s;
}

std::string baseName(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class ListingWriter {
public:
    ListingWriter(const Assembler& as, const DiagnosticSink& diags, std::time_t when)
        : as_(as), diags_(diags), when_(when) {}

    std::string write() {
        // Rows of about 60 characters: one for most lines, one per symbol in the tables.
        out_.reserve((as_.lines().size() + as_.symbols().all().size()) * 64);
        pageHeader("Page 1 - 1");
        // Each diagnostic is listed after the line it belongs to, as it was printed.
        std::multimap<std::uint64_t, const Diagnostic*> byLine;
        const std::vector<Diagnostic> sorted = diags_.sorted();
        for (const Diagnostic& d : sorted) byLine.emplace(d.order, &d);
        auto next = byLine.begin();
        for (std::size_t i = 0; i < as_.lines().size(); ++i) {
            sourceRow(i);
            for (; next != byLine.end() && next->first <= i; ++next)
                for (const std::string& text : formatDiagnostic(*next->second, "ML")) out_ += text + "\n";
        }
        for (; next != byLine.end(); ++next)
            for (const std::string& text : formatDiagnostic(*next->second, "ML")) out_ += text + "\n";
        out_ += "\f";
        pageHeader("Symbols 2 - 1");
        macroTable();
        structureTable();
        recordTable();
        segmentTable();
        procedureTable();
        symbolTable();
        out_ += "\n\t" + rightAligned(diags_.warningCount()) + " Warnings\n";
        out_ += "\t" + rightAligned(diags_.errorCount()) + " Errors\n";
        return out_;
    }

private:
    const Assembler& as_;
    const DiagnosticSink& diags_;
    std::time_t when_;
    std::string out_;
    // Reused from row to row, so that writing a row allocates nothing.
    std::vector<std::string> rows_;
    std::string left_;
    std::string generatedSource_;
    std::size_t nextGenerated_ = 0;  // the first generated instruction not yet listed

    static std::string rightAligned(std::size_t n) {
        std::string s = std::to_string(n);
        return std::string(s.size() < 4 ? 4 - s.size() : 0, ' ') + s;
    }

    void pageHeader(const std::string& page) {
        char stamp[32];
        std::tm tm{};
        localtime_r(&when_, &tm);
        std::strftime(stamp, sizeof stamp, "%m/%d/%y %H:%M:%S", &tm);
        std::string title = std::string(kAssemblerName) + " Version " + kAssemblerVersion;
        out_ += padTo(title, 52) + stamp + "\n";
        std::string name = as_.files().count() ? baseName(as_.files().file(0).path) : std::string();
        std::string subtitle(as_.preprocessor().title());
        out_ += padTo(subtitle.empty() ? name : subtitle, 61) + page + "\n\n\n";
    }

    // One listing row: `left` (offset and code) up to the marker column, the marker,
    // and the source text from its column, without trailing blanks.
    void row(std::string_view left, char marker, std::string_view source) {
        const std::size_t start = out_.size();
        out_ += left;
        padOut(start + kMarkerColumn);
        out_ += marker;
        if (!source.empty()) {
            padOut(start + kSourceColumn);
            out_ += source;
        }
        while (out_.size() > start && out_.back() == ' ') out_.pop_back();
        out_ += '\n';
    }

    void padOut(std::size_t column) {
        if (out_.size() < column) out_.append(column - out_.size(), ' ');
    }

    // Splits code pieces (each followed by '\n') at blanks so that each row fits the
    // code column; the rows are rows_[0, count), reused from line to line.
    std::size_t wrap(std::string_view pieces) {
        std::size_t count = 0;
        auto nextRow = [&]() -> std::string& {
            if (count == rows_.size()) rows_.emplace_back();
            rows_[count].clear();
            return rows_[count++];
        };
        while (!pieces.empty()) {
            const std::size_t newline = pieces.find('\n');
            std::string_view c = pieces.substr(0, newline);
            pieces.remove_prefix(newline == std::string_view::npos ? pieces.size() : newline + 1);
            std::string* current = &nextRow();
            std::size_t start = 0;
            while (start < c.size()) {
                std::size_t space = c.find(' ', start);
                // A value keeps its relocation mark on its row: "00000004 R", "00000000 E".
                if (space != std::string_view::npos && space + 2 <= c.size() &&
                    (c[space + 1] == 'R' || c[space + 1] == 'E') && (space + 2 == c.size() || c[space + 2] == ' '))
                    space += 2;
                if (space >= c.size()) space = std::string_view::npos;
                std::string_view word =
                    c.substr(start, space == std::string_view::npos ? std::string_view::npos : space - start);
                start = space == std::string_view::npos ? c.size() : space + 1;
                if (!current->empty() && current->size() + 1 + word.size() > kCodeWidth) current = &nextRow();
                if (!current->empty()) *current += ' ';
                *current += word;
            }
        }
        return count;
    }

    // The rows after the first of a code column, indented to the code column.
    void continuationRows(std::size_t count) {
        for (std::size_t k = 1; k < count; ++k) {
            left_.assign(10, ' ');
            left_ += rows_[k];
            row(left_, ' ', {});
        }
    }

    void sourceRow(std::size_t index) {
        const std::vector<GeneratedCode>& generated = as_.listing().generated();
        while (nextGenerated_ < generated.size() && generated[nextGenerated_].line < index) ++nextGenerated_;
        const SourceLine& line = as_.lines()[index];
        if (!line.has(kListed)) return;
        static const ListingEntry kEmpty{};
        const std::vector<ListingEntry>& entries = as_.listing().entries();
        const ListingEntry& e = index < entries.size() ? entries[index] : kEmpty;
        if (line.has(kListIfCode) && !e.producesCode) return;
        char marker = ' ';
        if (line.has(kExpansion))
            marker = static_cast<char>('0' + std::min<int>(line.macroDepth, 9));
        else if (line.has(kFromInclude))
            marker = 'C';
        std::string_view source = line.listText.empty() ? line.text : line.listText;
        if (!e.equate.empty()) {
            left_ = " = ";
            left_ += as_.listing().text(e.equate);
        } else if (e.showOffset) {
            left_ = " ";
            appendHex(left_, e.offset, 8);
        } else {
            left_.assign(9, ' ');
        }
        std::size_t rows = wrap(as_.listing().text(e.code));
        if (rows > 0) {
            left_ += ' ';
            left_ += rows_[0];
        }
        row(left_, marker, source);
        continuationRows(rows);
        for (; nextGenerated_ < generated.size() && generated[nextGenerated_].line == index; ++nextGenerated_) {
            const GeneratedCode& g = generated[nextGenerated_];
            rows = wrap(as_.listing().text(g.code));
            left_ = " ";
            appendHex(left_, g.offset, 8);
            left_ += ' ';
            left_ += rows_[0];
            generatedSource_ = "    ";
            generatedSource_ += g.text;
            row(left_, '*', generatedSource_);
            continuationRows(rows);
        }
    }

    void tableHeader(const std::string& title, const std::string& columns) {
        out_ += title + ":\n\n";
        out_ += "                N a m e                 " + columns + "\n\n";
    }

    void macroTable() {
        auto macros = as_.preprocessor().macros();
        if (macros.empty()) return;
        std::vector<std::string> names;
        for (const MacroDef* m : macros) names.push_back(m->name);
        std::sort(names.begin(), names.end());
        tableHeader("Macros", "Type");
        for (const std::string& n : names) out_ += dotted(n) + "\tProc\n";
        out_ += "\n\n";
    }

    // A table whose rows of fields have columns of their own under the type's.
    void twoRowTableHeader(const std::string& title, const std::string& typeColumns, const std::string& fieldColumns) {
        out_ += title + ":\n\n";
        out_ += "                N a m e                  " + typeColumns + "\n";
        out_ += std::string(41, ' ') + fieldColumns + "\n\n";
    }

    // The structure and record types, each with its fields in the order written.
    std::vector<const Symbol*> typesOf(bool records) const {
        std::vector<const Symbol*> types;
        for (const Symbol& s : as_.symbols().all())
            if (s.kind == SymbolKind::StructType && s.structure && s.structure->isRecord == records)
                types.push_back(&s);
        sortByName(types);
        return types;
    }

    //   point  . . . .	 00000008
    //     x  . . . . .	 00000000	 DWord
    void structureTable() {
        const std::vector<const Symbol*> types = typesOf(false);
        if (types.empty()) return;
        twoRowTableHeader("Structures and Unions", "Size", "Offset      Type");
        for (const Symbol* t : types) {
            out_ += dotted(t->name) + "\t " + hex(t->structure->size, 8) + "\n";
            for (const StructField& f : t->structure->fields)
                out_ += dotted("  " + f.name) + "\t " + hex(f.offset, 8) + "\t " + typeName(f.type) + "\n";
        }
        out_ += "\n\n";
    }

    //   COLOR  . . . .	 00000008      00000004
    //     blink  . . .	 00000007      00000001	     0080     0000
    void recordTable() {
        const std::vector<const Symbol*> types = typesOf(true);
        if (types.empty()) return;
        twoRowTableHeader("Records", "Width     # fields", "Shift     Width     Mask      Initial");
        for (const Symbol* t : types) {
            std::uint32_t width = 0;
            for (const StructField& f : t->structure->fields) width += f.lengthOf;
            out_ += dotted(t->name) + "\t " + hex(width, 8) + "      " + hex(t->structure->fields.size(), 8) + "\n";
            const int digits = int(std::max<std::uint32_t>(t->structure->size * 2, 4));
            for (const StructField& f : t->structure->fields) {
                const std::uint64_t mask = ((f.lengthOf >= 64 ? 0 : (1ull << f.lengthOf)) - 1) << f.offset;
                const std::uint64_t initial = recordInitial(f) << f.offset;
                out_ += dotted("  " + f.name) + "\t " + hex(f.offset, 8) + "      " + hex(f.lengthOf, 8) + "\t     " +
                        hex(mask, digits) + "     " + hex(initial & mask, digits) + "\n";
            }
        }
        out_ += "\n\n";
    }

    // A record field's initial value, when it is written as a plain number.
    static std::uint64_t recordInitial(const StructField& f) {
        std::uint64_t value = 0;
        const std::string text(trim(f.initializer));
        if (text.empty()) return 0;
        auto parsed = parseInteger(text, 10, nullptr);
        if (parsed) value = *parsed;
        return value;
    }

    static std::string className(SectionKind k) {
        switch (k) {
            case SectionKind::Text:
                return "'CODE'";
            case SectionKind::Bss:
                return "'BSS'";
            case SectionKind::Rodata:
                return "'CONST'";
            default:
                return "'DATA'";
        }
    }

    void segmentTable() {
        tableHeader("Segments and Groups", "Size     Length   Align   Combine Class");
        if (as_.modelSeen()) out_ += dotted("FLAT") + "\tGROUP\n";
        std::vector<const Section*> sections;
        for (const Section& s : as_.sections()) sections.push_back(&s);
        std::sort(sections.begin(), sections.end(),
                  [](const Section* a, const Section* b) { return a->masmName < b->masmName; });
        for (const Section* s : sections)
            out_ +=
                dotted(s->masmName) + "\t32 Bit\t " + hex(s->size, 8) + " Para\t  Public  " + className(s->kind) + "\n";
        out_ += "\n\n";
    }

    static std::string languageName(Language l) {
        switch (l) {
            case Language::C:
                return "C";
            case Language::Syscall:
                return "SYSCALL";
            case Language::Stdcall:
                return "STDCALL";
            case Language::Pascal:
                return "PASCAL";
            case Language::Fortran:
                return "FORTRAN";
            case Language::Basic:
                return "BASIC";
            default:
                return "";
        }
    }

    std::string segmentOf(const Symbol& s) const {
        const Symbol* anchor = as_.sectionAnchor(s.section);
        return anchor ? anchor->name : std::string();
    }

    static std::string typeName(const Type& t) {
        if (t.isCode) return t.isFar ? "L Far" : "L Near";
        if (t.structure) return t.structure->name;
        if (t.isFloat) return t.size == 4 ? "DWord" : t.size == 8 ? "QWord" : "TByte";
        switch (t.size) {
            case 1:
                return "Byte";
            case 2:
                return "Word";
            case 4:
                return "DWord";
            case 6:
                return "FWord";
            case 8:
                return "QWord";
            case 10:
                return "TByte";
            default:
                return "Near";
        }
    }

    // Sorts by name as std::sort with a name comparison does (the same comparisons give
    // the same order), comparing the first eight bytes of two names as one number first.
    static void sortByName(std::vector<const Symbol*>& symbols) {
        struct Keyed {
            std::uint64_t prefix;
            const Symbol* symbol;
        };
        auto prefixOf = [](const std::string& name) {
            std::uint64_t key = 0;
            for (std::size_t i = 0; i < 8; ++i)
                key = (key << 8) | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
            return key;
        };
        std::vector<Keyed> keyed;
        keyed.reserve(symbols.size());
        for (const Symbol* s : symbols) keyed.push_back(Keyed{prefixOf(s->name), s});
        std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            if (a.prefix != b.prefix) return a.prefix < b.prefix;
            return a.symbol->name < b.symbol->name;
        });
        for (std::size_t i = 0; i < keyed.size(); ++i) symbols[i] = keyed[i].symbol;
    }

    void procedureTable() {
        std::vector<const Symbol*> procs;
        for (const Symbol& s : as_.symbols().all())
            if ((s.kind == SymbolKind::Procedure || s.kind == SymbolKind::Prototype) && s.proc) procs.push_back(&s);
        if (procs.empty()) return;
        sortByName(procs);
        tableHeader("Procedures,  parameters and locals", "Type     Value    Attr");
        for (const Symbol* p : procs) {
            bool defined = p->kind == SymbolKind::Procedure;
            std::string attr = defined ? segmentOf(*p) + "\tLength= " + hex(p->sizeOf, 8) + " " +
                                             (p->isPublic ? "Public " : "Private ")
                                       : std::string("FLAT\tLength= 00000000 External ");
            out_ += dotted(p->name) + "\tP Near\t " + hex(defined ? std::uint64_t(p->value) : 0, 8) + " " + attr +
                    languageName(p->proc->language) + "\n";
            if (!defined) continue;
            for (const ProcParam& param : p->proc->params) {
                if (param.name.empty()) continue;
                out_ += dotted("  " + param.name) + "\t" + typeName(param.type) + "\tbp + " +
                        hex(static_cast<std::uint32_t>(param.offset), 8) + "\n";
            }
            for (const ProcParam& local : p->proc->locals)
                out_ += dotted("  " + local.name) + "\t" + typeName(local.type) + "\tbp - " +
                        hex(static_cast<std::uint32_t>(-local.offset), 8) + "\n";
        }
        out_ += "\n\n";
    }

    void symbolTable() {
        std::vector<const Symbol*> symbols;
        for (const Symbol& s : as_.symbols().all()) {
            if (s.hidden || s.procLocal) continue;
            switch (s.kind) {
                case SymbolKind::Label:
                case SymbolKind::Equate:
                case SymbolKind::Redefinable:
                case SymbolKind::Text:
                case SymbolKind::External:
                    symbols.push_back(&s);
                    break;
                default:
                    break;
            }
        }
        tableHeader("Symbols", "Type     Value    Attr");
        sortByName(symbols);
        for (const Symbol* s : symbols) {
            std::string line = dotted(s->name) + "\t";
            switch (s->kind) {
                case SymbolKind::Equate:
                case SymbolKind::Redefinable:
                    line += "Number\t " + hex(static_cast<std::uint64_t>(s->value), 8) + "h";
                    break;
                case SymbolKind::Text:
                    line += "Text   \t " + s->text;
                    break;
                case SymbolKind::External:
                    line += typeName(s->type) + "\t 00000000 FLAT\tExternal " + languageName(s->language);
                    break;
                default:
                    if (!s->defined) continue;
                    line +=
                        typeName(s->type) + "\t " + hex(static_cast<std::uint64_t>(s->value), 8) + " " + segmentOf(*s);
                    if (s->isPublic) line += "\tPublic " + languageName(s->language);
                    break;
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            out_ += line + "\n";
        }
        out_ += "\n";
    }
};

}  // namespace

std::string writeListing(const Assembler& assembler, const DiagnosticSink& diagnostics, std::time_t when) {
    return ListingWriter(assembler, diagnostics, when).write();
}

}  // namespace ml
