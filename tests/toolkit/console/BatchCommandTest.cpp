// How the console host reads each kind of batch line.
#include "BatchCommand.h"
#include "ConsoleColors.h"

#include <gtest/gtest.h>

using namespace asmora::console;

namespace {

struct LineCase {
    const char* line;
    BatchVerb verb;
    const char* argument;
    bool hidden;
    bool toNul;
};

const LineCase kLines[] = {
    {"@echo off", BatchVerb::EchoOff, "", true, false},
    {"ECHO ON", BatchVerb::EchoOn, "", false, false},
    {"echo.", BatchVerb::EchoText, "", false, false},
    {"echo", BatchVerb::EchoStatus, "", false, false},
    {"echo off the record", BatchVerb::EchoText, "off the record", false, false},
    {"echo   three", BatchVerb::EchoText, "  three", false, false},
    {"Echo.Dot", BatchVerb::EchoText, "Dot", false, false},
    {"echo hidden>NUL", BatchVerb::EchoText, "hidden", false, true},
    {"  Color F1", BatchVerb::Color, "F1", false, false},
    {"pause>NUL", BatchVerb::Pause, "", false, true},
    {"pause > nul 2>&1", BatchVerb::Pause, "", false, true},
    {"pause", BatchVerb::Pause, "", false, false},
    {"cls", BatchVerb::Clear, "", false, false},
    {"title 汇编 程序", BatchVerb::Title, "汇编 程序", false, false},
    {"rem del everything", BatchVerb::Nothing, "", false, false},
    {":label", BatchVerb::Nothing, "", false, false},
    {"", BatchVerb::Nothing, "", false, false},
    {"exit", BatchVerb::Exit, "", false, false},
    {"%FILENAME%", BatchVerb::Other, "", false, false},
    {"dir C:\\", BatchVerb::Other, "", false, false},
    {"pausefor", BatchVerb::Other, "", false, false},
};

}  // namespace

TEST(BatchCommand, ClassifiesTheCommandsOfATemplate) {
    for (const auto& c : kLines) {
        SCOPED_TRACE(c.line);
        const BatchCommand command = parseBatchLine(c.line);
        EXPECT_EQ(command.verb, c.verb);
        EXPECT_EQ(command.argument, c.argument);
        EXPECT_EQ(command.hidden, c.hidden);
        EXPECT_EQ(command.outputToNul, c.toNul);
    }
}

TEST(BatchCommand, QuotedProgramLineKeepsItsPathLiterally) {
    const BatchCommand command = parseBatchLine("\"/home/u/50%off & co/Debug/a.exe\" one \"two three\"");
    EXPECT_EQ(command.verb, BatchVerb::RunProgram);
    EXPECT_EQ(command.arguments, (std::vector<std::string>{"/home/u/50%off & co/Debug/a.exe", "one", "two three"}));
}

TEST(BatchCommand, DeleteTakesQuotedAndPlainNamesAndSkipsSwitches) {
    EXPECT_EQ(parseBatchLine("del /A:H /Q \"/p/my bin/ml.bat\"").arguments,
              std::vector<std::string>{"/p/my bin/ml.bat"});
    EXPECT_EQ(parseBatchLine("DEL /q a.txt /tmp/b.txt").arguments, (std::vector<std::string>{"a.txt", "/tmp/b.txt"}));
    EXPECT_EQ(parseBatchLine("del /A:H /Q \"/p/bin/ml.bat\"").verb, BatchVerb::Delete);
}

TEST(ConsoleColors, ParsesBackgroundAndTextDigits) {
    auto f1 = parseColorArgument("F1");
    ASSERT_TRUE(f1);
    EXPECT_EQ(f1->background, 15);
    EXPECT_EQ(f1->foreground, 1);
    auto single = parseColorArgument("a");
    ASSERT_TRUE(single);
    EXPECT_EQ(single->background, 0);
    EXPECT_EQ(single->foreground, 10);
    EXPECT_FALSE(parseColorArgument("11"));  // equal colours are refused
    EXPECT_FALSE(parseColorArgument("G1"));
    EXPECT_FALSE(parseColorArgument("F12"));
    EXPECT_EQ(consoleColor(1).blue, 0x80);
    EXPECT_EQ(consoleColor(15).red, 0xFF);
}
