// Loading source files, finding INCLUDE files and writing outputs atomically.
#include "SourceFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Text.h"

namespace ml {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
}

// The entry of `dir` whose name equals `name` ignoring case, if any.
std::optional<std::string> matchInFolder(const std::string& dir, std::string_view name) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::nullopt;
    std::optional<std::string> found;
    while (dirent* e = ::readdir(d)) {
        if (equalsNoCase(e->d_name, name)) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
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
    for (const char* p = all.data(), *end = all.data() + all.size();
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
    struct stat st{};
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

std::optional<std::string> SourceFiles::resolveCaseInsensitive(const std::string& path) {
    if (isRegularFile(path)) return path;
    std::string resolved = path.size() && path[0] == '/' ? "/" : "";
    std::size_t pos = resolved.size();
    while (pos <= path.size()) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string::npos) slash = path.size();
        std::string_view part(path.data() + pos, slash - pos);
        if (!part.empty()) {
            std::string candidate = joinPath(resolved, part);
            if (part == "." || part == ".." || exists(candidate)) {
                resolved = candidate;
            } else {
                auto match = matchInFolder(resolved, part);
                if (!match) return std::nullopt;
                resolved = joinPath(resolved, *match);
            }
        }
        pos = slash + 1;
    }
    if (isRegularFile(resolved)) return resolved;
    return std::nullopt;
}

std::optional<std::string> SourceFiles::findInclude(std::string_view name, const std::string& includerDir,
                                                    const std::vector<std::string>& searchDirs) {
    std::string wanted(name);
    for (char& c : wanted)
        if (c == '\\') c = '/';
    if (wanted.empty()) return std::nullopt;
    if (wanted[0] == '/') return resolveCaseInsensitive(wanted);
    if (auto found = resolveCaseInsensitive(joinPath(includerDir, wanted))) return found;
    for (const std::string& dir : searchDirs)
        if (auto found = resolveCaseInsensitive(joinPath(dir, wanted))) return found;
    return std::nullopt;
}

bool isRegularOrMissing(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) != 0 ? errno == ENOENT : S_ISREG(st.st_mode);
}

std::string writeFileAtomically(const std::string& path, const std::string& bytes) {
    // The rename would put a plain file in the place of a link, a device or a pipe.
    if (!isRegularOrMissing(path)) return "not a regular file; it is left as it is";
    std::string temp = path + ".tmp-XXXXXX";
    std::vector<char> pattern(temp.begin(), temp.end());
    pattern.push_back('\0');
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return std::strerror(errno);
    std::string tempPath(pattern.data());
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    std::string error;
    while (left > 0) {
        ssize_t wrote = ::write(fd, p, left);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            break;
        }
        p += wrote;
        left -= static_cast<std::size_t>(wrote);
    }
    // The rename makes the new file appear whole or not at all; the data is not forced
    // to disk first (fsync would cost more than the assembly itself).
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::close(fd) != 0 && error.empty()) error = std::strerror(errno);
    if (error.empty() && ::rename(tempPath.c_str(), path.c_str()) != 0) error = std::strerror(errno);
    if (!error.empty()) ::unlink(tempPath.c_str());
    return error;
}

}  // namespace ml
