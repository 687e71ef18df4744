// The checks every command on the current source makes first: a saved file must be
// loaded, and it must be an assembly source (".asm" in any letter case). Each
// command refuses with a type message and a numbered caption of its own.
#pragma once

#include <QString>

namespace asmora::build {

struct TBuildContext;

enum class SourceCommand { Assemble, Link, Run, Clean, Listing };

// Shows the refusal and returns false when `path` names no file or no ".asm" file.
bool checkSource(const TBuildContext& context, const QString& path, SourceCommand command);

// A refusal: OK button and the warning icon.
void warn(const TBuildContext& context, const QString& text, const QString& caption);
// A notice: OK button and the information icon.
void inform(const TBuildContext& context, const QString& text, const QString& caption);

}  // namespace asmora::build
