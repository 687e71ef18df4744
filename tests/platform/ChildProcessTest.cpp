// Child processes: one pipe for both outputs, no input, program resolution, killing.
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <poll.h>

using platform::ChildProcess;

namespace {

// Reads everything the child writes until it ends and its pipe is closed.
std::string drain(ChildProcess& child) {
    std::string all;
    char buffer[4096];
    while (true) {
        size_t count = 0;
        const auto result = child.read(buffer, sizeof buffer, count);
        if (result == ChildProcess::ReadResult::Data) {
            all.append(buffer, count);
            continue;
        }
        if (result == ChildProcess::ReadResult::EndOfFile) break;
        pollfd fd{child.outputFd(), POLLIN, 0};
        poll(&fd, 1, 1000);
    }
    while (!child.hasEnded()) poll(nullptr, 0, 5);
    return all;
}

void writeScript(const QString& path, const QByteArray& text) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

}  // namespace

TEST(ChildProcess, StandardOutputAndErrorShareOnePipeAndInputIsAtEnd) {
    ChildProcess child;
    ASSERT_TRUE(child.start(R"(sh -c "echo out; echo err 1>&2; cat; echo after-input")"));
    EXPECT_EQ(drain(child), "out\nerr\nafter-input\n");
    EXPECT_EQ(child.exitCode(), 0);
}

TEST(ChildProcess, AProgramThatDoesNotExistCannotStart) {
    ChildProcess child;
    EXPECT_FALSE(child.start("no-such-program-here --x"));
    EXPECT_FALSE(child.errorString().isEmpty());
    ChildProcess empty;
    EXPECT_FALSE(empty.start("   "));
}

TEST(ChildProcess, TheProgramIsFoundRelativeToTheCurrentFolderIgnoringCase) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("bin");
    writeScript(dir.path() + "/bin/ML.EXE", "#!/bin/sh\necho \"args:$1|$2\"\n");
    const QString saved = QDir::currentPath();
    QDir::setCurrent(dir.path());
    ChildProcess child;
    const bool started = child.start(R"(bin/ml.exe /Fl"my file.lst" "x y")");
    QDir::setCurrent(saved);
    ASSERT_TRUE(started);
    EXPECT_EQ(drain(child), "args:/Flmy file.lst|x y\n");
}

TEST(ChildProcess, KillEndsAChildThatNeverEnds) {
    ChildProcess child;
    ASSERT_TRUE(child.start(R"(sh -c "sleep 1000")"));
    EXPECT_FALSE(child.hasEnded());
    child.kill();
    drain(child);
    EXPECT_TRUE(child.hasEnded());
    EXPECT_NE(child.exitCode(), 0);
}
