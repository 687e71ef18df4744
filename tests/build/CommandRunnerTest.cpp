// The command runner against real child processes.
#include "build/CommandRunner.h"

#include <gtest/gtest.h>

#include <QTimer>

using asmora::build::TCommandRunner;
using asmora::build::TOutputList;

namespace {
QStringList run(const QString& command) {
    TOutputList list;
    TCommandRunner runner;
    runner.RunDosCommand(command, list);
    return list.rows();
}
}  // namespace

TEST(CommandRunner, SplitsRowsOfEveryLineEnd) {
    EXPECT_EQ(run(R"(sh -c "printf 'A\r\nB\r\n'")"), (QStringList{"A", "B"}));
    EXPECT_EQ(run(R"(sh -c "printf 'A\nB\n'")"), (QStringList{"A", "B"}));
    EXPECT_EQ(run(R"(sh -c "printf 'A\rB'")"), (QStringList{"A", "B"}));
    EXPECT_EQ(run(R"(sh -c "printf 'A\n\rB\n'")"), (QStringList{"A", "", "B"}));
}

TEST(CommandRunner, ALineWrittenInTwoPiecesIsOneRowAndTheLastByteIsKept) {
    EXPECT_EQ(run(R"(sh -c "printf abc; sleep 0.3; printf def")"), QStringList{"abcdef"});
}

TEST(CommandRunner, ACommandThatCannotStartAddsNothingAndLeavesTheRunnerIdle) {
    TOutputList list;
    TCommandRunner runner;
    runner.RunDosCommand("no-such-tool-anywhere /c", list);
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(runner.isRunning());
}

TEST(CommandRunner, AChildReadingInputSeesTheEndAtOnce) {
    EXPECT_EQ(run(R"(sh -c "cat; echo done")"), QStringList{"done"});
}

TEST(CommandRunner, ShowsUtf8AndCodePage936Output) {
    EXPECT_EQ(run(R"(sh -c "printf '\344\270\255\346\226\207\n\326\320\316\304\n'")"),
              (QStringList{QStringLiteral("中文"), QStringLiteral("中文")}));
}

TEST(CommandRunner, ABurstOfFiftyMegabytesKeepsTheNewestRowsWithinTheBound) {
    // One million rows of 49 characters and a line end: 50,000,000 bytes at once. The
    // list keeps the newest 200,000 of them under a notice of the rest.
    TOutputList list;
    TCommandRunner runner;
    runner.RunDosCommand(
        R"(sh -c "yes 0123456789012345678901234567890123456789012345678 | head -n 1000000; printf end")", list);
    ASSERT_EQ(list.count(), 1 + 200000);
    EXPECT_EQ(list.row(0), QStringLiteral("……较早的 800001 行输出已被丢弃，这里只保留最新的 200000 行。"));
    EXPECT_EQ(list.row(1), "0123456789012345678901234567890123456789012345678");
    EXPECT_EQ(list.row(199999), "0123456789012345678901234567890123456789012345678");
    EXPECT_EQ(list.row(200000), "end");
}

TEST(CommandRunner, StopEndsAChildThatNeverEndsAndKeepsItsRows) {
    TOutputList list;
    TCommandRunner runner;
    bool sawRunning = false;
    QObject::connect(&runner, &TCommandRunner::runningChanged, [&](bool running) { sawRunning |= running; });
    // Stop once the child's first row has arrived (the runner's loop runs the timer).
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &runner, [&] {
        if (list.count() > 0) runner.stop();
    });
    poll.start(10);
    runner.RunDosCommand(R"(sh -c "echo first; exec sleep 1000")", list);
    EXPECT_TRUE(sawRunning);
    EXPECT_FALSE(runner.isRunning());
    EXPECT_EQ(list.rows(), QStringList{"first"});
}

TEST(CommandRunner, CommandsLongerThan512CharactersRun) {
    const QString word(600, u'x');
    EXPECT_EQ(run(QStringLiteral("sh -c \"echo %1\"").arg(word)), QStringList{word});
}
