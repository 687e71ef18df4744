// The listing file (/Fl) in the layout of MASM 6: page header, one row per source
// line with offset and code, then the tables of macros, segments, procedures and
// symbols, and the warning and error counts.
#pragma once

#include <ctime>
#include <string>

namespace ml {

class Assembler;
class DiagnosticSink;

// `when` is the time shown in the page headers.
std::string writeListing(const Assembler& assembler, const DiagnosticSink& diagnostics, std::time_t when);

}  // namespace ml
