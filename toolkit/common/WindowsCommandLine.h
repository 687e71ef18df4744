// Splits a command-line string into arguments by the Windows rules: blanks
// separate, double quotes group, backslashes count only before a quote.
//   /Fl"x y" -a  ->  [/Flx y] [-a]
//   "C:\a b\" c  ->  [C:\a b" c]   (a backslash before a quote escapes it)
#pragma once

#include <string>
#include <vector>

namespace asmora::toolkit {

std::vector<std::string> splitWindowsCommandLine(const std::string& line);

// True when an argument that begins with "/" is a Windows switch ("/out:x", "/Q",
// "/A:H") rather than a Linux path: it has no second "/" before any ":" and names
// no existing file ("/a.obj" at the root is a file when it exists).
bool isSlashSwitch(const std::string& argument);

}  // namespace asmora::toolkit
