// Helpers for the assembler's tests.
#include "MlTestSupport.h"

#include <cstdlib>
#include <regex>

#include <gtest/gtest.h>

#include "Listing.h"
#include "ObjectBuilder.h"
#include "Text.h"

namespace mltest {

namespace fs = std::filesystem;

std::string Assembly::messages() const {
    std::string out;
    for (const ml::Diagnostic& d : diagnostics->sorted()) {
        ml::Diagnostic shown = d;
        shown.file = fs::path(d.file).filename().string();
        for (const std::string& line : ml::formatDiagnostic(shown, "ML")) out += line + "\n";
    }
    return out;
}

std::vector<std::uint8_t> Assembly::bytes(const std::string& elfName) const {
    for (const ml::Section& s : assembler->sections()) {
        if (s.elfName != elfName) continue;
        std::vector<std::uint8_t> b = s.bytes;
        b.resize(s.size, 0);
        return b;
    }
    return {};
}

std::string Assembly::hexBytes(const std::string& elfName) const { return hex(bytes(elfName)); }

const ml::Symbol* Assembly::symbol(const std::string& name) const {
    for (const ml::Symbol& s : assembler->symbols().all())
        if (ml::equalsNoCase(s.name, name) && !s.procLocal) return &s;
    return nullptr;
}

std::int64_t Assembly::value(const std::string& name) const {
    const ml::Symbol* s = symbol(name);
    EXPECT_NE(s, nullptr) << "no symbol " << name << "\n" << messages();
    return s ? s->value : 0;
}

std::string Assembly::listing() const {
    std::string text = ml::writeListing(*assembler, *diagnostics, 0);
    return std::regex_replace(text, std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d)"), "MM/DD/YY HH:MM:SS");
}

ml::ObjectFile Assembly::object(bool debug) const { return ml::buildObject(*assembler, debug); }

Assembly assemble(const TempDir& dir, const std::string& source, const std::string& name,
                  const AssembleOptions& options) {
    return assembleFile(dir.write(name, source), options);
}

Assembly assembleFile(const fs::path& path, const AssembleOptions& options) {
    Assembly a;
    a.files = std::make_unique<ml::SourceFiles>();
    a.diagnostics = std::make_unique<ml::DiagnosticSink>();
    ml::AssemblerOptions o;
    o.includeDirs = options.includeDirs;
    o.keepListing = options.listing;
    o.caseMode = options.caseMode;
    o.debugInfo = options.debugInfo;
    o.copyFirstPassCode = options.copyFirstPassCode;
    o.expansionBounds = options.expansionBounds;
    a.assembler = std::make_unique<ml::Assembler>(*a.files, *a.diagnostics, o);
    auto id = a.files->load(path.string());
    EXPECT_TRUE(id.has_value());
    a.ok = id && a.assembler->assemble(*id);
    return a;
}

Assembly assemble(const std::string& source) {
    static TempDir dir;  // one folder for the sources of one test program
    return assemble(dir, source);
}

Assembly assembleData(const std::string& body) {
    Assembly a = assemble(kDataHeader + body + "\nEND\n");
    EXPECT_TRUE(a.ok) << a.messages();
    return a;
}

void expectValues(const Assembly& a, const std::vector<std::pair<std::string, std::int64_t>>& values) {
    for (const auto& [name, value] : values) EXPECT_EQ(a.value(name), value) << name;
}

TEST_P(AssemblyData, AssemblesToItsBytesAndSymbols) {
    const DataCase& c = GetParam();
    Assembly a = assembleData(c.source);
    EXPECT_EQ(a.hexBytes(".data"), c.bytes);
    expectValues(a, c.values);
    for (const auto& [symbol, text] : c.texts) {
        const ml::Symbol* s = a.symbol(symbol);
        ASSERT_NE(s, nullptr) << symbol;
        EXPECT_EQ(s->text, text) << symbol;
    }
}
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(AssemblyData);

TEST_P(AssemblyErrors, FailWithTheseMessages) {
    const ErrorCase& c = GetParam();
    Assembly a = assemble(c.source);
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.messages(), c.messages);
}
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(AssemblyErrors);

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    for (std::uint8_t b : bytes) {
        if (!out.empty()) out += ' ';
        out += ml::hex(b, 2);
    }
    return out;
}

std::string describeObject(const ml::ObjectFile& obj) {
    static const char* kFlavors[] = {"code", "data", "bss", "rodata", "debug", "directive"};
    std::string out;
    auto targetName = [&](const ml::ObjectTarget& t) {
        if (t.symbol >= 0) return obj.symbols[std::size_t(t.symbol)].name;
        return obj.sections[std::size_t(t.section)].name;
    };
    for (const ml::ObjectSection& s : obj.sections) {
        if (s.flavor == ml::SectionFlavor::Debug) continue;
        out += "section " + s.name + " " + kFlavors[int(s.flavor)] + " " + std::to_string(s.size) + "\n";
        for (std::size_t i = 0; i < s.data.size(); i += 16) {
            std::vector<std::uint8_t> row(s.data.begin() + long(i),
                                          s.data.begin() + long(std::min(s.data.size(), i + 16)));
            out += "  " + ml::hex(i, 4) + ": " + hex(row) + "\n";
        }
        for (const ml::ObjectReloc& r : s.relocations) {
            const char* type = r.type == ml::ObjectRelocType::Pc32    ? "PC32"
                               : r.type == ml::ObjectRelocType::Abs32 ? "32"
                                                                      : "other";
            out += "  reloc " + ml::hex(r.offset, 4) + " " + type + " " + targetName(r.target) + "\n";
        }
    }
    for (const ml::ObjectSymbol& s : obj.symbols) {
        out += "symbol " + s.name + (s.binding == ml::SymbolBinding::Global ? " global " : " local ");
        out += s.section < 0 ? std::string("undefined")
                             : obj.sections[std::size_t(s.section)].name + "+" + std::to_string(s.value);
        out += " size " + std::to_string(s.size) + "\n";
    }
    return out;
}

fs::path testSourceDir() {
    const char* root = std::getenv("ASMORA_SOURCE_DIR");
    return fs::path(root ? root : ".") / "tests" / "toolkit" / "ml";
}

}  // namespace mltest
