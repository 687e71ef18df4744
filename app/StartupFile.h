// The source file named on the command line. The shell splits an unquoted path with
// blanks into several arguments, so they are joined again with single blanks until
// the text names an existing file.
#pragma once

#include <QString>
#include <QStringList>

namespace asmora::app {

// `arguments` excludes the program itself. Returns the joined text at the point where
// it first names an existing file, or the whole joined text when none does.
QString resolveStartupFile(const QStringList& arguments);

}  // namespace asmora::app
