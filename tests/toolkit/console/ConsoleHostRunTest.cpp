// The stand-alone console host running whole batch files with its input from a
// file and its output captured, as a console window would run them.
#include "ChildProcess.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <unistd.h>

namespace fs = std::filesystem;
using asmora::testing::readFile;

namespace {

std::string utf8ToCp936(const std::string& text) {
    iconv_t handle = iconv_open("CP936", "UTF-8");
    std::string out(text.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    char* outPointer = out.data();
    std::size_t inLeft = text.size(), outLeft = out.size();
    iconv(handle, &in, &inLeft, &outPointer, &outLeft);
    iconv_close(handle);
    out.resize(out.size() - outLeft);
    return out;
}

class ConsoleHostRun : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("console-host-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    // Writes the lines (UTF-8 here) as a code page 936 batch file with CR LF ends.
    fs::path writeBatch(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const auto& line : lines) bytes += utf8ToCp936(line) + "\r\n";
        const fs::path batch = root_ / "ml.bat";
        std::ofstream(batch, std::ios::binary) << bytes;
        return batch;
    }

    // Runs the host on `batch` with `input` as its standard input.
    asmora::toolkit::CapturedRun host(const fs::path& batch, const std::string& input = "") {
        std::ofstream(root_ / "input.txt", std::ios::binary) << input;
        return asmora::toolkit::runCaptured({"/bin/sh", "-c",
                                             "cd \"$1\" && exec \"$2\" --console-host \"$3\" < input.txt", "sh",
                                             root_.string(), CONSOLE_HOST_RUN, batch.string()});
    }

    // A shell script that prints its arguments and its first input line.
    fs::path writeProgram(const fs::path& path, int exitCode) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "#!/bin/sh\necho \"ran:$*\"\nread line && echo \"read:$line\"\nexit " << exitCode
                            << "\n";
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    fs::path root_;
};

TEST_F(ConsoleHostRun, EchoFormsColorsAndTitle) {
    auto run = host(writeBatch({"@echo off", "echo hello", "echo.", "echo  two", "Echo.dot", "echo hidden>NUL", "echo",
                                "Color F1", "title 程序", "color 11", "color zz", "color ee", "color"}));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output,
              "hello\n\n two\ndot\nECHO 处于关闭状态。\n"
              "\x1b]11;rgb:ff/ff/ff\x07\x1b]10;rgb:00/00/80\x07\x1b[0m"
              "\x1b]0;程序\x07"
              "颜色参数无效: zz\n"
              "\x1b]111\x07\x1b]110\x07");
}

TEST_F(ConsoleHostRun, EchoOnShowsEachCommandAfterThePrompt) {
    auto run = host(writeBatch({"echo hi", "@echo quiet"}));
    EXPECT_EQ(run.output, root_.string() + ">echo hi\nhi\nquiet\n");
}

TEST_F(ConsoleHostRun, ProgramLineRunsOnTheConsoleAndTheBatchGoesOn) {
    const fs::path program = writeProgram(root_ / "50%off & co" / "汇编 Debug" / "hello.exe", 7);
    auto run = host(writeBatch({"@echo off", "echo before", "\"" + program.string() + "\" a \"b c\"", "echo after"}),
                    "typed line\n");
    EXPECT_EQ(run.output, "before\nran:a b c\nread:typed line\nafter\n");
    EXPECT_EQ(run.exitCode, 7);
}

TEST_F(ConsoleHostRun, WithoutATerminalTheProgramsBytesPassUnchanged) {
    const fs::path program = root_ / "cp936.exe";
    std::ofstream(program) << "#!/bin/sh\nprintf '\\326\\320\\n'\nread line && printf '%s' \"$line\"\n";
    fs::permissions(program, fs::perms::owner_all);
    auto run = host(writeBatch({"@echo off", "\"" + program.string() + "\""}), "\xCE\xC4\n");
    EXPECT_EQ(run.output, "\xD6\xD0\n\xCE\xC4");
}

TEST_F(ConsoleHostRun, PauseTakesOneKeyFromTheInput) {
    const fs::path program = writeProgram(root_ / "p.exe", 0);
    auto run =
        host(writeBatch({"@echo off", "pause>NUL", "\"" + program.string() + "\"", "pause", "echo end"}), "kline\nx");
    EXPECT_EQ(run.output, "ran:\nread:line\n请按任意键继续. . . \nend\n");
}

TEST_F(ConsoleHostRun, UnknownCommandsAreReportedAndTheBatchGoesOn) {
    auto run = host(
        writeBatch({"@echo off", "%FILENAME%", "\"" + (root_ / "missing.exe").string() + "\"", "echo still here"}));
    EXPECT_EQ(run.output,
              "'%FILENAME%' 不是内部或外部命令，也不是可运行的程序\n或批处理文件。\n"
              "'" +
                  (root_ / "missing.exe").string() +
                  "' 不是内部或外部命令，也不是可运行的程序\n或批处理文件。\n"
                  "still here\n");
}

TEST_F(ConsoleHostRun, OtherLinesRunThroughTheShell) {
    auto run = host(writeBatch({"@echo off", "printf 'one\\n' > shell.txt", "cat shell.txt", "true >NUL"}));
    EXPECT_EQ(run.output, "one\n");
}

TEST_F(ConsoleHostRun, DeleteRemovesQuotedAndPlainFilesAndTheBatchItself) {
    fs::create_directories(root_ / "my bin");
    std::ofstream(root_ / "my bin" / "a.txt") << "x";
    std::ofstream(root_ / "plain.txt") << "x";
    const fs::path batch = writeBatch({"@echo off", "del /A:H /Q \"" + (root_ / "my bin" / "a.txt").string() + "\"",
                                       "del /Q " + (root_ / "plain.txt").string(), "del nothere.txt", "echo done",
                                       "del /A:H /Q \"" + (root_ / "ml.bat").string() + "\""});
    auto run = host(batch);
    EXPECT_EQ(run.output, "找不到 nothere.txt\ndone\n");
    EXPECT_FALSE(fs::exists(root_ / "my bin" / "a.txt"));
    EXPECT_FALSE(fs::exists(root_ / "plain.txt"));
    EXPECT_FALSE(fs::exists(batch));
}

TEST_F(ConsoleHostRun, TheDefaultTemplateShowsItsFrameAroundTheProgram) {
    const fs::path program = writeProgram(root_ / "Debug" / "lab1.exe", 0);
    std::string batch = readFile(fs::path(CONSOLE_TEST_DATA) / "default-template.bat");
    const auto marker = batch.find("%FILENAME%");
    ASSERT_NE(marker, std::string::npos);
    batch.replace(marker, 10, "\"" + program.string() + "\"");
    std::ofstream(root_ / "ml.bat", std::ios::binary) << batch;
    auto run = host(root_ / "ml.bat", "\nk");
    const std::string stars(79, '*');
    const std::string expectedStart = "\x1b]11;rgb:ff/ff/ff\x07\x1b]10;rgb:00/00/80\x07\x1b[0m\n" + stars + "\n" +
                                      "********        ╔╮╔══╗╭　╔═╮　╔╔╦══╗　　╔╮　　        *******\n";
    EXPECT_EQ(run.output.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(run.output.find(std::string(32, ' ') + "程序开始运行\n" + std::string(79, '-') + "\nran:\nread:\n\n"),
              std::string::npos);
    const std::string expectedEnd = std::string(27, ' ') + "【按任意键可退出程序】\n";
    ASSERT_GE(run.output.size(), expectedEnd.size());
    EXPECT_EQ(run.output.substr(run.output.size() - expectedEnd.size()), expectedEnd);
}

TEST_F(ConsoleHostRun, AnUnreadableBatchIsReportedAndWaitsForAKey) {
    auto run = host(root_ / "none.bat", "k");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("无法打开批处理文件 " + (root_ / "none.bat").string()), std::string::npos);
}

}  // namespace
