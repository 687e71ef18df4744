// Debug information (/Zi) as gdb reads it: source lines of every instruction (macro
// lines map to the line that called the macro), procedures and data labels.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "Driver.h"
#include "GdbAtEntry.h"
#include "MlTestSupport.h"

using mltest::TempDir;
namespace fs = std::filesystem;

namespace {

const char* kProgram =
    ".386\n"                // 1
    ".MODEL FLAT\n"         // 2
    "bump MACRO target\n"   // 3
    "  inc target\n"        // 4
    "  ENDM\n"              // 5
    ".DATA\n"               // 6
    "count DWORD 1234\n"    // 7
    "table WORD 1, 2, 3\n"  // 8
    "ratio REAL8 2.5\n"     // 9
    ".CODE\n"               // 10
    "Twice PROC\n"          // 11
    "  add eax, eax\n"      // 12
    "  ret\n"               // 13
    "Twice ENDP\n"          // 14
    "_start:\n"             // 15
    "  mov eax, count\n"    // 16
    "  bump eax\n"          // 17
    "  call Twice\n"        // 18
    "  mov count, eax\n"    // 19
    "  mov ebx, 0\n"        // 20
    "  mov eax, 1\n"        // 21
    "  int 80h\n"           // 22
    "PUBLIC _start\n"       // 23
    "END\n";                // 24

}  // namespace

TEST(DebugInfo, GdbStepsBySourceLinesAndPrintsDataLabels) {
    TempDir dir;
    fs::path source = dir.write("steps.asm", kProgram);
    fs::path obj = dir.path() / "steps.obj";
    fs::path exe = dir.path() / "steps";
    std::FILE* quiet = std::fopen("/dev/null", "w");
    ASSERT_EQ(ml::runAssemblerProgram({"/nologo", "/c", "/Zi", "/Fo", obj.string(), source.string()}, quiet), 0);
    std::fclose(quiet);
    std::string out;
    ASSERT_EQ(mltest::runCommand("ld -m elf_i386 -e _start -o '" + exe.string() + "' '" + obj.string() + "'", &out), 0)
        << out;

    std::string dwarf;
    ASSERT_EQ(mltest::runCommand("readelf --debug-dump=info,line -W '" + exe.string() + "'", &dwarf), 0);
    EXPECT_EQ(dwarf.find("Warning"), std::string::npos) << dwarf;

    const asmora::testing::GdbAtEntry session(exe.string());
    const std::string gdb = asmora::toolkit::runCaptured(
                                session.batchArguments({"next", "next", "step", "info line", "finish", "next", "next",
                                                        "print count", "print table", "print ratio", "ptype count"}))
                                .output;
    EXPECT_NE(gdb.find("_start () at " + source.string() + ":16"), std::string::npos) << gdb;
    EXPECT_NE(gdb.find("17\t  bump eax"), std::string::npos) << "macro lines belong to the calling line\n" << gdb;
    EXPECT_NE(gdb.find("18\t  call Twice"), std::string::npos) << gdb;
    EXPECT_NE(gdb.find("Twice () at " + source.string() + ":12"), std::string::npos) << gdb;
    EXPECT_NE(gdb.find("$1 = 2470"), std::string::npos) << "count = (1234 + 1) * 2\n" << gdb;
    EXPECT_NE(gdb.find("$2 = {1, 2, 3}"), std::string::npos) << gdb;
    EXPECT_NE(gdb.find("$3 = 2.5"), std::string::npos) << gdb;
    EXPECT_NE(gdb.find("type = DWORD"), std::string::npos) << gdb;
}

TEST(DebugInfo, LineTableCoversIncludeFilesAndSkipsDataLines) {
    TempDir dir;
    dir.write("code.inc", "  nop\n  nop\n");
    auto a = mltest::assemble(dir, ".386\n.MODEL FLAT\n.CODE\n  ret\nINCLUDE code.inc\n  ret\n.DATA\nx DWORD 1\nEND\n");
    ASSERT_TRUE(a.ok) << a.messages();
    const ml::Section* text = nullptr;
    for (const ml::Section& s : a.assembler->sections())
        if (s.elfName == ".text") text = &s;
    ASSERT_NE(text, nullptr);
    std::vector<std::string> rows;
    for (const ml::LineRecord& r : text->lines)
        rows.push_back(std::to_string(r.offset) + ":" + fs::path(a.files->file(r.file).path).filename().string() + ":" +
                       std::to_string(r.line));
    EXPECT_EQ(rows, (std::vector<std::string>{"0:test.asm:4", "1:code.inc:1", "2:code.inc:2", "3:test.asm:6"}));
}

TEST(DebugInfo, LineRecordsAreKeptOnlyForZi) {
    TempDir dir;
    mltest::AssembleOptions plain;
    plain.debugInfo = false;
    auto without = mltest::assemble(dir, kProgram, "plain.asm", plain);
    auto with = mltest::assemble(dir, kProgram, "zi.asm");
    ASSERT_TRUE(without.ok) << without.messages();
    ASSERT_TRUE(with.ok) << with.messages();
    EXPECT_EQ(without.hexBytes(".text"), with.hexBytes(".text"));
    std::size_t recordsWithout = 0, recordsWith = 0;
    for (const ml::Section& s : without.assembler->sections()) recordsWithout += s.lines.size();
    for (const ml::Section& s : with.assembler->sections()) recordsWith += s.lines.size();
    EXPECT_EQ(recordsWithout, 0u);
    EXPECT_GE(recordsWith, 9u);  // one per source line with code
}
