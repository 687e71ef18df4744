// Windows command-line splitting.
#include "platform/CommandLine.h"

#include <gtest/gtest.h>

using platform::quoteWindowsArgument;
using platform::splitWindowsCommandLine;

TEST(CommandLine, SplitsTheAssemblerCommandAsWindowsDoes) {
    const QStringList got =
        splitWindowsCommandLine(QStringLiteral("bin/ml.exe /c /coff /Fl\"/tmp/my asm/Debug/a.lst\" /Fo \"/tmp/my "
                                               "asm/Debug/a.obj\" /Zi \"/tmp/my asm/a.asm\" "));
    const QStringList want = {QStringLiteral("bin/ml.exe"), QStringLiteral("/c"),
                              QStringLiteral("/coff"),      QStringLiteral("/Fl/tmp/my asm/Debug/a.lst"),
                              QStringLiteral("/Fo"),        QStringLiteral("/tmp/my asm/Debug/a.obj"),
                              QStringLiteral("/Zi"),        QStringLiteral("/tmp/my asm/a.asm")};
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

TEST(CommandLine, AlwaysQuotingKeepsEveryCharacterAFileNameCanHold) {
    const QStringList arguments = {
        QStringLiteral("plain"),    QStringLiteral("a\" -Fo \"evil.asm"), QStringLiteral("tail\\"),
        QStringLiteral("tail\\\\"), QStringLiteral("back\\\"quote"),      QStringLiteral("tab\tand\nline"),
        QStringLiteral("\"\""),     QStringLiteral("中文 %PATH% !x! ^&"), QString(),
    };
    for (const QString& argument : arguments) {
        const QString quoted = quoteWindowsArgument(argument, platform::Quoting::Always);
        EXPECT_TRUE(quoted.startsWith(u'"') && quoted.endsWith(u'"')) << quoted.toStdString();
        EXPECT_EQ(splitWindowsCommandLine("/Fl" + quoted + " next"), (QStringList{"/Fl" + argument, "next"}))
            << quoted.toStdString();
    }
    EXPECT_EQ(quoteWindowsArgument(QStringLiteral("a\" -Fo \"b.asm"), platform::Quoting::Always),
              QStringLiteral(R"("a\" -Fo \"b.asm")"));
}
