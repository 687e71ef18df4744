// The console host on a terminal, as in its xterm window: programs of the batch
// speak code page 936 through the relay while the window shows UTF-8, with exit
// status, Ctrl+C, window size and ASCII bytes kept as they are without it.
#include "Cp936.h"
#include "TerminalDriver.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using asmora::testing::TerminalDriver;

namespace {

class ConsoleRelay : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("console-relay-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    // A shell script standing in for a student program; `body` may hold code page
    // 936 bytes as printf escapes.
    std::string writeProgram(const std::string& body, fs::perms permissions = fs::perms::owner_all) {
        const fs::path path = root_ / "Debug" / "lab.exe";
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, permissions);
        return path.string();
    }

    // Runs a batch (lines in UTF-8, stored in code page 936) that echoes around the
    // program, in the host on a terminal of rows x columns.
    void startHost(const std::string& program, unsigned short rows = 24, unsigned short columns = 80) {
        asmora::toolkit::cp936::Encoder encoder;
        std::ofstream(root_ / "ml.bat", std::ios::binary)
            << encoder.encode("@echo off\r\necho 程序开始运行\r\n\"" + program + "\"\r\necho 程序结束\r\n");
        ASSERT_TRUE(terminal_.start({CONSOLE_HOST_RUN, "--console-host", (root_ / "ml.bat").string()}, root_.string(),
                                    rows, columns));
    }

    fs::path root_;
    TerminalDriver terminal_;
};

TEST_F(ConsoleRelay, TheProgramsCodePage936TextIsShownAsUtf8EvenWhenACharacterIsSplit) {
    startHost(
        writeProgram("printf '\\326\\320\\316\\304\\n'\n"
                     "printf 'x\\326'; sleep 0.3; printf '\\320\\n'\n"
                     "printf '\\377\\n'"));
    EXPECT_EQ(terminal_.waitForExit(), 0);
    EXPECT_EQ(terminal_.shown(), "程序开始运行\r\n中文\r\nx中\r\n\uF7FF\r\n程序结束\r\n");
}

TEST_F(ConsoleRelay, TypedChineseReachesTheProgramAsCodePage936AndOneEraseTakesAWholeCharacter) {
    startHost(writeProgram("printf '> '; read line; printf '%s' \"$line\" | od -An -tx1"));
    ASSERT_TRUE(terminal_.waitFor("> "));
    const std::string chinese = "中文";
    terminal_.type(chinese.substr(0, 4));  // 中 and the first byte of 文
    // 中 is echoed once the relay has passed it on; the byte of 文 waits in the relay.
    ASSERT_TRUE(terminal_.waitFor("> 中")) << terminal_.shown();
    terminal_.type(chinese.substr(4) + "字\x7f\r");
    EXPECT_EQ(terminal_.waitForExit(), 0);
    EXPECT_FALSE(terminal_.typingFailed());
    // The echo comes back as UTF-8; the erase moves back over both columns of 字.
    EXPECT_NE(terminal_.shown().find("> 中文字\b \b\b \b\r\n d6 d0 ce c4\r\n"), std::string::npos) << terminal_.shown();
}

TEST_F(ConsoleRelay, TheExitStatusOfTheProgramIsKeptAndTheBatchGoesOn) {
    startHost(writeProgram("printf 'bye\\n'; exit 7"));
    EXPECT_EQ(terminal_.waitForExit(), 7);
    EXPECT_NE(terminal_.shown().find("bye\r\n程序结束\r\n"), std::string::npos) << terminal_.shown();
}

TEST_F(ConsoleRelay, CtrlCEndsTheProgramAloneAndTheBatchGoesOn) {
    // perl, not the shell: a shell that catches Ctrl+C before it starts sleep would
    // sleep on, so "ready" must come from the process that then waits.
    startHost(writeProgram("exec perl -e '$| = 1; print \"ready\\n\"; sleep 20; print \"not interrupted\\n\"'"));
    ASSERT_TRUE(terminal_.waitFor("ready\r\n"));
    terminal_.type("\x03");
    EXPECT_EQ(terminal_.waitForExit(), 128 + SIGINT) << terminal_.shown();
    EXPECT_NE(terminal_.shown().find("程序结束"), std::string::npos) << terminal_.shown();
    EXPECT_EQ(terminal_.shown().find("not interrupted"), std::string::npos);
}

TEST_F(ConsoleRelay, TheProgramsTerminalHasTheWindowsSizeAndFollowsItsChanges) {
    // The program prints its size for every line typed, until the end of input.
    startHost(writeProgram("stty size; while read line; do stty size; done"), 30, 100);
    ASSERT_TRUE(terminal_.waitFor("30 100\r\n"));
    terminal_.resize(40, 120);
    // The relay passes the change on by itself; ask until the program sees it.
    const bool followed = asmora::testing::waitUntil([&] {
        terminal_.type("\r");
        return terminal_.waitFor("40 120\r\n", std::chrono::milliseconds(100));
    });
    EXPECT_TRUE(followed) << terminal_.shown();
    terminal_.type("\x04");  // end of input
    EXPECT_EQ(terminal_.waitForExit(), 0);
    EXPECT_NE(terminal_.shown().find("40 120\r\n"), std::string::npos) << terminal_.shown();
}

TEST_F(ConsoleRelay, AsciiAndControlSequencesPassByteForByte) {
    startHost(writeProgram("printf 'A\\033[1mB\\033[0m\\tC\\a\\033]0;t\\007\\r\\n'"));
    EXPECT_EQ(terminal_.waitForExit(), 0);
    EXPECT_EQ(terminal_.shown(), "程序开始运行\r\nA\x1b[1mB\x1b[0m\tC\a\x1b]0;t\x07\r\r\n程序结束\r\n");
}

TEST_F(ConsoleRelay, AProgramThatCannotStartIsReportedAndTheBatchGoesOn) {
    const std::string program = writeProgram("exit 0", fs::perms::owner_read | fs::perms::owner_write);
    startHost(program);
    terminal_.waitForExit();
    EXPECT_NE(terminal_.shown().find("无法运行程序 " + program + ": Permission denied\r\n程序结束"), std::string::npos)
        << terminal_.shown();
}

}  // namespace

// A real i386 program (GNU as and ld) in the host: it starts the way this machine
// runs i386 programs, directly or through qemu-i386, and its exit status and Ctrl+C
// behave the same either way.
class ConsoleRelayI386 : public ConsoleRelay {
protected:
    // Prints "ready", reads one byte from standard input, then exits with 7.
    std::string buildWaitingProgram() {
        const fs::path source = root_ / "wait.s";
        std::ofstream(source) << ".data\nmsg: .ascii \"ready\\n\"\nbuf: .space 4\n.text\n.globl _start\n_start:\n"
                                 "  movl $4, %eax\n  movl $1, %ebx\n  movl $msg, %ecx\n  movl $6, %edx\n  int $0x80\n"
                                 "  movl $3, %eax\n  movl $0, %ebx\n  movl $buf, %ecx\n  movl $1, %edx\n  int $0x80\n"
                                 "  movl $1, %eax\n  movl $7, %ebx\n  int $0x80\n";
        const std::string object = (root_ / "wait.o").string();
        const std::string program = (root_ / "Debug" / "wait.exe").string();
        fs::create_directories(root_ / "Debug");
        EXPECT_EQ(std::system(("as --32 -o '" + object + "' '" + source.string() + "'").c_str()), 0);
        EXPECT_EQ(std::system(("ld -m elf_i386 -o '" + program + "' '" + object + "'").c_str()), 0);
        return program;
    }
};

TEST_F(ConsoleRelayI386, TheExitStatusOfAnI386ProgramIsKept) {
    startHost(buildWaitingProgram());
    ASSERT_TRUE(terminal_.waitFor("ready\r\n")) << terminal_.shown();
    terminal_.type("x\r");
    EXPECT_EQ(terminal_.waitForExit(), 7) << terminal_.shown();
    EXPECT_NE(terminal_.shown().find("程序结束"), std::string::npos) << terminal_.shown();
}

TEST_F(ConsoleRelayI386, CtrlCEndsAnI386ProgramAloneAndTheBatchGoesOn) {
    startHost(buildWaitingProgram());
    ASSERT_TRUE(terminal_.waitFor("ready\r\n")) << terminal_.shown();
    terminal_.type("\x03");
    EXPECT_EQ(terminal_.waitForExit(), 128 + SIGINT) << terminal_.shown();
    EXPECT_NE(terminal_.shown().find("程序结束"), std::string::npos) << terminal_.shown();
}
