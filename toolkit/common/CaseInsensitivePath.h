// Finds a file the way Windows would: a path component that does not exist with
// its exact spelling matches an entry of its folder that differs only in letter case.
// This is the one implementation of the lookup; the program's Qt side and every
// carried tool use it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace asmora::toolkit {

// Decides whether a folder entry's name matches a wanted name.
using NameMatch = std::function<bool(std::string_view entry, std::string_view wanted)>;

// Compares two names ignoring ASCII letter case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Returns `path` itself when it exists, else the existing path whose missing
// components each match an entry of their folder by `sameName` (ASCII letter case
// ignored by default), else nothing. "." and ".." stay as written. When several
// entries match, the one that sorts first by its bytes wins, so the answer does not
// depend on the order the file system lists a folder in.
std::optional<std::string> resolveCaseInsensitive(const std::string& path,
                                                  const NameMatch& sameName = equalsIgnoringCase);

// The same lookup for a file to read: the result must be a regular file (also
// behind a symbolic link), else nothing.
std::optional<std::string> resolveCaseInsensitiveFile(const std::string& path);

// Returns the text in lower case (ASCII letters only).
std::string toLowerAscii(std::string text);

}  // namespace asmora::toolkit
