// The link driver on real objects made by GNU as: output, messages, and that a
// failed link leaves no executable behind.
#include "ChildProcess.h"
#include "LinkDriver.h"

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

class LinkDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("link-driver-" + std::to_string(getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "bin");
    fs::create_directories(root_ / "Debug");
    assemble(kExitSource, root_ / "exit.o");
    ASSERT_EQ(toolkit::runCaptured({"ar", "rcs", (root_ / "bin" / "Kernel32.Lib").string(),
                                    (root_ / "exit.o").string()}).exitCode, 0);
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
  ASSERT_EQ(link({"/debug", "/subsystem:console", "/entry:start", "/out:" + executable(), debugObject(),
                  "kernel32.lib"}), 0)
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
            std::string::npos) << messages_.str();
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
