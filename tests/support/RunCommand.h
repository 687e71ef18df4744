// Runs a shell command line for a test and collects what it printed.
#pragma once

#include <string>

namespace asmora::testing {

// Runs `command` through /bin/sh; returns its exit status (-1 when it did not exit
// normally) and fills `output` with its standard output and error, interleaved.
int runCommand(const std::string& command, std::string* output = nullptr);

}  // namespace asmora::testing
