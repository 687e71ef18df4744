// Files for tests: a fresh temporary folder, whole-file reads and writes, and the
// path of a file in the source tree.
#pragma once

#include <filesystem>
#include <string>

namespace asmora::testing {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "asmora-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `text` as `name` (which may name sub-folders) and returns its path.
    std::filesystem::path write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path path_;
};

// The whole file as bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

// Writes `text` to `path`, creating the folders above it.
void writeFile(const std::filesystem::path& path, const std::string& text);

// A file of the source tree by its path from the top ("tests/editor/data/course.asm").
std::filesystem::path sourcePath(const std::string& tail);

}  // namespace asmora::testing
