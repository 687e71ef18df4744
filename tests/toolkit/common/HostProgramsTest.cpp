// The host programs table: finding programs on PATH, the messages naming their
// packages, and the choice of a linker that knows elf_i386.
#include "HostPrograms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace asmora::toolkit;

namespace {

TEST(I386Linker, TheNativeLdWinsWhenItKnowsElfI386ElseTheCrossLinker) {
    using Outputs = std::map<std::string, std::optional<std::string>>;
    auto chooser = [](Outputs outputs) {
        return findI386Linker([outputs](const std::string& name) {
            auto found = outputs.find(name);
            return found == outputs.end() ? std::nullopt : found->second;
        });
    };
    const std::string x86 = "GNU ld 2.40\n  Supported emulations:\n   elf_x86_64\n   elf32_x86_64\n   elf_i386\n";
    const std::string arm = "GNU ld 2.40\n  Supported emulations:\n   aarch64linux\n   aarch64elf\n";
    const std::string cross = "GNU ld 2.40\n  Supported emulations:\n   elf_i386\n   elf_iamcu\n";
    EXPECT_EQ(chooser({{"ld", x86}, {"i686-linux-gnu-ld", cross}}), "ld");
    EXPECT_EQ(chooser({{"ld", arm}, {"i686-linux-gnu-ld", cross}}), "i686-linux-gnu-ld");
    EXPECT_EQ(chooser({{"ld", std::nullopt}, {"i686-linux-gnu-ld", cross}}), "i686-linux-gnu-ld");
    EXPECT_EQ(chooser({{"ld", arm}}), std::nullopt);
    EXPECT_EQ(chooser({}), std::nullopt);
}

TEST(HostPrograms, EachMessageNamesTheProgramItsUseAndItsPackage) {
    for (const HostProgram& program : hostPrograms()) {
        const std::string text = missingHostProgramText(program);
        EXPECT_NE(text.find(program.name), std::string::npos) << text;
        EXPECT_NE(text.find(std::string("sudo apt install ") + program.package), std::string::npos) << text;
    }
    EXPECT_EQ(missingHostProgramText(hostProgram(HostNeed::Debug, "gdb")),
              "缺少 gdb（调试器）：请安装 gdb 软件包（sudo apt install gdb）");
}

class HostPath : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) / ("host-path-" + std::to_string(getpid()));
        fs::create_directories(folder_);
        const char* path = std::getenv("PATH");
        saved_ = path ? path : "";
        setenv("PATH", folder_.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", saved_.c_str(), 1);
        fs::remove_all(folder_);
    }
    void install(const std::string& name) {
        std::ofstream(folder_ / name) << "#!/bin/sh\n";
        fs::permissions(folder_ / name, fs::perms::owner_all);
    }
    fs::path folder_;
    std::string saved_;
};

TEST_F(HostPath, RunNeedsXtermAndDebugNeedsGdbToo) {
    EXPECT_NE(missingHostProgramFor(HostNeed::Run).find("xterm"), std::string::npos);
    install("xterm");
    EXPECT_EQ(missingHostProgramFor(HostNeed::Run), "");
    EXPECT_NE(missingHostProgramFor(HostNeed::Debug).find("gdb"), std::string::npos);
    install("gdb");
    EXPECT_EQ(missingHostProgramFor(HostNeed::Debug), "");
    EXPECT_EQ(findOnPath("gdb"), (folder_ / "gdb").string());
    // A file without the execute permission is no program.
    std::ofstream(folder_ / "ld") << "#!/bin/sh\n";
    EXPECT_EQ(findOnPath("ld"), "");
}

TEST_F(HostPath, TheCheckListsEveryMissingProgramWithItsPackage) {
    const std::vector<std::string> texts = missingHostProgramTexts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_NE(texts[0].find("apt install xterm"), std::string::npos);
    EXPECT_NE(texts[1].find("apt install gdb"), std::string::npos);
    EXPECT_NE(texts[2].find("-ld") == std::string::npos ? texts[2].find("apt install binutils")
                                                        : texts[2].find("binutils-i686-linux-gnu"),
              std::string::npos)
        << texts[2];
}

}  // namespace
