// The link driver on real objects made by GNU as: output, messages, and that a
// failed link leaves no executable behind.
#include "ChildProcess.h"
#include "LinkDriver.h"
#include "ObjectDirectives.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace asmora;

namespace {

const char* kExitSource =
    ".intel_syntax noprefix\n"
    ".globl \"_ExitProcess@4\"\n"
    ".text\n"
    "\"_ExitProcess@4\":\n"
    "  mov ebx, [esp+4]\n"
    "  mov eax, 1\n"
    "  int 0x80\n";

const char* kMainSource =
    ".intel_syntax noprefix\n"
    ".globl _start\n"
    ".text\n"
    "_start:\n"
    "  push 3\n"
    "  call \"_ExitProcess@4\"\n";

// Kernel32.Lib's start-up stub, as the link driver expects it.
const char* kStartupSource =
    ".intel_syntax noprefix\n"
    ".globl asmoraStartup\n"
    ".text\n"
    "asmoraStartup:\n"
    "  call asmoraEntry\n"
    "  push eax\n"
    "  call \"_ExitProcess@4\"\n";

// Two entries that return; END named _main (the .drectve text ML.EXE writes).
const char* kReturningSource =
    ".intel_syntax noprefix\n"
    ".section .drectve,\"e\"\n"
    ".ascii \"/ENTRY:_main\"\n"
    ".text\n"
    ".globl _main, _start\n"
    "_main:\n"
    "  mov eax, 9\n"
    "  ret\n"
    "_start:\n"
    "  mov eax, 4\n"
    "  ret\n";

class LinkDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("link-driver-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "bin");
        fs::create_directories(root_ / "Debug");
        assemble(kExitSource, root_ / "exit.o");
        ASSERT_EQ(
            toolkit::runCaptured({"ar", "rcs", (root_ / "bin" / "Kernel32.Lib").string(), (root_ / "exit.o").string()})
                .exitCode,
            0);
        environment_.toolFolder = (root_ / "bin").string();
    }
    void TearDown() override { fs::remove_all(root_); }

    void assemble(const std::string& source, const fs::path& object) {
        const fs::path file = object.string() + ".s";
        std::ofstream(file) << source;
        auto run = toolkit::runCaptured({"as", "--32", "-g", file.string(), "-o", object.string()});
        ASSERT_EQ(run.exitCode, 0) << run.output;
    }

    int link(const std::vector<std::string>& args) {
        messages_.str("");
        return link::runLink(args, messages_, environment_);
    }

    std::string debugObject() const { return (root_ / "Debug" / "hello.obj").string(); }
    std::string executable() const { return (root_ / "Debug" / "hello.exe").string(); }

    static bool hasSection(const fs::path& file, const std::string& name) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return bytes.find(name) != std::string::npos;
    }

    fs::path root_;
    link::LinkEnvironment environment_;
    std::ostringstream messages_;
};

TEST_F(LinkDriverTest, LinksWithTheLibraryFoundCaseInsensitivelyBesideTheLinker) {
    assemble(kMainSource, debugObject());
    ASSERT_EQ(
        link({"/debug", "/subsystem:console", "/entry:start", "/out:" + executable(), debugObject(), "kernel32.lib"}),
        0)
        << messages_.str();
    EXPECT_NE(messages_.str().find("Asmora Linker"), std::string::npos);
    auto run = toolkit::runCaptured({executable()});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(hasSection(executable(), ".debug_line"));
    for (const auto& entry : fs::directory_iterator(root_ / "Debug")) {
        EXPECT_EQ(entry.path().string().find("link-tmp"), std::string::npos);
    }
}

TEST_F(LinkDriverTest, WithoutDebugTheExecutableHasNoDebugInformation) {
    assemble(kMainSource, debugObject());
    ASSERT_EQ(link({"/nologo", "/out:" + executable(), debugObject(), "KERNEL32.LIB"}), 0) << messages_.str();
    EXPECT_EQ(messages_.str(), "");
    EXPECT_FALSE(hasSection(executable(), ".debug_line"));
}

TEST_F(LinkDriverTest, UnresolvedExternalsFailAndRemoveTheOldExecutable) {
    assemble(std::string(kMainSource) + "  call \"_Missing@8\"\n", debugObject());
    std::ofstream(executable()) << "stale";
    EXPECT_NE(link({"/nologo", "/out:" + executable(), debugObject(), "kernel32.lib"}), 0);
    EXPECT_NE(messages_.str().find("hello.obj : error LNK2001: unresolved external symbol _Missing@8"),
              std::string::npos)
        << messages_.str();
    EXPECT_NE(messages_.str().find("hello.exe : fatal error LNK1120: 1 unresolved externals"), std::string::npos);
    EXPECT_FALSE(fs::exists(executable()));
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "Debug"), fs::directory_iterator()), 2);  // .obj, .obj.s
}

TEST_F(LinkDriverTest, MissingEntryPointIsReported) {
    assemble(".text\nnop\n", debugObject());
    EXPECT_NE(link({"/nologo", "/entry:start", "/out:" + executable(), debugObject()}), 0);
    EXPECT_NE(messages_.str().find("LNK2001: unresolved external symbol _start"), std::string::npos);
    EXPECT_FALSE(fs::exists(executable()));
}

TEST_F(LinkDriverTest, TheStartupStubEndsAReturningEntryWithItsStatus) {
    assemble(kStartupSource, root_ / "startup.o");
    ASSERT_EQ(
        toolkit::runCaptured({"ar", "rcs", (root_ / "bin" / "Kernel32.Lib").string(), (root_ / "startup.o").string()})
            .exitCode,
        0);
    ASSERT_TRUE(link::archiveDefines((root_ / "bin" / "Kernel32.Lib").string(), "asmoraStartup"));
    assemble(kReturningSource, debugObject());
    ASSERT_EQ(link::objectEntryDirective(debugObject()), std::optional<std::string>("_main"));
    struct Case {
        std::vector<std::string> entryOption;
        int exitCode;  // -1: the link fails
        const char* message;
    };
    const Case cases[] = {
        {{}, 9, ""},                // the entry END names
        {{"/entry:start"}, 4, ""},  // /entry: wins over END
        {{"/entry:nothere"}, -1, "LINK : error LNK2001: unresolved external symbol _nothere\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"/nologo", "/out:" + executable(), debugObject(), "kernel32.lib"};
        args.insert(args.begin() + 1, c.entryOption.begin(), c.entryOption.end());
        const int status = link(args);
        if (c.exitCode < 0) {
            EXPECT_NE(status, 0);
            EXPECT_EQ(messages_.str().find(c.message), 0u) << messages_.str();
            EXPECT_FALSE(fs::exists(executable()));
            continue;
        }
        ASSERT_EQ(status, 0) << messages_.str();
        EXPECT_EQ(toolkit::runCaptured({executable()}).exitCode, c.exitCode) << messages_.str();
        EXPECT_FALSE(hasSection(executable(), "/ENTRY:")) << "the directive stays out of the program";
    }
}

TEST_F(LinkDriverTest, DamagedInputsNameNoEntryAndNoSymbol) {
    assemble(kReturningSource, debugObject());
    std::ifstream in(debugObject(), std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string damaged[] = {
        "",
        "\x7F"
        "ELF",
        whole.substr(0, 60),
        whole.substr(0, whole.size() - 8),
        "!<arch>\n",
        "!<arch>\n/               0           0     0     0       99999     `\n\0\0\0\x05",
    };
    for (const auto& bytes : damaged) {
        std::ofstream(root_ / "damaged", std::ios::binary | std::ios::trunc) << bytes;
        const std::string path = (root_ / "damaged").string();
        EXPECT_EQ(link::objectEntryDirective(path), std::nullopt) << bytes.size();
        EXPECT_FALSE(link::archiveDefines(path, "asmoraStartup")) << bytes.size();
    }
}

TEST_F(LinkDriverTest, MissingAndForeignInputsAreRefusedBeforeLd) {
    assemble(kMainSource, debugObject());
    EXPECT_NE(link({"/nologo", "/out:" + executable(), debugObject(), "nothere.obj"}), 0);
    EXPECT_EQ(messages_.str(), "LINK : fatal error LNK1104: cannot open file 'nothere.obj'\n");

    std::ofstream(root_ / "notes.obj") << "SECTIONS { }\n";
    EXPECT_NE(link({"/nologo", "/out:" + executable(), (root_ / "notes.obj").string()}), 0);
    EXPECT_NE(messages_.str().find("LNK1107"), std::string::npos);
    EXPECT_FALSE(fs::exists(executable()));
}

TEST_F(LinkDriverTest, NoInputsPrintsUsageAndFails) {
    EXPECT_NE(link({"/nologo"}), 0);
    EXPECT_NE(messages_.str().find("usage: LINK"), std::string::npos);
}

}  // namespace
