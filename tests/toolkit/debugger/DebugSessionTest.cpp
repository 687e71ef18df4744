// The commands the front end would run, and the support files it reads.
#include "DebugSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace asmora::debugger;

namespace {

const SupportFolder kSupport(TOOLKIT_OUT);  // the support files beside the built windbg.exe

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// The argument that follows `option` in `argv`, or "" when absent.
std::string after(const std::vector<std::string>& argv, const std::string& option) {
    auto at = std::find(argv.begin(), argv.end(), option);
    return (at == argv.end() || at + 1 == argv.end()) ? std::string() : *(at + 1);
}

std::string environmentValue(const SessionPlan& plan, const std::string& name) {
    for (const auto& [key, value] : plan.environment) {
        if (key == name) return value;
    }
    return "<unset>";
}

}  // namespace

TEST(DebugSession, WithAProgramGdbRunsMaximisedBesideAConsoleWindow) {
    const Texts texts = Texts::load(kSupport.path(SupportFileNames::texts));
    SessionInputs inputs;
    inputs.program = "/home/u/50%off & co/Debug/hello.exe";
    inputs.frontEndPath = "/opt/asmora/bin/windbg.exe";
    inputs.ttyFile = "/tmp/s/tty";
    inputs.sourceCopies = "/tmp/s/sources";
    const SessionPlan plan = planSession(inputs, kSupport, texts);

    const auto& gdbWindow = plan.debuggerWindow;
    ASSERT_GE(gdbWindow.size(), 4u);
    EXPECT_EQ(gdbWindow[0], "xterm");
    EXPECT_TRUE(contains(gdbWindow, "-maximized"));
    EXPECT_EQ(after(gdbWindow, "-T"), "WinDbg - hello.exe");
    EXPECT_TRUE(contains(gdbWindow, "XTerm*metaSendsEscape: true"));
    EXPECT_EQ(after(gdbWindow, "-e"), "gdb");
    EXPECT_EQ(after(gdbWindow, "-x"), kSupport.path("dm.dll"));
    EXPECT_TRUE(contains(gdbWindow, kSupport.path("msdis100.dll")));
    EXPECT_TRUE(contains(gdbWindow, kSupport.path("msdbi.dll")));
    EXPECT_EQ(gdbWindow[gdbWindow.size() - 2], "--args");
    EXPECT_EQ(gdbWindow.back(), inputs.program);  // one argument, nothing expanded

    EXPECT_EQ(environmentValue(plan, "INPUTRC"), kSupport.path("em.dll"));
    EXPECT_EQ(environmentValue(plan, "ASMORA_DEBUG_SUPPORT"), kSupport.folder());
    EXPECT_EQ(environmentValue(plan, "ASMORA_DEBUG_TTY_FILE"), "/tmp/s/tty");
    EXPECT_EQ(environmentValue(plan, "ASMORA_DEBUG_SOURCES"), "/tmp/s/sources");

    const auto& console = plan.consoleWindow;
    ASSERT_FALSE(console.empty());
    EXPECT_EQ(console[0], "xterm");
    EXPECT_FALSE(contains(console, "-maximized"));
    EXPECT_EQ(after(console, "-T"), "hello.exe - 程序窗口");
    EXPECT_TRUE(contains(console, "XTerm*vt100.geometry: 90x20-0-0"));
    EXPECT_EQ(after(console, "-e"), "/opt/asmora/bin/windbg.exe");
    EXPECT_EQ(after(console, "--program-console"), "/tmp/s/tty");
}

TEST(DebugSession, WithoutAProgramGdbStartsEmptyAndShowsTheNotice) {
    const Texts texts = Texts::load(kSupport.path(SupportFileNames::texts));
    SessionInputs inputs;
    inputs.notice = texts.get("error.program", "/x/none.exe");
    inputs.utf8Locale = false;
    const SessionPlan plan = planSession(inputs, kSupport, texts);
    EXPECT_TRUE(plan.consoleWindow.empty());
    EXPECT_FALSE(contains(plan.debuggerWindow, "--args"));
    EXPECT_EQ(after(plan.debuggerWindow, "-T"), "WinDbg");
    EXPECT_EQ(plan.debuggerWindow.back(), "asmora-start");
    EXPECT_EQ(environmentValue(plan, "ASMORA_DEBUG_NOTICE"), "找不到要调试的程序：/x/none.exe");
    EXPECT_EQ(environmentValue(plan, "ASMORA_DEBUG_TTY_FILE"), "<unset>");
    EXPECT_EQ(environmentValue(plan, "ASMORA_DEBUG_SOURCES"), "<unset>");
    EXPECT_EQ(environmentValue(plan, "LC_ALL"), "C.UTF-8");
}

TEST(SupportFiles, AllNineArePresentAndMissingOnesAreNamed) {
    EXPECT_TRUE(kSupport.missingFiles().empty());
    EXPECT_EQ(supportFileList().size(), 9u);
    const SupportFolder empty("/nonexistent-folder");
    EXPECT_EQ(empty.missingFiles().size(), 9u);
}

TEST(SupportFiles, TextsFillInTheirArgumentAndFallBackToTheKey) {
    const std::string path = ::testing::TempDir() + "/tlloc-test.dll";
    std::ofstream(path) << "# comment\ntitle = WinDbg - %1\ntwo.lines = 一\\n二\n";
    const Texts texts = Texts::load(path);
    EXPECT_EQ(texts.get("title", "a.exe"), "WinDbg - a.exe");
    EXPECT_EQ(texts.get("two.lines"), "一\n二");
    EXPECT_EQ(texts.get("absent"), "absent");
}
