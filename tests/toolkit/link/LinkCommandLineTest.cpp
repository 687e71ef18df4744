// Option parsing of link.exe in the IDE's and the course scripts' forms.
#include "LinkCommandLine.h"

#include <gtest/gtest.h>

using namespace asmora::link;

TEST(LinkCommandLine, ReadsTheIdeCommand) {
    auto c = parseLinkCommandLine({"/debug", "/subsystem:console", "/entry:start", "/out:/home/u/my asm/Debug/a.exe",
                                   "/home/u/my asm/Debug/a.obj", "/opt/p/bin/io.obj", "/opt/p/bin/kernel32.lib"});
    EXPECT_TRUE(c.debug);
    EXPECT_EQ(c.subsystem, "console");
    EXPECT_EQ(c.entry, "start");
    EXPECT_EQ(c.output, "/home/u/my asm/Debug/a.exe");
    EXPECT_EQ(c.inputs,
              (std::vector<std::string>{"/home/u/my asm/Debug/a.obj", "/opt/p/bin/io.obj", "/opt/p/bin/kernel32.lib"}));
    EXPECT_TRUE(c.warnings.empty());
    EXPECT_TRUE(c.errors.empty());
}

TEST(LinkCommandLine, ReadsTheCourseFormWithDashesCaseAndLibpath) {
    auto c = parseLinkCommandLine({"file.obj", "io.obj", "kernel32.lib", "-DEBUG", "/OUT:file.exe",
                                   "/SubSystem:Console", "-Entry:start", "/LIBPATH:/x/lib", "/libpath:\"/y z\""});
    EXPECT_TRUE(c.debug);
    EXPECT_EQ(c.output, "file.exe");
    EXPECT_EQ(c.inputs.size(), 3u);
    EXPECT_EQ(c.libraryPaths, (std::vector<std::string>{"/x/lib", "/y z"}));
}

TEST(LinkCommandLine, WarnsAboutUnknownOptionsAndRefusesMissingValues) {
    auto c = parseLinkCommandLine({"/frob", "/nologo:yes", "/out:", "/entry", "a.obj", "/incremental:no"});
    ASSERT_EQ(c.warnings.size(), 2u);
    EXPECT_EQ(c.warnings[0], "LNK4044: unrecognized option '/frob'; ignored");
    EXPECT_EQ(c.warnings[1], "LNK4044: unrecognized option '/nologo:yes'; ignored");
    EXPECT_FALSE(c.noLogo);
    ASSERT_EQ(c.errors.size(), 2u);
    EXPECT_NE(c.errors[0].find("LNK1117"), std::string::npos);
    EXPECT_EQ(c.inputs, std::vector<std::string>{"a.obj"});
}

TEST(LinkCommandLine, EntryAndDefaultOutputFollowLinkExe) {
    EXPECT_EQ(entrySymbol("start"), "_start");
    EXPECT_EQ(entrySymbol(""), "_start");
    EXPECT_EQ(entrySymbol("main"), "_main");
    EXPECT_EQ(defaultOutputPath({"/w/Debug/lab.1.obj", "io.obj"}), "lab.1.exe");
}
