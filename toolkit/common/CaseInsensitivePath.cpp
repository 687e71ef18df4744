// Case-insensitive lookup of file paths, one component at a time.
#include "CaseInsensitivePath.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace asmora::toolkit {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool exists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

bool isRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string join(const std::string& folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    if (folder.back() == '/') return folder + std::string(name);
    return folder + "/" + std::string(name);
}

// The entry of `folder` that matches `name`, the first by byte order when several do.
std::optional<std::string> findEntry(const std::string& folder, std::string_view name, const NameMatch& sameName) {
    DIR* entries = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!entries) return std::nullopt;
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view entryName = entry->d_name;
        if (entryName == "." || entryName == "..") continue;
        if (sameName(entryName, name) && (!found || entryName < *found)) found = std::string(entryName);
    }
    ::closedir(entries);
    return found;
}

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

std::string toLowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), lowerAscii);
    return text;
}

std::optional<std::string> resolveCaseInsensitive(const std::string& path, const NameMatch& sameName) {
    if (path.empty()) return std::nullopt;
    if (exists(path)) return path;
    std::string resolved = path.front() == '/' ? "/" : "";
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        const std::string_view part(path.data() + start, slash - start);
        start = slash + 1;
        if (part.empty()) continue;
        const std::string exact = join(resolved, part);
        if (part == "." || part == ".." || exists(exact)) {
            resolved = exact;
            continue;
        }
        const auto match = findEntry(resolved, part, sameName);
        if (!match) return std::nullopt;
        resolved = join(resolved, *match);
    }
    return resolved;
}

std::optional<std::string> resolveCaseInsensitiveFile(const std::string& path) {
    auto resolved = resolveCaseInsensitive(path);
    if (resolved && isRegularFile(*resolved)) return resolved;
    return std::nullopt;
}

}  // namespace asmora::toolkit
