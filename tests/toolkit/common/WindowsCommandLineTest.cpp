// Splitting by the Windows rules and quoting that splits back, on byte strings.
#include "WindowsCommandLine.h"

#include <gtest/gtest.h>

using namespace asmora::toolkit;

TEST(WindowsCommandLine, QuotingIsDoneOnlyWhereNeededUnlessAlwaysAsked) {
    const struct {
        std::string argument;
        std::string whenNeeded;
        std::string always;
    } cases[] = {
        {"plain", "plain", "\"plain\""},
        {"", "\"\"", "\"\""},
        {"my file.asm", "\"my file.asm\"", "\"my file.asm\""},
        {R"(C:\a b\)", R"("C:\a b\\")", R"("C:\a b\\")"},
        {R"(a"b)", R"("a\"b")", R"("a\"b")"},
        {R"(tail\)", R"(tail\)", R"("tail\\")"},
        {"中文\t", "\"中文\t\"", "\"中文\t\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(quoteWindowsArgument(c.argument), c.whenNeeded) << c.argument;
        EXPECT_EQ(quoteWindowsArgument(c.argument, Quoting::Always), c.always) << c.argument;
        for (const Quoting quoting : {Quoting::WhenNeeded, Quoting::Always})
            EXPECT_EQ(splitWindowsCommandLine("/Fl" + quoteWindowsArgument(c.argument, quoting) + " next"),
                      (std::vector<std::string>{"/Fl" + c.argument, "next"}))
                << c.argument;
    }
}
