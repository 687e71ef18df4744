// Joining split command-line arguments back into the start-up path.
#include "app/StartupFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using asmora::app::resolveStartupFile;

TEST(StartupFile, JoinsArgumentsUntilTheyNameAnExistingFile) {
    QTemporaryDir dir;
    QFile file(dir.path() + "/a b.asm");
    file.open(QIODevice::WriteOnly);
    file.close();
    EXPECT_EQ(resolveStartupFile({dir.path() + "/a", "b.asm", "extra"}), dir.path() + "/a b.asm");
    EXPECT_EQ(resolveStartupFile({dir.path() + "/none", "x"}), dir.path() + "/none x");
    EXPECT_EQ(resolveStartupFile({}), QString());
}
