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
// and stdout and stderr captured together; waits for it to end. An i386 program
// starts the way this machine runs them (see I386Host.h); when it cannot run here,
// `started` is false and `output` says why.
CapturedRun runCaptured(const std::vector<std::string>& argv);
// The same with standard input read from the file `inputPath`.
CapturedRun runCaptured(const std::vector<std::string>& argv, const std::string& inputPath);

// Runs argv[0] with the caller's standard input, output and error and waits for it
// (an i386 program as in runCaptured).
// Returns the exit status (128 + signal number when killed), or -1 when the
// program could not be started; `startError` then holds the system's reason.
int runOnTerminal(const std::vector<std::string>& argv, std::string* startError = nullptr);

// Returns the folder holding the running executable (from /proc/self/exe).
std::string ownExecutableFolder();

}  // namespace asmora::toolkit
