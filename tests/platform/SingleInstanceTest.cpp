// The single-instance lock: exclusive across processes, released when the holder dies.
#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <QUuid>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using platform::SingleInstanceLock;

namespace {
QString uniqueName() { return QStringLiteral("Asmora(Norwick版)-test-") + QUuid::createUuid().toString(); }
}  // namespace

TEST(SingleInstance, ASecondHolderIsRefusedUntilTheFirstIsGone) {
    const QString name = uniqueName();
    auto first = std::make_unique<SingleInstanceLock>(name);
    ASSERT_TRUE(first->acquire());
    SingleInstanceLock second(name);
    EXPECT_FALSE(second.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());
}

TEST(SingleInstance, AKilledHolderReleasesTheLock) {
    const QString name = uniqueName();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        SingleInstanceLock lock(name);
        const char ok = lock.acquire() ? '1' : '0';
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    SingleInstanceLock mine(name);
    EXPECT_FALSE(mine.acquire());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(mine.acquire());
}
