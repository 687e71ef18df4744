// Assemble and link: each writes a header into the output list, puts the tool's
// command line into the command box and, with auto-execution on, runs it at once.
//   bin/ml.exe /c /coff /Fl"W.lst" /Fo "W.obj" /Zi "P"
//   bin/link.exe /debug /subsystem:console /entry:start /out:"W.exe" "W.obj" "D/bin/io.obj" "D/bin/kernel32.lib"
// (W the work base, P the source, D the program folder.)
#pragma once

#include "platform/ProgramFolder.h"

#include <QString>

namespace asmora::build {

struct TBuildContext;
struct WorkFiles;

// The assembler's command line, with its one trailing blank.
QString assemblerCommand(const WorkFiles& files, const QString& sourcePath);
QString linkerCommand(const WorkFiles& files, const platform::ProgramFolder& programFolder);

// `Button1Click`: saves the source, writes io.h beside it when missing, deletes the
// stale work files, writes the header and the command, runs it (when automatic),
// then pauses one second.
void assembleSource(const TBuildContext& context);

// `Button2Click`: writes the header and the linker command and runs it (when
// automatic). It neither saves nor deletes anything.
void linkObject(const TBuildContext& context);

}  // namespace asmora::build
