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

TEST(SingleInstance, OtherUsersAndOtherDisplaySessionsHoldTheirOwnLock) {
    const QString name = uniqueName();
    SingleInstanceLock first(name, QStringLiteral("1000/DISPLAY=:10"));
    ASSERT_TRUE(first.acquire());
    SingleInstanceLock sameSession(name, QStringLiteral("1000/DISPLAY=:10"));
    EXPECT_FALSE(sameSession.acquire());
    SingleInstanceLock otherUser(name, QStringLiteral("1001/DISPLAY=:10"));
    EXPECT_TRUE(otherUser.acquire());
    SingleInstanceLock otherDisplay(name, QStringLiteral("1000/DISPLAY=:11"));
    EXPECT_TRUE(otherDisplay.acquire());
}

TEST(SingleInstance, TheSessionIsTheUserAndTheLoginSessionOrTheDisplay) {
    const QByteArray savedSession = qgetenv("XDG_SESSION_ID");
    const QByteArray savedDisplay = qgetenv("DISPLAY");
    qunsetenv("XDG_SESSION_ID");
    qputenv("DISPLAY", ":7");
    const QString uid = QString::number(getuid());
    const QString byDisplay = SingleInstanceLock::currentSession();
    qputenv("XDG_SESSION_ID", "c3");
    const QString bySession = SingleInstanceLock::currentSession();
    qputenv("XDG_SESSION_ID", savedSession);
    if (savedSession.isNull()) qunsetenv("XDG_SESSION_ID");
    qputenv("DISPLAY", savedDisplay);
    if (savedDisplay.isNull()) qunsetenv("DISPLAY");
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) GTEST_SKIP() << "a Wayland display comes before DISPLAY";
    EXPECT_EQ(byDisplay, uid + "/DISPLAY=:7");
    EXPECT_EQ(bySession, uid + "/XDG_SESSION_ID=c3");
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
