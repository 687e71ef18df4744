// Finds a file the way Windows would: a path component that does not exist with
// its exact spelling matches an entry of its folder that differs only in letter case.
#pragma once

#include <optional>
#include <string>

namespace asmora::toolkit {

// Returns `path` itself when it exists, else the existing path whose components
// match it ignoring ASCII letter case, else nothing. The first match in folder
// order wins when several entries differ only in case.
std::optional<std::string> resolveCaseInsensitive(const std::string& path);

// Compares two names ignoring ASCII letter case.
bool equalsIgnoringCase(const std::string& a, const std::string& b);

// Returns the text in lower case (ASCII letters only).
std::string toLowerAscii(std::string text);

}  // namespace asmora::toolkit
