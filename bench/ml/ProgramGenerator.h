// Writes the benchmark program: the same instructions and data in three syntaxes.
#pragma once

#include <cstddef>
#include <string>

namespace mlbench {

enum class Syntax { Masm, Nasm, Gas };

// About `lines` lines: a data section, then procedures with loops, forward and
// backward jumps, memory operands on data labels, and calls between procedures.
std::string generateProgram(Syntax syntax, std::size_t lines);

}  // namespace mlbench
