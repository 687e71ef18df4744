// One run of the assembler program: banner, assembly of each source, diagnostics
// printed in source order, and the object and listing files written atomically.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace ml {

// Runs ML with `args` (without the program name), printing to `out`.
// Returns the exit status: 0 when no errors were reported.
int runAssemblerProgram(const std::vector<std::string>& args, std::FILE* out);

}  // namespace ml
