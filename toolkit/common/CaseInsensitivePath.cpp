// Case-insensitive lookup of file paths, one component at a time.
#include "CaseInsensitivePath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace asmora::toolkit {

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
  return toLowerAscii(a) == toLowerAscii(b);
}

std::string toLowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
  });
  return text;
}

namespace {

bool pathExists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

// The entry of `folder` whose name equals `name` ignoring case, if any.
std::optional<fs::path> findEntry(const fs::path& folder, const std::string& name) {
  std::error_code error;
  fs::directory_iterator entries(folder.empty() ? fs::path(".") : folder, error);
  if (error) return std::nullopt;
  for (const auto& entry : entries) {
    if (equalsIgnoringCase(entry.path().filename().string(), name)) {
      return folder / entry.path().filename();
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> resolveCaseInsensitive(const std::string& path) {
  if (path.empty()) return std::nullopt;
  if (pathExists(path)) return path;
  fs::path resolved;
  for (const auto& component : fs::path(path)) {
    const std::string name = component.string();
    if (name.empty()) continue;
    fs::path exact = resolved / component;
    if (name == "/" || name == "." || name == ".." || pathExists(exact)) {
      resolved = exact;
      continue;
    }
    auto match = findEntry(resolved, name);
    if (!match) return std::nullopt;
    resolved = *match;
  }
  return resolved.string();
}

}  // namespace asmora::toolkit
