// How i386 programs start: the decision from its inputs, the probe's own logic with
// a faked start, the recognition of i386 programs and the command lines built.
#include "ChildProcess.h"
#include "I386Host.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace asmora::toolkit;

namespace {

struct DecisionCase {
    const char* forced;
    bool kernelRunsI386;
    const char* emulator;
    I386Way way;
    bool probed;
    bool problem;
};

class I386Decision : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(I386Decision, FollowsTheVariableThenTheProbeThenTheEmulator) {
    const DecisionCase& c = GetParam();
    bool probed = false;
    const I386Host host = decideI386Host({c.forced,
                                          [&] {
                                              probed = true;
                                              return c.kernelRunsI386;
                                          },
                                          [&] { return std::string(c.emulator); }});
    EXPECT_EQ(host.way, c.way);
    EXPECT_EQ(probed, c.probed);
    EXPECT_EQ(host.emulator, c.way == I386Way::Emulated ? c.emulator : "");
    EXPECT_EQ(!host.problem.empty(), c.problem) << host.problem;
}

INSTANTIATE_TEST_SUITE_P(Inputs, I386Decision,
                         ::testing::Values(
                             // forced      kernel  emulator              way                     probed problem
                             DecisionCase{"", true, "/usr/bin/qemu-i386", I386Way::Native, true, false},
                             DecisionCase{"auto", false, "/usr/bin/qemu-i386", I386Way::Emulated, true, false},
                             DecisionCase{"", false, "", I386Way::Unavailable, true, false},
                             DecisionCase{"native", false, "", I386Way::Native, false, false},
                             DecisionCase{"emulated", true, "/usr/bin/qemu-i386", I386Way::Emulated, false, false},
                             DecisionCase{"emulated", true, "", I386Way::Unavailable, false, false},
                             DecisionCase{"qemu", true, "/usr/bin/qemu-i386", I386Way::Native, true, true}));

TEST(I386Probe, RunsTheProbeImageAndAcceptsOnlyItsOwnStatus) {
    std::string seen;
    EXPECT_TRUE(probeKernelRunsI386([&](const std::string& image) {
        seen = image;
        return 42;
    }));
    EXPECT_EQ(seen, probeProgramImage());
    // A kernel without IA-32 emulation refuses the exec (ENOEXEC): the start fails.
    EXPECT_FALSE(probeKernelRunsI386([](const std::string&) { return -1; }));
    EXPECT_FALSE(probeKernelRunsI386([](const std::string&) { return 127; }));
    EXPECT_FALSE(probeKernelRunsI386([](const std::string&) { return 0; }));
}

// Where qemu-i386 is installed, the probe image is a real program that ends with 42.
TEST(I386Probe, TheProbeImageIsAnI386ProgramThatEndsWith42) {
    const fs::path file = fs::path(::testing::TempDir()) / ("probe-" + std::to_string(getpid()));
    std::ofstream(file, std::ios::binary) << probeProgramImage();
    fs::permissions(file, fs::perms::owner_all);
    EXPECT_TRUE(isI386Program(file.string()));
    const std::string emulator = findQemuI386();
    if (emulator.empty()) GTEST_SKIP() << "qemu-i386 is not installed";
    EXPECT_EQ(runCaptured({emulator, file.string()}).exitCode, 42);
    fs::remove(file);
}

class I386Files : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) / ("i386-files-" + std::to_string(getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string write(const std::string& name, const std::string& bytes) {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        fs::permissions(path, fs::perms::owner_all);
        return path.string();
    }
    fs::path folder_;
};

TEST_F(I386Files, OnlyLittleEndian32BitElfFilesForThe386Count) {
    std::string image = probeProgramImage();
    EXPECT_TRUE(isI386Program(write("prog.exe", image)));
    std::string amd64 = image;
    amd64[4] = 2;    // ELFCLASS64
    amd64[18] = 62;  // EM_X86_64
    EXPECT_FALSE(isI386Program(write("amd64", amd64)));
    std::string arm = image;
    arm[18] = 40;  // EM_ARM
    EXPECT_FALSE(isI386Program(write("arm", arm)));
    EXPECT_FALSE(isI386Program(write("script", "#!/bin/sh\nexit 0\n")));
    EXPECT_FALSE(isI386Program(write("short",
                                     "\x7F"
                                     "ELF")));
    EXPECT_FALSE(isI386Program((folder_ / "missing").string()));
}

TEST_F(I386Files, TheStartCommandPutsTheEmulatorInFrontOfI386ProgramsOnly) {
    const std::string program = write("实验 1.exe", probeProgramImage());
    const std::string script = write("tool", "#!/bin/sh\n");
    const I386Host native{I386Way::Native, "", ""};
    const I386Host emulated{I386Way::Emulated, "/usr/bin/qemu-i386", ""};
    const I386Host unavailable{I386Way::Unavailable, "", ""};

    EXPECT_EQ(planProgramStart({program, "a b"}, native).argv, (std::vector<std::string>{program, "a b"}));
    EXPECT_EQ(planProgramStart({program, "a b"}, emulated).argv,
              (std::vector<std::string>{"/usr/bin/qemu-i386", program, "a b"}));
    EXPECT_EQ(planProgramStart({script}, emulated).argv, (std::vector<std::string>{script}));
    EXPECT_EQ(planProgramStart({"sh", "-c", "true"}, emulated).argv, (std::vector<std::string>{"sh", "-c", "true"}));

    const ProgramStart refused = planProgramStart({program}, unavailable);
    EXPECT_NE(refused.refusal.find("qemu-user"), std::string::npos) << refused.refusal;
    EXPECT_TRUE(planProgramStart({script}, unavailable).refusal.empty());
}

TEST(I386Texts, EachWayHasItsRow) {
    EXPECT_EQ(describeI386Host({I386Way::Native, "", ""}), "本机直接运行 32 位程序");
    EXPECT_EQ(describeI386Host({I386Way::Emulated, "/usr/bin/qemu-i386", ""}), "通过 qemu-i386 运行 32 位程序");
    EXPECT_NE(describeI386Host({I386Way::Unavailable, "", ""}).find("apt install qemu-user"), std::string::npos);
}

}  // namespace
