// Splitting a command line into arguments by the Windows rules, so that the command
// lines the IDE builds (`bin/ml.exe /c /coff /Fl"W.lst" ...`) reach our Linux tools
// as a Windows tool would receive them.
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Rules: blanks and tabs separate arguments outside quotes; a double quote starts or
// ends a quoted run and is removed, so `/Fl"a b"` gives `/Fla b`; inside a quoted
// run two double quotes give one literal quote; 2n backslashes before a quote give
// n backslashes and the quote keeps its meaning, 2n+1 give n backslashes and a
// literal quote; backslashes elsewhere are ordinary characters. An unbalanced quote
// runs to the end of the line.
QStringList splitWindowsCommandLine(const QString& commandLine);

enum class Quoting { WhenNeeded, Always };

// Quotes one argument so that splitWindowsCommandLine gives it back unchanged, with
// every character a file name can hold: a double quote becomes \", backslashes before
// a quote or the closing quote are doubled. WhenNeeded leaves an argument without
// blanks, tabs or quotes bare; Always puts every argument in quotes.
//   a" -Fo "b.asm   ->  "a\" -Fo \"b.asm"
QString quoteWindowsArgument(const QString& argument, Quoting quoting = Quoting::WhenNeeded);

}  // namespace platform
