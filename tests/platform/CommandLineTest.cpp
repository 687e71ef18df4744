// Windows command-line splitting.
#include "platform/CommandLine.h"

#include <gtest/gtest.h>

using platform::quoteWindowsArgument;
using platform::splitWindowsCommandLine;

TEST(CommandLine, SplitsTheAssemblerCommandAsWindowsDoes) {
    const QStringList got = splitWindowsCommandLine(
        QStringLiteral("bin/ml.exe /c /coff /Fl\"/tmp/my asm/Debug/a.lst\" /Fo \"/tmp/my asm/Debug/a.obj\" /Zi \"/tmp/my asm/a.asm\" "));
    const QStringList want = {QStringLiteral("bin/ml.exe"), QStringLiteral("/c"), QStringLiteral("/coff"),
                              QStringLiteral("/Fl/tmp/my asm/Debug/a.lst"), QStringLiteral("/Fo"),
                              QStringLiteral("/tmp/my asm/Debug/a.obj"), QStringLiteral("/Zi"),
                              QStringLiteral("/tmp/my asm/a.asm")};
    EXPECT_EQ(got, want);
}

TEST(CommandLine, BackslashesAndQuotes) {
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral(R"(a\b c\\d)")), (QStringList{R"(a\b)", R"(c\\d)"}));
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral(R"(a\"b)")), QStringList{R"(a"b)"});
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral(R"("a\\" b)")), (QStringList{R"(a\)", "b"}));
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral(R"("say ""hi""")")), QStringList{R"(say "hi")"});
}

TEST(CommandLine, EmptyAndUnbalancedInput) {
    EXPECT_TRUE(splitWindowsCommandLine(QStringLiteral("   \t ")).isEmpty());
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral("x \"open to the end")), (QStringList{"x", "open to the end"}));
    EXPECT_EQ(splitWindowsCommandLine(QStringLiteral("\"\"")), QStringList{QString()});
}

TEST(CommandLine, QuotingRoundTrips) {
    for (const QString& argument : {QStringLiteral("plain"), QStringLiteral("with blank"), QStringLiteral(R"(tail\)"),
                                    QStringLiteral(R"(q"uote)"), QStringLiteral(R"(a b\)"), QString()}) {
        EXPECT_EQ(splitWindowsCommandLine(quoteWindowsArgument(argument) + " next"), (QStringList{argument, "next"}));
    }
}
