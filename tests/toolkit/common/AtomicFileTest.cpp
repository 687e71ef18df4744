// Atomic writes with each policy: links written through or refused, the two ways
// of choosing permissions, read-only targets, and why a write failed.
#include "AtomicFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace asmora::toolkit;
using Kind = WriteProblem::Kind;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

mode_t modeOf(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

std::size_t entriesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

AtomicWriteOptions compilerOutput() {
    AtomicWriteOptions options;
    options.links = AtomicWriteOptions::Links::Refuse;
    options.permissions = AtomicWriteOptions::Permissions::FromUmask;
    options.refuseReadOnly = false;
    options.synced = false;
    return options;
}

}  // namespace

TEST(AtomicFile, ALinkIsWrittenThroughOrRefusedAsThePolicySays) {
    TempFolder folder;
    const std::string real = folder.write("real.obj", "old");
    std::filesystem::create_symlink(real, folder / "link.obj");
    const auto refused = writeFileAtomically(folder / "link.obj", "new", compilerOutput());
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->kind, Kind::NotRegular);
    EXPECT_EQ(readAll(real), "old");
    EXPECT_FALSE(writeFileAtomically(folder / "link.obj", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.obj"));
    EXPECT_EQ(readAll(real), "new");
    EXPECT_EQ(entriesIn(folder.path()), 2u);
}

TEST(AtomicFile, EachRefusalSaysWhatIsWrong) {
    TempFolder folder;
    std::filesystem::create_directories(folder / "folder");
    std::filesystem::create_symlink(folder / "nowhere", folder / "dangling");
    std::filesystem::create_symlink("/dev/null", folder / "device");
    const std::string locked = folder.write("locked.asm", "keep");
    ::chmod(locked.c_str(), 0444);
    const bool rootWritesAnything = ::access(locked.c_str(), W_OK) == 0;
    const struct {
        std::string name;
        Kind kind;
        FileKind fileKind;
        int error;
    } cases[] = {
        {"folder", Kind::NotRegular, FileKind::Folder, 0},
        {"device", Kind::NotRegular, FileKind::Device, 0},
        {"dangling", Kind::DanglingLink, FileKind::Unknown, 0},
        {"missing/x.asm", Kind::System, FileKind::Unknown, ENOENT},
        {"locked.asm", Kind::ReadOnly, FileKind::Unknown, 0},
    };
    for (const auto& c : cases) {
        if (c.kind == Kind::ReadOnly && rootWritesAnything) continue;
        const auto problem = writeFileAtomically(folder / c.name, "new");
        ASSERT_TRUE(problem) << c.name;
        EXPECT_EQ(problem->kind, c.kind) << c.name;
        EXPECT_EQ(problem->fileKind, c.fileKind) << c.name;
        EXPECT_EQ(problem->error, c.error) << c.name;
    }
    if (!rootWritesAnything) EXPECT_EQ(readAll(locked), "keep");
    // A compiler replaces its read-only output as it would replace any other.
    EXPECT_FALSE(writeFileAtomically(locked, "new", compilerOutput()));
    EXPECT_EQ(readAll(locked), "new");
}

TEST(AtomicFile, PermissionsAreKeptOrTakenFromTheUmask) {
    TempFolder folder;
    const std::string kept = folder.write("kept", "x");
    ::chmod(kept.c_str(), 0600);
    ASSERT_FALSE(writeFileAtomically(kept, "y"));
    EXPECT_EQ(modeOf(kept), 0600u);

    const mode_t saved = ::umask(027);
    const std::string output = folder.write("out.obj", "x");
    ::chmod(output.c_str(), 0600);
    const auto problem = writeFileAtomically(output, "y", compilerOutput());
    ::umask(saved);
    ASSERT_FALSE(problem);
    EXPECT_EQ(modeOf(output), 0640u);
}

TEST(AtomicFile, AWriterWithoutCommitLeavesTheTargetAsItWas) {
    TempFolder folder;
    const std::string target = folder.write("lab.asm", "saved");
    {
        AtomicFileWriter writer(target);
        ASSERT_TRUE(writer.write("half"));
        EXPECT_EQ(std::filesystem::path(writer.temporaryPath()).filename().string().rfind(".lab.asm.asmora-", 0), 0u);
    }
    EXPECT_EQ(readAll(target), "saved");
    EXPECT_EQ(entriesIn(folder.path()), 1u);
    EXPECT_EQ(removeStaleTemporaryFiles(target), 0);
}

TEST(AtomicFile, FileKindsFollowLinks) {
    TempFolder folder;
    const std::string file = folder.write("a", "x");
    std::filesystem::create_symlink(file, folder / "to-a");
    EXPECT_EQ(fileKindOf(folder / "to-a"), FileKind::Regular);
    EXPECT_EQ(fileKindOf(folder.path()), FileKind::Folder);
    EXPECT_EQ(fileKindOf(folder / "none"), FileKind::Missing);
    EXPECT_TRUE(isRegularOrMissing(file));
    EXPECT_TRUE(isRegularOrMissing(folder / "none"));
    EXPECT_FALSE(isRegularOrMissing(folder / "to-a"));
}
