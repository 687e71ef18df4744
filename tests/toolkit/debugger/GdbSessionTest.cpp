// gdb as the front end plans it, on a program built with GNU as and our link.exe,
// driven through a pseudo-terminal: the stop at the entry, the keys of the tips,
// and input typed into the program's console while debugging.
#include "ChildProcess.h"
#include "DebugSession.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace asmora;
using namespace asmora::debugger;
using asmora::testing::waitUntil;

namespace {

// A program that prompts, reads one line from standard input and writes it back.
const char* kProgram =
    ".intel_syntax noprefix\n"
    ".data\n"
    "prompt: .ascii \"Enter: \"\n"
    "buffer: .space 64\n"
    "value: .long 1234\n"
    ".text\n"
    ".globl _start\n"
    "_start:\n"
    "  mov eax, 4\n"  // line 9: write(1, prompt, 7)
    "  mov ebx, 1\n"
    "  lea ecx, prompt\n"
    "  mov edx, 7\n"
    "  int 0x80\n"
    "  mov eax, 3\n"  // line 14: read(0, buffer, 64)
    "  mov ebx, 0\n"
    "  lea ecx, buffer\n"
    "  mov edx, 64\n"
    "  int 0x80\n"
    "  mov edx, eax\n"  // line 19: write(1, buffer, count)
    "  mov eax, 4\n"
    "  mov ebx, 1\n"
    "  lea ecx, buffer\n"
    "  int 0x80\n"
    "  mov eax, 1\n"
    "  mov ebx, 0\n"
    "  int 0x80\n";

// Reads from `fd` until `text` has appeared in what was read, or 10 s passed.
std::string readUntil(int fd, std::string& seen, const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (seen.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd poller{fd, POLLIN, 0};
        if (poll(&poller, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        seen.append(buffer, static_cast<std::size_t>(got));
    }
    return seen;
}

// A program that calls a procedure of another object assembled without line
// information and without call-frame information, as io.obj's procedures are.
const char* kCaller =
    ".intel_syntax noprefix\n"
    ".text\n"
    ".globl _start\n"
    "_start:\n"
    "  push 5\n"        // line 5
    "  call square\n"   // line 6
    "  mov ebx, eax\n"  // line 7
    "  mov eax, 1\n"
    "  int 0x80\n";

const char* kSquare =
    ".intel_syntax noprefix\n"
    ".text\n"
    ".globl square\n"
    "square:\n"
    "  push ebp\n"
    "  mov ebp, esp\n"
    "  mov eax, [ebp+8]\n"
    "  imul eax, eax\n"
    "  pop ebp\n"
    "  ret 4\n";

// A source saved in code page 936, as the IDE saves it: Chinese comments and a
// Chinese string. 退出 = CD CB B3 F6, 正常 = D5 FD B3 A3, 中文 = D6 D0 CE C4.
const char* kChineseSource =
    ".intel_syntax noprefix\n"
    ".data\n"
    "greeting: .ascii \"\xD6\xD0\xCE\xC4\\0\"\n"
    ".text\n"
    ".globl _start\n"
    "_start:\n"
    "  mov eax, 1   # \xCD\xCB\xB3\xF6\n"  // line 7
    "  mov ebx, 0   # \xD5\xFD\xB3\xA3\n"  // line 8
    "  int 0x80\n";

class GdbSession : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("gdb-session-" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "my asm" / "Debug");
        program_ = build("echo", {{kProgram, true}});
    }

    // Assembles each (source, with line information) part and links them.
    std::string build(const std::string& name, const std::vector<std::pair<const char*, bool>>& parts) {
        std::vector<std::string> command = {std::string(TOOLKIT_OUT) + "/link.exe", "/nologo", "/debug",
                                            "/entry:start"};
        const std::string executable = (root_ / "my asm" / "Debug" / (name + ".exe")).string();
        command.push_back("/out:" + executable);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const fs::path source = root_ / "my asm" / (name + std::to_string(i) + ".s");
            const std::string object = (root_ / "my asm" / "Debug" / (name + std::to_string(i) + ".obj")).string();
            std::ofstream(source) << parts[i].first;
            std::vector<std::string> assemble = {"as", "--32", source.string(), "-o", object};
            if (parts[i].second) assemble.insert(assemble.begin() + 2, "-g");
            EXPECT_EQ(toolkit::runCaptured(assemble).exitCode, 0);
            command.push_back(object);
        }
        auto link = toolkit::runCaptured(command);
        EXPECT_EQ(link.exitCode, 0) << link.output;
        return executable;
    }
    void TearDown() override {
        if (gdb_ > 0) {
            kill(gdb_, SIGKILL);
            waitpid(gdb_, nullptr, 0);
        }
        if (terminal_ >= 0) close(terminal_);
        if (consoleMaster_ >= 0) close(consoleMaster_);
        if (consoleSlave_ >= 0) close(consoleSlave_);
        fs::remove_all(root_);
    }

    // Starts gdb exactly as the debugger window would, on a pseudo-terminal, with a
    // second pseudo-terminal standing in for the program's console window.
    void startGdb() {
        ASSERT_EQ(openpty(&consoleMaster_, &consoleSlave_, nullptr, nullptr, nullptr), 0);
        const std::string ttyFile = (root_ / "tty").string();
        std::ofstream(ttyFile) << ttyname(consoleSlave_) << "\n";
        const SupportFolder support(TOOLKIT_OUT);
        SessionInputs inputs;
        inputs.program = program_;
        inputs.frontEndPath = std::string(TOOLKIT_OUT) + "/windbg.exe";
        inputs.ttyFile = ttyFile;
        inputs.sourceCopies = (root_ / "sources").string();
        chooseI386Way(inputs, root_.string());
        const SessionPlan plan = planSession(inputs, support, Texts::load(support.path(SupportFileNames::texts)));
        auto gdb = std::find(plan.debuggerWindow.begin(), plan.debuggerWindow.end(), "gdb");
        ASSERT_NE(gdb, plan.debuggerWindow.end());
        const std::vector<std::string> argv(gdb, plan.debuggerWindow.end());
        winsize size{40, 120, 0, 0};
        gdb_ = forkpty(&terminal_, nullptr, nullptr, &size);
        ASSERT_GE(gdb_, 0);
        if (gdb_ == 0) {
            setenv("TERM", terminal_type_.c_str(), 1);
            for (const auto& [name, value] : plan.environment) setenv(name.c_str(), value.c_str(), 1);
            std::vector<char*> pointers;
            for (const auto& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
            pointers.push_back(nullptr);
            execvp(pointers[0], pointers.data());
            _exit(127);
        }
    }

    void press(const std::string& keys) { ASSERT_EQ(write(terminal_, keys.data(), keys.size()), (ssize_t)keys.size()); }

    fs::path root_;
    std::string program_;
    std::string terminal_type_ = "dumb";  // "xterm" opens the full-screen views
    pid_t gdb_ = -1;
    int terminal_ = -1, consoleMaster_ = -1, consoleSlave_ = -1;
};

TEST_F(GdbSession, StopsAtTheEntryAndTheKeysStepShowMemoryAndRegisters) {
    startGdb();
    std::string screen;
    ASSERT_NE(readUntil(terminal_, screen, "(gdb) ").find("_start () at"), std::string::npos) << screen;
    EXPECT_NE(screen.find("9\t  mov eax, 4"), std::string::npos) << screen;
    EXPECT_NE(screen.find("【F10】"), std::string::npos);

    screen.clear();
    press("\x1b[21~");  // F10
    EXPECT_NE(readUntil(terminal_, screen, "10\t  mov ebx, 1").find("10\t  mov ebx, 1"), std::string::npos) << screen;
    screen.clear();
    press("\x1b[23~");  // F11
    EXPECT_NE(readUntil(terminal_, screen, "11\t  lea ecx, prompt").find("11\t"), std::string::npos) << screen;

    screen.clear();
    press(
        "\x1b"
        "5value\n");  // Alt+5, then the variable's name
    readUntil(terminal_, screen, "000004D2H");
    EXPECT_NE(screen.find("memory &value"), std::string::npos) << screen;
    EXPECT_NE(screen.find("value    DWORD"), std::string::npos) << screen;
    EXPECT_NE(screen.find("1234 = 000004D2H"), std::string::npos) << screen;

    screen.clear();
    press(
        "\x1b"
        "4");  // Alt+4 outside the full-screen views lists the course registers
    readUntil(terminal_, screen, "ss=");
    EXPECT_NE(screen.find("eax=00000004  ebx=00000001"), std::string::npos) << screen;  // lines 9 and 10 ran
    EXPECT_NE(screen.find("eflags="), std::string::npos) << screen;
    EXPECT_NE(screen.find("ZF="), std::string::npos) << screen;
    EXPECT_EQ(screen.find("k0"), std::string::npos) << screen;  // no mask registers
}

TEST_F(GdbSession, TheFullScreenViewShowsTheCourseRegistersAndMarksWhatAStepChanged) {
    terminal_type_ = "xterm";
    startGdb();
    std::string screen;
    ASSERT_NE(readUntil(terminal_, screen, "esp=").find("eax=00000000"), std::string::npos) << screen;
    screen.clear();
    press("\x1bp");  // F10: mov eax, 4
    readUntil(terminal_, screen, "eax=00000004");
    // Reverse video is an SGR sequence ending in 7 (curses writes ESC [ 0 ; 7 m).
    EXPECT_NE(screen.find("7meax=00000004"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("7mebx="), std::string::npos) << screen;
}

TEST_F(GdbSession, TheProgramReadsWhatIsTypedIntoItsConsole) {
    startGdb();
    std::string screen;
    readUntil(terminal_, screen, "(gdb) ");
    press("break 19\ncontinue\n");
    std::string console;
    EXPECT_NE(readUntil(consoleMaster_, console, "Enter: ").find("Enter: "), std::string::npos);
    ASSERT_EQ(write(consoleMaster_, "typed line\n", 11), 11);
    screen.clear();
    EXPECT_NE(readUntil(terminal_, screen, "19\t  mov edx, eax").find("19\t"), std::string::npos) << screen;
    press("continue\n");
    EXPECT_NE(readUntil(terminal_, screen, "exited normally").find("exited normally"), std::string::npos) << screen;
    console.clear();
    readUntil(consoleMaster_, console, "typed line\r\ntyped line");
    EXPECT_NE(console.find("typed line\r\ntyped line"), std::string::npos) << console;  // echo, then the program
}

TEST_F(GdbSession, F10AndF11StepOverProceduresWithoutSourceToTheNextLine) {
    program_ = build("caller", {{kCaller, true}, {kSquare, false}});
    startGdb();
    std::string screen;
    ASSERT_NE(readUntil(terminal_, screen, "(gdb) ").find("_start () at"), std::string::npos) << screen;
    screen.clear();
    press("\x1bp");  // F10 as the debugger window sends it
    EXPECT_NE(readUntil(terminal_, screen, "6\t  call square").find("6\t  call square"), std::string::npos) << screen;
    screen.clear();
    press("\x1bt");  // F11: square has no source, so it runs to its return
    EXPECT_NE(readUntil(terminal_, screen, "7\t  mov ebx, eax").find("7\t  mov ebx, eax"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("in square"), std::string::npos) << screen;
    screen.clear();
    press("print $eax\n");
    EXPECT_NE(readUntil(terminal_, screen, "= 25").find("= 25"), std::string::npos) << screen;
}

TEST_F(GdbSession, ChineseCommentsOfACodePage936SourceAndItsStringsShowAsChinese) {
    program_ = build("chinese", {{kChineseSource, true}});
    startGdb();
    std::string screen;
    readUntil(terminal_, screen, "(gdb) ");
    EXPECT_NE(screen.find("7\t  mov eax, 1   # 退出"), std::string::npos) << screen;
    screen.clear();
    press("\x1bp");  // F10: the stepper shows the new line from the source
    EXPECT_NE(readUntil(terminal_, screen, "正常").find("8\t  mov ebx, 0   # 正常"), std::string::npos) << screen;
    screen.clear();
    press("list 7,8\n");
    EXPECT_NE(readUntil(terminal_, screen, "正常").find("7\t  mov eax, 1   # 退出"), std::string::npos) << screen;
    screen.clear();
    press("x/s &greeting\n");
    EXPECT_NE(readUntil(terminal_, screen, "\"中文\"").find("\"中文\""), std::string::npos) << screen;
    // The source itself is left as it was saved.
    std::ifstream source(root_ / "my asm" / "chinese0.s", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(source), {}), kChineseSource);
}

TEST_F(GdbSession, AProgramThatCannotStartIsExplainedInChinese) {
    fs::permissions(program_, fs::perms::owner_read | fs::perms::owner_write);
    startGdb();
    std::string screen;
    readUntil(terminal_, screen, "(gdb) ");
    EXPECT_NE(screen.find("无法开始调试程序。原因："), std::string::npos) << screen;
    EXPECT_EQ(screen.find("【F10】"), std::string::npos) << screen;  // no keys for a program that is not there
}

TEST_F(GdbSession, AsciiSourcesAreReadWhereTheyAre) {
    startGdb();
    std::string screen;
    readUntil(terminal_, screen, "(gdb) ");
    screen.clear();
    press("info source\n");
    readUntil(terminal_, screen, "Contains");
    EXPECT_NE(screen.find("Located in " + (root_ / "my asm" / "echo0.s").string()), std::string::npos) << screen;
    EXPECT_FALSE(fs::exists(root_ / "sources"));
}

// The registers view's layout on its own, from eecxx.dll loaded into gdb in batch mode.
TEST(RegistersView, RowsWrapAtTheWindowWidthAndOnlyChangedFlagsAreMarked) {
    const std::string script =
        "names = [n for row in REGISTER_ROWS for n in row]\n"
        "now = dict((n, 0) for n in names)\n"
        "now.update(eax=0x12345678, eflags=0x246, cs=0x23)\n"
        "before = dict(now, eax=0x12345677, eflags=0x202)\n"  // ZF and PF were clear
        "for line in register_lines(now, before, 40, lambda c: '[' + c + ']'): print('|' + line)\n"
        "print('first:' + ','.join(register_lines(now, {}, 200, lambda c: '[' + c + ']')))\n";
    const std::string scriptFile = ::testing::TempDir() + "/registers-view-" + std::to_string(getpid()) + ".py";
    std::ofstream(scriptFile) << script;
    auto run = toolkit::runCaptured({"env", "ASMORA_DEBUG_SUPPORT=" TOOLKIT_OUT, "gdb", "-batch", "-nx", "-ex",
                                     "python exec(open('" TOOLKIT_OUT "/eecxx.dll', encoding='utf-8').read())", "-x",
                                     scriptFile});
    std::remove(scriptFile.c_str());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string& out = run.output;
    // 40 columns hold three 32-bit registers a row; the changed one is marked.
    EXPECT_NE(out.find("|[eax=12345678]  ebx=00000000  ecx=00000000\n|edx=00000000\n"), std::string::npos) << out;
    // Marks do not count towards the width; of EFLAGS's flags only ZF and PF changed.
    EXPECT_NE(out.find("|eip=00000000  [eflags=00000246]  OF=0\n|DF=0  IF=1  SF=0  [ZF=1]  AF=0  [PF=1]  CF=0\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("|cs=0023  ds=0000  es=0000  fs=0000\n|gs=0000  ss=0000\n"), std::string::npos) << out;
    // Without an earlier prompt nothing is marked, and a wide window keeps each row whole.
    EXPECT_NE(out.find("first:eax=12345678  ebx=00000000  ecx=00000000  edx=00000000,"), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.find("first:")).find('['), std::string::npos) << out;
}

TEST(ProgramConsole, NamesItsTerminalAndEndsWhenTheWindowCloses) {
    const std::string ttyFile = ::testing::TempDir() + "/program-console-" + std::to_string(getpid());
    std::remove(ttyFile.c_str());
    int window = -1;
    const pid_t holder = forkpty(&window, nullptr, nullptr, nullptr);
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        execl(TOOLKIT_OUT "/windbg.exe", "windbg.exe", "--program-console", ttyFile.c_str(), nullptr);
        _exit(127);
    }
    std::string banner;
    readUntil(window, banner, "【程序窗口】");
    waitUntil([&] { return fs::exists(ttyFile); });  // written whole, then renamed
    std::string name;
    std::ifstream(ttyFile) >> name;
    EXPECT_EQ(name.rfind("/dev/pts/", 0), 0u) << name;

    close(window);  // the console window closes
    int status = 0;
    pid_t ended = 0;
    waitUntil([&] { return (ended = waitpid(holder, &status, WNOHANG)) != 0; });
    if (ended == 0) kill(holder, SIGKILL);
    EXPECT_EQ(ended, holder) << "the holder outlived its window";
    std::remove(ttyFile.c_str());
}

}  // namespace
