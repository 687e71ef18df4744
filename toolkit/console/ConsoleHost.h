// The console host: runs a batch file (code page 936 text) on the terminal it was
// started in, as a console window runs a .bat file. The program starts it as
//   xterm -maximized ... -e <program folder>/asmora --console-host <batch file>
#pragma once

#include "ConsoleDevice.h"

#include <string>

namespace asmora::console {

// The option that selects the console host on a program's command line.
inline constexpr const char* kConsoleHostOption = "--console-host";

// Entry for a program's main(): the batch path is the argument after
// "--console-host", or the first argument when that option is absent.
int runConsoleHost(int argc, char** argv);

// Runs the batch file at `path` on `device`; returns the exit status of the last
// program it ran, or 1 when the file cannot be read (after telling the user and
// waiting for a key, so the message stays readable in its window).
int runBatchFile(const std::string& path, ConsoleDevice& device);

}  // namespace asmora::console
