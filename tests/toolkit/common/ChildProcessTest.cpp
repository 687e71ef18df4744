// Starting programs: what a child gets (input, output, environment), how a failed
// start is reported, the child on one pipe, and finding a program as Windows would.
#include "ChildProcess.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>

using namespace asmora::toolkit;

namespace {

std::string drain(PipedProcess& child) {
    std::string all;
    char buffer[4096];
    for (;;) {
        std::size_t count = 0;
        const auto result = child.read(buffer, sizeof buffer, count);
        if (result == PipedProcess::ReadResult::Data) {
            all.append(buffer, count);
        } else if (result == PipedProcess::ReadResult::EndOfFile) {
            break;
        } else {
            pollfd fd{child.outputFd(), POLLIN, 0};
            poll(&fd, 1, 1000);
        }
    }
    while (!child.hasEnded()) poll(nullptr, 0, 5);
    return all;
}

std::string writeScript(const TempFolder& folder, const std::string& name, const std::string& body) {
    const std::string path = folder.write(name, "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

}  // namespace

TEST(ChildProcess, TheChildReadsItsInputFileAndGetsTheExtraEnvironment) {
    TempFolder folder;
    const std::string input = folder.write("typed.txt", "typed line\n");
    const CapturedRun fromFile = runCaptured({"sh", "-c", "cat; echo err >&2"}, input);
    EXPECT_TRUE(fromFile.started);
    EXPECT_EQ(fromFile.output, "typed line\nerr\n");
    EXPECT_EQ(fromFile.exitCode, 0);

    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    SpawnRequest request{{"sh", "-c", "echo \"$ASMORA_TEST_VALUE\"; exit 3"}, "/dev/null", pipe[1]};
    request.environment = {{"ASMORA_TEST_VALUE", "a b"}, {"PATH", std::getenv("PATH")}};
    const Spawned child = spawnProgram(request);
    ::close(pipe[1]);
    ASSERT_GT(child.pid, 0);
    char buffer[64] = {};
    const ssize_t got = ::read(pipe[0], buffer, sizeof buffer - 1);
    ::close(pipe[0]);
    EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0), "a b\n");
    EXPECT_EQ(waitForExit(child.pid), 3);
}

TEST(ChildProcess, AFailedStartSaysWhy) {
    TempFolder folder;
    const std::string notRunnable = folder.write("plain.txt", "text");
    EXPECT_EQ(spawnProgram({{"no-such-program-here"}}).error, ENOENT);
    EXPECT_EQ(spawnProgram({{}}).pid, -1);
    const CapturedRun missingInput = runCaptured({"true"}, folder / "none.txt");
    EXPECT_FALSE(missingInput.started);
    std::string why;
    EXPECT_EQ(runOnTerminal({notRunnable}, &why), -1);
    EXPECT_EQ(why, "Permission denied");
    PipedProcess piped;
    EXPECT_FALSE(piped.start({"no-such-program-here"}));
    EXPECT_EQ(piped.startError(), ENOENT);
}

TEST(ChildProcess, APipedChildSharesOnePipeAndKillEndsIt) {
    PipedProcess child;
    ASSERT_TRUE(child.start({"sh", "-c", "echo out; echo err >&2; cat; echo end"}));
    EXPECT_EQ(drain(child), "out\nerr\nend\n");
    EXPECT_EQ(child.exitCode(), 0);
    PipedProcess endless;
    ASSERT_TRUE(endless.start({"sh", "-c", "sleep 1000"}));
    EXPECT_FALSE(endless.hasEnded());
    endless.kill();
    drain(endless);
    EXPECT_EQ(endless.exitCode(), 128 + SIGKILL);
}

TEST(ChildProcess, ProgramsAreFoundIgnoringCaseAndWithoutTheirExeSuffix) {
    TempFolder folder;
    const std::string ml = writeScript(folder, "bin/ML.EXE", "exit 0");
    writeScript(folder, "bin/Tool", "exit 0");
    folder.write("bin/data.exe", "not runnable");
    const struct {
        std::string token;
        std::string found;
    } cases[] = {
        {folder / "bin/ml.exe", ml}, {folder / "BIN/ml", ml},   {folder / "bin/tool", folder / "bin/Tool"},
        {folder / "bin/data", ""},   {folder / "bin/none", ""}, {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(resolveProgram(c.token), c.found) << c.token;
    // A bare name is looked for on PATH.
    const std::string shell = resolveProgram("sh");
    EXPECT_TRUE(shell.size() > 3 && shell.ends_with("/sh") && ::access(shell.c_str(), X_OK) == 0) << shell;
}
