// Source files of one assembly: loaded once, split into lines, found along the
// include path with Windows-style case-insensitive name resolution.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ml {

struct SourceFile {
    std::string path;         // as opened (absolute or relative to the cwd)
    std::string displayName;  // as printed in diagnostics and the listing
    std::string contents;
    std::vector<std::string_view> lines;  // without line ends
};

class SourceFiles {
public:
    // Loads `path`; returns its id or nothing when it cannot be read.
    std::optional<std::uint32_t> load(const std::string& path, std::string* error = nullptr);
    // Adds text that does not come from a file (tests, fuzzing).
    std::uint32_t addText(std::string name, std::string contents);

    const SourceFile& file(std::uint32_t id) const { return files_[id]; }
    // Frees the line index of every file once the preprocessor has read them all; the
    // text, which the read lines point into, stays.
    void releaseLineIndexes();
    std::size_t count() const { return files_.size(); }

    // Finds an INCLUDE file: the including file's folder, then `searchDirs` in order.
    // Backslashes count as folder separators; a missing component is matched ignoring case.
    static std::optional<std::string> findInclude(std::string_view name, const std::string& includerDir,
                                                  const std::vector<std::string>& searchDirs);
    static std::string directoryOf(const std::string& path);

private:
    std::deque<SourceFile> files_;
    static void splitLines(SourceFile& f);
};

// Writes `bytes` to `path` atomically (toolkit/common's AtomicFile.h), as a compiler
// writes its outputs: a failure never leaves a half-written file and an old file stays
// whole until the new one replaces it; the new file's mode comes from the umask, and
// the data is not forced to disk first (that would cost more than the assembly).
// Only a regular file is replaced: a symbolic link, a device, a pipe or a folder at
// `path` is an error and stays. Returns an error text or "".
std::string writeFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace ml
