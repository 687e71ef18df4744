// The front end's reading of the IDE's "-a -i <path>" request.
#include "DebuggerArguments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace asmora::debugger;

TEST(DebuggerArguments, DecodesBlanksFromSplitOrWholeArgumentStrings) {
    const std::string expected = "/home/u/my asm/Debug/hello.exe";
    EXPECT_EQ(parseDebuggerArguments({"-a", "-i", "/home/u/my%20asm/Debug/hello.exe"}).program, expected);
    EXPECT_EQ(parseDebuggerArguments({" -a -i \"/home/u/my%20asm/Debug/hello.exe\""}).program, expected);
    auto request = parseDebuggerArguments({" -a -i \"/home/u/my%20asm/Debug/hello.exe\""});
    EXPECT_EQ(request.ignored, (std::vector<std::string>{"-a", "-i"}));
    EXPECT_FALSE(request.programConsole);
}

TEST(DebuggerArguments, NoArgumentsMeansNoProgram) {
    EXPECT_EQ(parseDebuggerArguments({}).program, "");
    EXPECT_EQ(parseDebuggerArguments({"-a"}).program, "");
}

TEST(DebuggerArguments, AFolderReallyNamedWithPercent20IsKept) {
    const fs::path root = fs::temp_directory_path() / ("dbg-args-" + std::to_string(getpid()));
    fs::create_directories(root / "a%20b");
    std::ofstream(root / "a%20b" / "p.exe") << "x";
    const std::string written = (root / "a%20b" / "p.exe").string();
    EXPECT_EQ(decodeProgramPath(written), written);
    fs::create_directories(root / "a b");
    std::ofstream(root / "a b" / "p.exe") << "x";
    EXPECT_EQ(decodeProgramPath(written), (root / "a b" / "p.exe").string());
    fs::remove_all(root);
}

TEST(DebuggerArguments, ProgramConsoleModeTakesTheTtyFile) {
    auto request = parseDebuggerArguments({"--program-console", "/tmp/s/tty"});
    EXPECT_TRUE(request.programConsole);
    EXPECT_EQ(request.consoleTtyFile, "/tmp/s/tty");
    EXPECT_EQ(request.program, "");
}
