// Splitting a command line into arguments by the Windows rules and quoting
// arguments so that they split back unchanged. The IDE builds command lines such as
// `bin/ml.exe /c /coff /Fl"W.lst" ...` and the carried tools read them, so both sides
// use this one implementation.
//   /Fl"x y" -a  ->  [/Flx y] [-a]
//   "C:\a b\" c  ->  [C:\a b" c]   (a backslash before a quote escapes it)
#pragma once

#include <string>
#include <vector>

namespace asmora::toolkit {

// Blanks and tabs separate arguments outside quotes; a double quote starts or ends
// a quoted run and is removed; inside a quoted run two double quotes give one literal
// quote; 2n backslashes before a quote give n backslashes and the quote keeps its
// meaning, 2n+1 give n backslashes and a literal quote; backslashes elsewhere are
// ordinary characters. An unbalanced quote runs to the end of the line.
std::vector<std::string> splitWindowsCommandLine(const std::string& line);

enum class Quoting { WhenNeeded, Always };

// Quotes one argument so that splitWindowsCommandLine gives it back unchanged, with
// every character a file name can hold: a double quote becomes \", backslashes before
// a quote or the closing quote are doubled. WhenNeeded leaves an argument without
// blanks, tabs or quotes bare; Always puts every argument in quotes.
//   a" -Fo "b.asm   ->  "a\" -Fo \"b.asm"
std::string quoteWindowsArgument(const std::string& argument, Quoting quoting = Quoting::WhenNeeded);

// True when an argument that begins with "/" is a Windows switch ("/out:x", "/Q",
// "/A:H") rather than a Linux path: it has no second "/" before any ":" and names
// no existing file ("/a.obj" at the root is a file when it exists).
bool isSlashSwitch(const std::string& argument);

}  // namespace asmora::toolkit
