// The assembler's building blocks on their own: symbol table, source files and
// atomic writes, diagnostics, the stack tracker and the ELF writer.
#include <fstream>
#include <set>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "CaseInsensitivePath.h"
#include "CodeCache.h"
#include "Diagnostics.h"
#include "FrameTracker.h"
#include "MlTestSupport.h"
#include "ObjectFile.h"
#include "SourceFiles.h"
#include "Symbols.h"
#include "Text.h"
#include "WordIndex.h"

using mltest::TempDir;
namespace fs = std::filesystem;

namespace {

struct TestWord {
    std::string_view name;
    int value;
};

// Words at the packing limits: seven, eight and nine characters, sixteen, and one
// that differs from another only after the eighth.
constexpr std::array kTestWords = std::to_array<TestWord>({
    {"=", 1},
    {"db", 2},
    {"equ", 3},
    {"segment", 4},
    {"lengthof", 5},
    {"externdef", 6},
    {"listmacroall1234", 7},
    {"nosignextend", 8},
    {"nosignextenx", 9},
    {".listmacroall", 10},
});

}  // namespace

TEST(WordIndex, FindsEveryWordIgnoringCaseAndNothingElse) {
    const ml::WordIndex index(kTestWords);
    for (const TestWord& w : kTestWords) {
        const TestWord* found = index.find(ml::upperCase(w.name));
        ASSERT_NE(found, nullptr) << w.name;
        EXPECT_EQ(found->value, w.value);
        EXPECT_EQ(index.find(w.name), &w);
    }
    EXPECT_EQ(index.find("NoSignExtenX")->value, 9);
    for (std::string_view other : {"", "d", "dbb", "segmen", "segments", "lengthofx", "externde", "listmacroall12345",
                                   "nosignexten", ".listmacro", "==", "e q u"})
        EXPECT_EQ(index.find(other), nullptr) << other;
    EXPECT_EQ(index.find(std::string_view("db\0", 3)), nullptr);
}

TEST(Text, CharacterClasses) {
    for (char c : {'a', 'Z', '_', '@', '$', '?'}) EXPECT_TRUE(ml::isIdentStart(c)) << c;
    for (char c : {'0', '9', '.', ' ', '(', '\xE9', '\0'}) EXPECT_FALSE(ml::isIdentStart(c)) << int(c);
    EXPECT_TRUE(ml::isIdentChar('7'));
    EXPECT_FALSE(ml::isIdentChar('-'));
    EXPECT_TRUE(ml::isAlnum('q') && ml::isAlnum('Q') && ml::isAlnum('5'));
    EXPECT_FALSE(ml::isAlnum('_'));
    for (char c : {' ', '\t', '\r', '\f', '\v'}) EXPECT_TRUE(ml::isSpace(c)) << int(c);
    EXPECT_FALSE(ml::isSpace('\n'));
    EXPECT_FALSE(ml::isSpace('\xA0'));
    EXPECT_EQ(ml::trim(" \t x y \r"), "x y");
}

TEST(CodeCache, KeepsBytesByLineAndNothingElse) {
    ml::CodeCache cache;
    const std::uint8_t push[] = {0x55};
    const std::uint8_t mov[] = {0xB8, 0x78, 0x56, 0x34, 0x12};
    std::uint8_t tooLong[16] = {};
    cache.store(3, mov);
    cache.store(100000, push);
    cache.store(7, tooLong);
    cache.store(8, {});
    auto bytes = [&](std::size_t line) {
        auto b = cache.find(line).bytes;
        return std::vector<std::uint8_t>(b.begin(), b.end());
    };
    EXPECT_EQ(bytes(3), std::vector<std::uint8_t>(std::begin(mov), std::end(mov)));
    EXPECT_EQ(bytes(100000), std::vector<std::uint8_t>{0x55});
    for (std::size_t line : {0, 2, 4, 7, 8, 99999, 100001, 5000000})
        EXPECT_TRUE(cache.find(line).bytes.empty()) << line;
    cache.store(3, push);  // a line stored again keeps its new bytes
    EXPECT_EQ(bytes(3), std::vector<std::uint8_t>{0x55});
    EXPECT_FALSE(cache.find(3).layout);

    // With a listing, the fields the code column shows come back with the bytes.
    const std::uint8_t movImm[] = {0x66, 0xC7, 0x05, 0x10, 0, 0, 0, 0x05, 0};
    ml::CodeLayout layout{1, ml::x86::Field{3, 4}, ml::x86::Field{7, 2}, ml::x86::Field{}};
    cache.store(9, movImm, &layout);
    ml::CachedCode c = cache.find(9);
    ASSERT_TRUE(c.layout);
    EXPECT_EQ(c.layout->prefixLength, 1);
    EXPECT_EQ(c.layout->displacement.offset, 3);
    EXPECT_EQ(c.layout->displacement.size, 4);
    EXPECT_EQ(c.layout->immediate.offset, 7);
    EXPECT_EQ(c.layout->immediate.size, 2);
    EXPECT_EQ(c.layout->immediate2.size, 0);
    EXPECT_EQ(bytes(9), std::vector<std::uint8_t>(std::begin(movImm), std::end(movImm)));
    EXPECT_EQ(bytes(100000), std::vector<std::uint8_t>{0x55});
}

TEST(SymbolTable, ScopesShadowGlobalsAndCaseRules) {
    ml::SymbolTable table;
    ml::Symbol& global = table.create("Count", ml::SymbolKind::Label);
    ml::Symbol& proc = table.create("Work", ml::SymbolKind::Procedure);
    EXPECT_EQ(table.find("COUNT"), &global);
    table.openScope(proc.id);
    ml::Symbol& local = table.create("count", ml::SymbolKind::Label, true);
    EXPECT_TRUE(local.procLocal);
    EXPECT_EQ(table.find("Count"), &local);
    EXPECT_EQ(table.findGlobal("Count"), &global);
    table.closeScope();
    EXPECT_EQ(table.find("count"), &global);
    table.openScope(proc.id + 100);  // another procedure does not see it
    EXPECT_EQ(table.find("count"), &global);
    table.closeScope();

    table.setCaseSensitive(true);
    EXPECT_EQ(table.find("count"), nullptr);
    EXPECT_EQ(table.find("Count"), &global);
    table.setCaseSensitive(false);
    EXPECT_EQ(table.find("cOuNt"), &global);
}

TEST(SymbolTable, NamesThatMeetUnderCaseFoldingResolveToTheLastMade) {
    ml::SymbolTable table(true);
    std::vector<ml::Symbol*> made;
    // Enough names that the slots of each pair lie in either order.
    for (int i = 0; i < 300; ++i) {
        made.push_back(&table.create("Name" + std::to_string(i), ml::SymbolKind::Label));
        made.push_back(&table.create("NAME" + std::to_string(i), ml::SymbolKind::Label));
    }
    table.setCaseSensitive(false);
    for (int i = 0; i < 300; ++i) EXPECT_EQ(table.find("name" + std::to_string(i)), made[std::size_t(2 * i + 1)]);
    // The hidden ones stay hidden; the last made keeps its exact spelling.
    table.setCaseSensitive(true);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(table.find("NAME" + std::to_string(i)), made[std::size_t(2 * i + 1)]);
        EXPECT_EQ(table.find("name" + std::to_string(i)), nullptr);
    }
}

TEST(SymbolTable, LocalsOfOneProcedureStayApartFromGlobalsAndOtherProcedures) {
    ml::SymbolTable table;
    std::vector<ml::Symbol*> globals, locals;
    for (int i = 0; i < 2000; ++i) globals.push_back(&table.create("x" + std::to_string(i), ml::SymbolKind::Label));
    for (std::uint32_t proc = 1; proc <= 3; ++proc) {
        table.openScope(proc);
        for (int i = 0; i < 1000; ++i)
            locals.push_back(&table.create("X" + std::to_string(i), ml::SymbolKind::Label, true));
        table.closeScope();
    }
    for (std::uint32_t proc = 1; proc <= 3; ++proc) {
        table.openScope(proc);
        for (int i = 0; i < 2000; ++i) {
            ml::Symbol* want = i < 1000 ? locals[(proc - 1) * 1000 + std::size_t(i)] : globals[std::size_t(i)];
            ASSERT_EQ(table.find("x" + std::to_string(i)), want) << proc << " " << i;
            ASSERT_EQ(table.findGlobal("x" + std::to_string(i)), globals[std::size_t(i)]);
        }
        table.closeScope();
    }
    table.openScope(4);
    EXPECT_EQ(table.find("x5"), globals[5]);
}

TEST(SymbolTable, EachProcedureFindsItsFewLocalsAcrossGrowthAndCaseSwitches) {
    ml::SymbolTable table;
    constexpr std::uint32_t kProcs = 400;
    std::vector<ml::Symbol*> globals, locals;
    for (std::uint32_t p = 1; p <= kProcs; ++p)
        globals.push_back(&table.create("top" + std::to_string(p), ml::SymbolKind::Label));
    // One local per procedure, named like another procedure's global, created while
    // the table keeps growing.
    for (std::uint32_t p = 1; p <= kProcs; ++p) {
        table.openScope(p);
        locals.push_back(&table.create("Top" + std::to_string(p % kProcs + 1), ml::SymbolKind::Label, true));
        table.closeScope();
    }
    auto check = [&](const char* when) {
        for (std::uint32_t p = 1; p <= kProcs; ++p) {
            table.openScope(p);
            const std::uint32_t shadowed = p % kProcs + 1;
            ASSERT_EQ(table.find("Top" + std::to_string(shadowed)), locals[p - 1]) << when << " " << p;
            ASSERT_EQ(table.find("top" + std::to_string(p)), globals[p - 1]) << when << " " << p;
            table.closeScope();
        }
    };
    check("case-insensitive");
    table.setCaseSensitive(true);
    check("case-sensitive");
    table.openScope(1);
    EXPECT_EQ(table.find("top2"), globals[1]);  // the local is spelt "Top2"
    table.closeScope();
    table.setCaseSensitive(false);
    check("insensitive again");
}

TEST(SymbolTable, ManySymbolsStayFindable) {
    ml::SymbolTable table;
    std::vector<ml::Symbol*> made;
    for (int i = 0; i < 5000; ++i) made.push_back(&table.create("name" + std::to_string(i), ml::SymbolKind::Label));
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(table.find("NAME" + std::to_string(i)), made[std::size_t(i)]) << i;
    EXPECT_EQ(table.find("name5000"), nullptr);
    EXPECT_EQ(table.byId(made[42]->id), made[42]);
    EXPECT_EQ(table.byId(0), nullptr);
}

TEST(SourceFiles, LineEndsByteOrderMarkAndEndOfFileMark) {
    ml::SourceFiles files;
    auto id = files.addText("t.asm", "\xEF\xBB\xBFone\r\ntwo\nthree\x1A junk after the end");
    const auto& lines = files.file(id).lines;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "one");
    EXPECT_EQ(lines[1], "two");
    EXPECT_EQ(lines[2], "three");
}

TEST(SourceFiles, CaseInsensitiveResolutionAndIncludeSearch) {
    TempDir dir;
    dir.write("Lib/IO.H", "x");
    dir.write("src/main.asm", "y");
    dir.write("extra/more.inc", "z");
    const std::string root = dir.path().string();
    EXPECT_EQ(asmora::toolkit::resolveCaseInsensitiveFile(root + "/lib/io.h"), root + "/Lib/IO.H");
    EXPECT_FALSE(asmora::toolkit::resolveCaseInsensitiveFile(root + "/lib/none.h"));
    EXPECT_FALSE(asmora::toolkit::resolveCaseInsensitiveFile(root + "/Lib"));  // a folder is no file
    EXPECT_EQ(ml::SourceFiles::findInclude("..\\lib\\io.h", root + "/src", {}), root + "/src/../Lib/IO.H");
    EXPECT_EQ(ml::SourceFiles::findInclude("more.inc", root + "/src", {root + "/nothing", root + "/extra"}),
              root + "/extra/more.inc");
    EXPECT_FALSE(ml::SourceFiles::findInclude("", root, {}));
    ml::SourceFiles files;
    std::string why;
    EXPECT_FALSE(files.load(root, &why));
    EXPECT_EQ(why, "not a readable file");
    EXPECT_FALSE(files.load(root + "/missing.asm", &why));
    EXPECT_EQ(why, "no such file");
}

TEST(SourceFiles, AtomicWritesReplaceWholeFilesOrNothing) {
    TempDir dir;
    fs::path target = dir.path() / "out.obj";
    std::ofstream(target) << "old contents";
    EXPECT_EQ(ml::writeFileAtomically(target.string(), "new"), "");
    std::ifstream in(target);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "new");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & 0400, 0u);

    fs::path folder = dir.path() / "folder";
    fs::create_directories(folder / "inside");
    EXPECT_NE(ml::writeFileAtomically(folder.string(), "x"), "");  // cannot replace a folder
    EXPECT_TRUE(fs::is_directory(folder / "inside"));
    EXPECT_NE(ml::writeFileAtomically((dir.path() / "no" / "such" / "dir.obj").string(), "x"), "");
    std::size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1u) << "no temporary file may stay behind";
}

TEST(Diagnostics, FormatLevelsAndWarningsAsErrors) {
    ml::Diagnostic d{ml::Diag::UndefinedSymbol, "foo", "lab.asm", 12, {{"inner", 2}, {"outer", 5}}, 0};
    EXPECT_EQ(ml::formatDiagnostic(d, "ML"),
              (std::vector<std::string>{"lab.asm(12) : error A2006: symbol is not defined : foo",
                                        " inner(2): inside macro expansion", " outer(5): inside macro expansion",
                                        "  lab.asm(12): invoked from this line"}));
    ml::Diagnostic w{ml::Diag::UnknownOption, "/Q"};
    EXPECT_EQ(ml::formatDiagnostic(w, "ML").front(),
              "ML : warning A4018: command-line option is not known; ignored : /Q");

    ml::DiagnosticSink quiet;
    quiet.setWarningLevel(0);
    quiet.add(w);
    EXPECT_EQ(quiet.size(), 0u);
    ml::DiagnosticSink low;
    low.setWarningLevel(1);
    low.add(ml::Diagnostic{ml::Diag::CodeAfterEnd});  // a level-2 warning
    EXPECT_EQ(low.size(), 0u);
    ml::DiagnosticSink strict;
    strict.setWarningsAreErrors(true);
    strict.add(w);
    EXPECT_EQ(strict.errorCount(), 1u);
    EXPECT_EQ(strict.warningCount(), 0u);
}

TEST(Diagnostics, SortedBySourcePositionAndDroppedPerPass) {
    ml::DiagnosticSink sink;
    sink.add(ml::Diagnostic{ml::Diag::SyntaxError, "b", "f", 9, {}, 9});
    sink.add(ml::Diagnostic{ml::Diag::SyntaxError, "a", "f", 3, {}, 3});
    sink.add(ml::Diagnostic{ml::Diag::SyntaxError, "c", "f", 9, {}, 9});
    auto sorted = sink.sorted();
    EXPECT_EQ(sorted[0].detail, "a");
    EXPECT_EQ(sorted[1].detail, "b");
    EXPECT_EQ(sorted[2].detail, "c");
    sink.dropFrom(1);
    EXPECT_EQ(sink.errorCount(), 1u);
}

namespace x86 = ml::x86;

namespace {

x86::Operand regOp(std::string_view name) {
    x86::Operand o;
    o.kind = x86::OperandKind::Reg;
    o.reg = x86::lookupRegister(name);
    o.size = 4;
    return o;
}

x86::Operand immOp(std::int64_t v) {
    x86::Operand o;
    o.kind = x86::OperandKind::Imm;
    o.imm.constant = v;
    return o;
}

x86::Instruction insn(std::string_view mnemonic, std::initializer_list<x86::Operand> ops = {}) {
    x86::Instruction i;
    i.mnemonic = mnemonic;
    for (const auto& o : ops) i.operands[i.operandCount++] = o;
    return i;
}

std::string rows(const ml::FrameRange& r) {
    std::string out;
    for (const ml::CfaRow& row : r.rows)
        out += std::to_string(row.offset) + (row.ebpBased ? ":ebp+" : ":esp+") + std::to_string(row.cfaOffset) +
               (row.ebpSaved ? "s " : " ");
    return out;
}

}  // namespace

TEST(FrameTracker, FollowsPushesFramesAndStopsOnUnknownStackWrites) {
    ml::FrameTracker t;
    t.begin(0, 0);
    t.instruction(insn("push", {regOp("ebp")}), 1);
    t.instruction(insn("mov", {regOp("ebp"), regOp("esp")}), 3);
    t.instruction(insn("sub", {regOp("esp"), immOp(8)}), 6);
    t.instruction(insn("push", {regOp("ebx")}), 7);
    t.instruction(insn("pop", {regOp("ebx")}), 8);
    t.instruction(insn("leave"), 9);
    t.instruction(insn("ret"), 10);
    t.end(10);
    ASSERT_EQ(t.ranges().size(), 1u);
    EXPECT_EQ(rows(t.ranges()[0]), "0:esp+4 1:esp+8s 3:ebp+8s 9:esp+4 ");

    t.begin(0, 20);
    t.instruction(insn("pushad"), 21);
    t.instruction(insn("add", {regOp("esp"), immOp(32)}), 24);
    t.instruction(insn("and", {regOp("esp"), immOp(-16)}), 27);  // cannot be followed
    t.instruction(insn("push", {regOp("eax")}), 28);
    t.end(30);
    EXPECT_EQ(rows(t.ranges()[1]), "20:esp+4 21:esp+36 24:esp+4 ");
}

TEST(FrameTracker, EveryStackInstructionMovesTheDepthByItsSize) {
    ml::FrameTracker t;
    t.begin(0, 0);
    t.instruction(insn("PUSHA"), 1);                 // 16
    t.instruction(insn("pushfd"), 2);                // 4
    t.instruction(insn("pushf"), 3);                 // 2
    t.instruction(insn("pushw", {immOp(5)}), 5);     // 2
    t.instruction(insn("pushd", {immOp(5)}), 10);    // 4
    t.instruction(insn("push", {regOp("ax")}), 12);  // 2: a 16-bit register
    t.instruction(insn("pop", {regOp("ax")}), 13);
    t.instruction(insn("popf"), 14);
    t.instruction(insn("Popfd"), 15);
    t.instruction(insn("popa"), 16);
    t.instruction(insn("pushad"), 17);
    t.instruction(insn("popad"), 18);
    t.instruction(insn("enter", {immOp(8), immOp(0)}), 22);
    t.instruction(insn("leave"), 23);
    t.end(24);
    EXPECT_EQ(rows(t.ranges()[0]),
              "0:esp+4 1:esp+20 2:esp+24 3:esp+26 5:esp+28 10:esp+32 12:esp+34 13:esp+32 14:esp+30 15:esp+26 "
              "16:esp+10 17:esp+42 18:esp+10 22:ebp+14 23:esp+10 ");
}

TEST(ObjectFile, ElfLayoutAsReadelfSeesIt) {
    ml::ObjectFile obj;
    obj.sourceName = "hand.asm";
    ml::ObjectSection text;
    text.name = ".text";
    text.flavor = ml::SectionFlavor::Code;
    text.alignment = 16;
    text.data = {0xE8, 0xFC, 0xFF, 0xFF, 0xFF, 0xA1, 0x04, 0x00, 0x00, 0x00, 0xC3};
    text.size = 11;
    text.relocations = {{1, ml::ObjectRelocType::Pc32, {-1, 1}}, {6, ml::ObjectRelocType::Abs32, {1, -1}}};
    ml::ObjectSection bss;
    bss.name = ".bss";
    bss.flavor = ml::SectionFlavor::Bss;
    bss.size = 4096;
    obj.sections = {text, bss};
    obj.symbols = {{"entry", ml::SymbolBinding::Global, ml::SymbolType::Func, 0, 0, 11},
                   {"helper", ml::SymbolBinding::Global, ml::SymbolType::NoType, -1, 0, 0},
                   {"inner", ml::SymbolBinding::Local, ml::SymbolType::NoType, 0, 5, 0}};
    TempDir dir;
    fs::path path = dir.path() / "hand.o";
    ASSERT_EQ(ml::writeFileAtomically(path.string(), ml::writeElf(obj)), "");
    std::string out;
    ASSERT_EQ(mltest::runCommand("readelf -S -s -r -W " + path.string(), &out), 0) << out;
    EXPECT_EQ(out.find("Warning"), std::string::npos) << out;
    EXPECT_NE(out.find(".bss              NOBITS"), std::string::npos) << out;
    EXPECT_NE(out.find("001000 00  WA"), std::string::npos) << "4096 bytes, no file space\n" << out;
    EXPECT_NE(out.find("REL             00000000 00004c 000010 08   I  4   1  4"), std::string::npos) << out;
    EXPECT_NE(out.find("R_386_PC32             00000000   helper"), std::string::npos) << out;
    EXPECT_NE(out.find("R_386_32               00000000   .bss"), std::string::npos) << out;
    // locals (file, sections, inner) come before the globals
    auto inner = out.find(" inner"), entry = out.find(" entry");
    ASSERT_NE(inner, std::string::npos);
    ASSERT_NE(entry, std::string::npos);
    EXPECT_LT(inner, entry);
    EXPECT_NE(out.find("11 FUNC    GLOBAL DEFAULT    1 entry"), std::string::npos) << out;
    EXPECT_NE(out.find("FILE    LOCAL  DEFAULT  ABS hand.asm"), std::string::npos) << out;
}

namespace {

std::uint32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + std::size_t(i)]);
    return v;
}

// The names of an ELF file's symbols as its symbol table points to them, and the
// size of its string table.
std::vector<std::string> elfSymbolNames(const std::string& elf, std::size_t* strtabSize) {
    const std::uint32_t shoff = le32(elf, 32);
    const std::size_t count = static_cast<unsigned char>(elf[48]) | (static_cast<unsigned char>(elf[49]) << 8);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t h = shoff + i * 40;
        if (le32(elf, h + 4) != 2) continue;  // SHT_SYMTAB
        const std::size_t strh = shoff + le32(elf, h + 24) * 40;
        const std::uint32_t strOffset = le32(elf, strh + 16);
        *strtabSize = le32(elf, strh + 20);
        for (std::uint32_t at = le32(elf, h + 16); at < le32(elf, h + 16) + le32(elf, h + 20); at += 16)
            names.emplace_back(elf.c_str() + strOffset + le32(elf, at));
    }
    return names;
}

}  // namespace

TEST(ObjectFile, EachSymbolNameIsStoredOnce) {
    ml::ObjectFile obj;
    obj.sourceName = "many.asm";
    ml::ObjectSection text;
    text.name = ".text";
    text.flavor = ml::SectionFlavor::Code;
    text.data.assign(16, 0x90);
    text.size = 16;
    obj.sections = {text};
    // Procedure-local labels repeat their names; names that are prefixes or suffixes
    // of others are names of their own.
    std::size_t uniqueBytes = 1 + obj.sourceName.size() + 1;
    for (int i = 0; i < 3000; ++i) {
        std::string name = "p" + std::to_string(i);
        uniqueBytes += name.size() + 1;
        obj.symbols.push_back({name, ml::SymbolBinding::Global, ml::SymbolType::Func, 0, 0, 1});
        obj.symbols.push_back({"again", ml::SymbolBinding::Local, ml::SymbolType::NoType, 0, 1, 0});
    }
    for (std::string name : {"gain", "again2", "ag"}) {
        uniqueBytes += name.size() + 1;
        obj.symbols.push_back({name, ml::SymbolBinding::Local, ml::SymbolType::NoType, 0, 2, 0});
    }
    uniqueBytes += std::string("again").size() + 1;

    std::size_t strtabSize = 0;
    std::vector<std::string> names = elfSymbolNames(ml::writeElf(obj), &strtabSize);
    EXPECT_EQ(strtabSize, uniqueBytes);
    ASSERT_EQ(names.size(), obj.symbols.size() + 3);  // null, file, .text
    EXPECT_EQ(names[1], "many.asm");
    std::multiset<std::string> written(names.begin() + 3, names.end()), wanted;
    for (const ml::ObjectSymbol& s : obj.symbols) wanted.insert(s.name);
    EXPECT_EQ(written, wanted);
}
