// The course I/O library and Kernel32.Lib against their interface, through small
// course programs under programs/: each is assembled by ML.EXE, linked by
// link.exe, run on <name>.in, and its output compared with <name>.out.
#include "CourseBuild.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace asmora::testing;

namespace {

struct ProgramCase {
    const char* name;
    int exitCode;
    const char* entryOption = "/entry:start";  // "" links without /entry:
};

// Names the case in test listings instead of a dump of its bytes.
void PrintTo(const ProgramCase& program, std::ostream* out) { *out << program.name; }

// clang-format off
const ProgramCase kPrograms[] = {
    {"numbers", 0},    // widths, signs, extremes, blanks, lone sign, overflow flags, long line, CR LF
    {"registers", 0},  // registers and flags kept, destinations through EBX and name+offset
    {"kernel32", 3},   // handles, write, console line, raw read, last error, Sleep/GetTickCount
    {"lines", 0},      // input at the end of the input, without a line end, and length 1
    {"sounds", 0},     // Beep's bell and duration, lstrlenA, szlen
    {"returnmain", 7, ""},   // END _main, no /entry:, the entry returns 7
    {"returnstart", 5, ""},  // END start (no underscore), no /entry:, returns 5
    {"returnstdcall", 2, ""},  // .MODEL FLAT, stdcall: END names __main@0; io.h links
    {"returnide", 0},        // the IDE's /entry:start with an entry that returns
    {"constructs", 0}, // anonymous labels, LOCAL after comments, nested procedures, USES then parameters
};
// clang-format on

class RuntimePrograms : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(RuntimePrograms, PrintWhatTheirInterfaceSays) {
    const ProgramCase& program = GetParam();
    const fs::path data = fs::path(RUNTIME_PROGRAMS);
    CourseBuild build(fs::temp_directory_path() / ("runtime-" + std::to_string(getpid()) + "-" + program.name));
    const fs::path source = build.writeSource(program.name, readFile(data / (std::string(program.name) + ".asm")));
    auto assembled = build.assemble(source);
    ASSERT_EQ(assembled.exitCode, 0) << assembled.output;
    auto linked = build.link(source, program.entryOption);
    ASSERT_EQ(linked.exitCode, 0) << linked.output;
    const fs::path input = data / (std::string(program.name) + ".in");
    auto run = build.run(source, fs::exists(input) ? readFile(input) : std::string());
    EXPECT_EQ(run.output, readFile(data / (std::string(program.name) + ".out")));
    EXPECT_EQ(run.exitCode, program.exitCode);
    fs::remove_all(build.folder());
}

INSTANTIATE_TEST_SUITE_P(CourseLibrary, RuntimePrograms, ::testing::ValuesIn(kPrograms),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
