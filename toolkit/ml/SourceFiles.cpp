// Loading source files, finding INCLUDE files and writing outputs.
#include "SourceFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AtomicFile.h"
#include "CaseInsensitivePath.h"
#include "Text.h"

namespace ml {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string joinPath(const std::string& dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    if (dir.back() == '/') return dir + std::string(name);
    return dir + "/" + std::string(name);
}

}  // namespace

void SourceFiles::splitLines(SourceFile& f) {
    std::string_view all = f.contents;
    if (all.size() >= 3 && all.substr(0, 3) == "\xEF\xBB\xBF") all.remove_prefix(3);
    // A Ctrl-Z ends the text, as DOS editors wrote it.
    if (auto z = all.find('\x1A'); z != std::string_view::npos) all = all.substr(0, z);
    // One string_view a line: count them first so the vector is allocated once.
    std::size_t count = 0;
    for (const char *p = all.data(), *end = all.data() + all.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)))) != nullptr; ++p)
        ++count;
    f.lines.reserve(count + 1);
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        std::size_t next = end == std::string_view::npos ? all.size() : end + 1;
        if (end == std::string_view::npos) end = all.size();
        std::string_view line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        f.lines.push_back(line);
        start = next;
    }
}

std::optional<std::uint32_t> SourceFiles::load(const std::string& path, std::string* error) {
    std::FILE* fp = isRegularFile(path) ? std::fopen(path.c_str(), "rb") : nullptr;
    if (!fp) {
        if (error) *error = exists(path) ? "not a readable file" : "no such file";
        return std::nullopt;
    }
    SourceFile& f = files_.emplace_back();
    f.path = path;
    f.displayName = path;
    // Read in one piece when the size is known; a file that grows meanwhile is read on.
    struct stat st {};
    if (::fstat(::fileno(fp), &st) == 0 && st.st_size > 0) {
        f.contents.resize(static_cast<std::size_t>(st.st_size));
        f.contents.resize(std::fread(f.contents.data(), 1, f.contents.size(), fp));
    }
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, fp)) > 0) f.contents.append(buffer, got);
    bool failed = std::ferror(fp) != 0;
    std::fclose(fp);
    if (failed) {
        files_.pop_back();
        if (error) *error = "read error";
        return std::nullopt;
    }
    splitLines(f);
    return static_cast<std::uint32_t>(files_.size() - 1);
}

void SourceFiles::releaseLineIndexes() {
    for (SourceFile& f : files_) f.lines = std::vector<std::string_view>{};
}

std::uint32_t SourceFiles::addText(std::string name, std::string contents) {
    SourceFile& f = files_.emplace_back();
    f.path = name;
    f.displayName = std::move(name);
    f.contents = std::move(contents);
    splitLines(f);
    return static_cast<std::uint32_t>(files_.size() - 1);
}

std::string SourceFiles::directoryOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return "";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::optional<std::string> SourceFiles::findInclude(std::string_view name, const std::string& includerDir,
                                                    const std::vector<std::string>& searchDirs) {
    std::string wanted(name);
    for (char& c : wanted)
        if (c == '\\') c = '/';
    if (wanted.empty()) return std::nullopt;
    if (wanted[0] == '/') return asmora::toolkit::resolveCaseInsensitiveFile(wanted);
    if (auto found = asmora::toolkit::resolveCaseInsensitiveFile(joinPath(includerDir, wanted))) return found;
    for (const std::string& dir : searchDirs)
        if (auto found = asmora::toolkit::resolveCaseInsensitiveFile(joinPath(dir, wanted))) return found;
    return std::nullopt;
}

std::string writeFileAtomically(const std::string& path, const std::string& bytes) {
    using asmora::toolkit::AtomicWriteOptions;
    AtomicWriteOptions options;
    options.links = AtomicWriteOptions::Links::Refuse;
    options.permissions = AtomicWriteOptions::Permissions::FromUmask;
    options.refuseReadOnly = false;
    options.synced = false;
    const auto problem = asmora::toolkit::writeFileAtomically(path, bytes, options);
    if (!problem) return "";
    if (problem->kind == asmora::toolkit::WriteProblem::Kind::System) return std::strerror(problem->error);
    // The rename would put a plain file in the place of a link, a device or a pipe.
    return "not a regular file; it is left as it is";
}

}  // namespace ml
