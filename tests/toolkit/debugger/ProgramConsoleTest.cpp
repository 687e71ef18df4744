// The program's console window of a debugging session (windbg.exe --program-console)
// on a pseudo-terminal: the terminal it names for gdb carries code page 936, the
// window shows and types UTF-8.
#include "tests/toolkit/console/TerminalDriver.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using asmora::testing::TerminalDriver;
using asmora::testing::waitUntil;

namespace {

// Reads what the program's side of the terminal gives within 5 s (one line in
// canonical mode).
std::string readProgramInput(int terminal) {
    pollfd input{terminal, POLLIN, 0};
    if (poll(&input, 1, 5000) <= 0) return {};
    char buffer[256];
    const ssize_t got = read(terminal, buffer, sizeof buffer);
    return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
}

TEST(ProgramConsoleRelay, TheProgramsCodePage936ShowsAsUtf8AndTypedUtf8ReachesItAsCodePage936) {
    const fs::path folder = fs::temp_directory_path() / ("program-console-relay-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path ttyFile = folder / "tty";
    TerminalDriver window;
    ASSERT_TRUE(
        window.start({TOOLKIT_OUT "/windbg.exe", "--program-console", ttyFile.string()}, folder.string(), 20, 90));
    EXPECT_TRUE(window.waitFor("【程序窗口】"));
    waitUntil([&] { return fs::exists(ttyFile); });  // written whole, then renamed
    std::string name;
    std::ifstream(ttyFile) >> name;
    const int program = open(name.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(program, 0) << name;

    winsize size{};
    ASSERT_EQ(ioctl(program, TIOCGWINSZ, &size), 0);
    EXPECT_EQ(size.ws_row, 20);
    EXPECT_EQ(size.ws_col, 90);

    ASSERT_EQ(write(program, "\xD6\xD0\xCE\xC4\n", 5), 5);  // 中文
    EXPECT_TRUE(window.waitFor("中文\r\n")) << window.shown();
    window.type("字x\x7f\r");  // 字 = D7 D6
    EXPECT_EQ(readProgramInput(program), "\xD7\xD6\n");
    EXPECT_TRUE(window.waitFor("字x\b \b\r\n")) << window.shown();

    close(program);
    window.closeWindow();
    EXPECT_NE(window.waitForExit(), -1) << "the holder outlived its window";
    fs::remove_all(folder);
}

}  // namespace
