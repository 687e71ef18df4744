// Splitting a command line into arguments by the Windows rules, so that the command
// lines the IDE builds (`bin/ml.exe /c /coff /Fl"W.lst" ...`) reach our Linux tools
// as a Windows tool would receive them: the Qt side of toolkit/common's
// WindowsCommandLine.h, which states the rules.
#pragma once

#include "toolkit/common/WindowsCommandLine.h"

#include <QString>
#include <QStringList>

namespace platform {

QStringList splitWindowsCommandLine(const QString& commandLine);

using asmora::toolkit::Quoting;

//   a" -Fo "b.asm   ->  "a\" -Fo \"b.asm"
QString quoteWindowsArgument(const QString& argument, Quoting quoting = Quoting::WhenNeeded);

}  // namespace platform
