// Starts child programs for the carried tools: with their output captured, or on
// the caller's own terminal.
#pragma once

#include <string>
#include <vector>

namespace asmora::toolkit {

struct CapturedRun {
  bool started = false;   // false when the program could not be executed at all
  int exitCode = -1;      // the exit status, or 128 + signal number
  std::string output;     // standard output and standard error, interleaved
};

// Runs argv[0] (searched on PATH when it has no slash) with stdin from /dev/null
// and stdout and stderr captured together; waits for it to end.
CapturedRun runCaptured(const std::vector<std::string>& argv);

// Runs argv[0] with the caller's standard input, output and error and waits for it.
// Returns the exit status (128 + signal number when killed), or -1 when the
// program could not be started; `startError` then holds the system's reason.
int runOnTerminal(const std::vector<std::string>& argv, std::string* startError = nullptr);

// Returns the folder holding the running executable (from /proc/self/exe).
std::string ownExecutableFolder();

}  // namespace asmora::toolkit
