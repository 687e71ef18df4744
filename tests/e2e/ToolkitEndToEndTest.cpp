// Course programs built and run with the carried tool kit only (ML.EXE, link.exe,
// io.h, io.obj, Kernel32.Lib), then run under gdb as the debugger front end
// sets it up and in the console host with the default console template.
#include "ChildProcess.h"
#include "CourseBuild.h"
#include "GdbAtEntry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace asmora;
using namespace asmora::testing;

namespace {

class ToolkitEndToEnd : public ::testing::Test {
protected:
    ToolkitEndToEnd()
        : build_(fs::temp_directory_path() / ("e2e-" + std::to_string(getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name())) {}
    ~ToolkitEndToEnd() override { fs::remove_all(build_.folder()); }

    fs::path source(const std::string& name) {
        return build_.writeSource(name, readFile(fs::path(E2E_PROGRAMS) / (name + ".asm")));
    }

    // A program of programs/, or for "template" the program's own new-file template.
    fs::path programSource(const std::string& name) {
        return name == "template" ? build_.writeSource(name, readFile(NEW_FILE_TEMPLATE)) : source(name);
    }

    // Assembles and links; the test stops when either tool fails.
    void buildProgram(const fs::path& program) {
        auto assembled = build_.assemble(program);
        ASSERT_EQ(assembled.exitCode, 0) << assembled.output;
        auto linked = build_.link(program);
        ASSERT_EQ(linked.exitCode, 0) << linked.output;
    }

    CourseBuild build_;
};

// A course program of programs/, what it is given on standard input, and what it
// must print: the text itself, or "@<file>" for a file of programs/.
struct ProgramCase {
    const char* name;
    const char* program;
    std::string input;
    std::string output;
};

void PrintTo(const ProgramCase& row, std::ostream* os) { *os << row.name; }

class ToolkitPrograms : public ToolkitEndToEnd, public ::testing::WithParamInterface<ProgramCase> {};

TEST_P(ToolkitPrograms, BuildRunAndPrintTheirOutput) {
    const ProgramCase& c = GetParam();
    const fs::path program = programSource(c.program);
    buildProgram(program);
    for (const char* extension : {".obj", ".lst", ".exe"}) {
        EXPECT_TRUE(fs::exists(build_.workBase(program).string() + extension)) << extension;
    }
    auto run = build_.run(program, c.input);
    const std::string expected =
        c.output.rfind('@', 0) == 0 ? readFile(fs::path(E2E_PROGRAMS) / c.output.substr(1)) : c.output;
    EXPECT_EQ(run.output, expected);
    EXPECT_EQ(run.exitCode, 0);
}

const ProgramCase kPrograms[] = {
    {"TheNewFileTemplateExitsWithZero", "template", "", ""},
    {"SumOfTwoNumbersFromRedirectedInput", "sum", "12\n-30\n",
     "Enter first number:  Enter second number:  \r\nThe sum is         -18\r\n"},
    {"ProceduresStringInstructionsAndX87", "procedures", "", "@procedures.out"},
    {"WordPushesTypedOperandsAndPentiumProInstructions", "encodings", "", "@encodings.out"},
};

INSTANTIATE_TEST_SUITE_P(ToolkitEndToEnd, ToolkitPrograms, ::testing::ValuesIn(kPrograms),
                         [](const ::testing::TestParamInfo<ProgramCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(ToolkitEndToEnd, OperandChecksOfIoHReportTheirLines) {
    const fs::path program = source("checks");
    auto assembled = build_.assemble(program);
    EXPECT_NE(assembled.exitCode, 0);
    EXPECT_TRUE(std::regex_search(assembled.output, std::regex(R"(checks\.asm\(13\).*missing operand\(s\) in ITOA)")))
        << assembled.output;
    EXPECT_TRUE(std::regex_search(assembled.output, std::regex(R"(checks\.asm\(15\).*extra operand\(s\) in OUTPUT)")))
        << assembled.output;
    EXPECT_EQ(assembled.output.find("checks.asm(16)"), std::string::npos) << assembled.output;
}

TEST_F(ToolkitEndToEnd, AnUndefinedExternalFailsTheLinkWithoutAnExecutable) {
    const fs::path program = source("undefined");
    auto assembled = build_.assemble(program);
    ASSERT_EQ(assembled.exitCode, 0) << assembled.output;
    auto linked = build_.link(program);
    EXPECT_NE(linked.exitCode, 0);
    EXPECT_NE(linked.output.find("error LNK2001: unresolved external symbol NotThere"), std::string::npos)
        << linked.output;
    EXPECT_NE(linked.output.find("fatal error LNK1120: 1 unresolved externals"), std::string::npos);
    EXPECT_FALSE(fs::exists(build_.workBase(program).string() + ".exe"));
}

TEST_F(ToolkitEndToEnd, GdbBreaksAtTheEntryStepsByAsmLinesAndPrintsALabel) {
    const fs::path program = source("stepping");
    buildProgram(program);
    const asmora::testing::GdbAtEntry gdb(build_.workBase(program).string() + ".exe");
    auto run = toolkit::runCaptured(gdb.batchArguments({"next", "next", "print (int)count", "kill"}));
    EXPECT_NE(run.output.find("stepping.asm:13"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("14\t        add     eax, 1"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("15\t        mov     count, eax"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("= 1234"), std::string::npos) << run.output;
}

TEST_F(ToolkitEndToEnd, TheConsoleHostRunsTheProgramInsideTheDefaultTemplate) {
    const fs::path program = source("sum");
    buildProgram(program);
    std::string batch = readFile(DEFAULT_TEMPLATE);
    const auto marker = batch.find("%FILENAME%");
    ASSERT_NE(marker, std::string::npos);
    batch.replace(marker, 10, "\"" + build_.workBase(program).string() + ".exe\"");
    const fs::path batchFile = build_.folder() / "ml.bat";
    std::ofstream(batchFile, std::ios::binary) << batch;
    std::ofstream(build_.folder() / "typed.txt") << "1\n2\nk";
    auto run = toolkit::runCaptured({CONSOLE_HOST_RUN, batchFile.string()}, (build_.folder() / "typed.txt").string());
    EXPECT_NE(run.output.find("程序开始运行\n" + std::string(79, '-') +
                              "\nEnter first number:  Enter second number:  "
                              "\r\nThe sum is           3\r\n\n" +
                              std::string(79, '-') + "\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("【按任意键可退出程序】"), std::string::npos);
}

}  // namespace
