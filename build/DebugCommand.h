// Debug (`Button6Click`): opens the built program in the debugger front end
// bin/windbg.exe, after a box of tips unless `N27` is checked; with no program it
// says so and opens the debugger empty.
//   windbg.exe  -a -i "/home/u/my%20asm/Debug/hello.exe"
#pragma once

#include <QString>

namespace asmora::build {

struct TBuildContext;

// " -a -i " + the quoted executable path with every blank written "%20".
QString debuggerArguments(const QString& executable);

// The tips box text for the executable, its pieces joined by LF CR LF CR.
QString debugTipsText(const QString& executable);

void debugProgram(const TBuildContext& context);

}  // namespace asmora::build
