// The program entry: the checks made before any window exists (the editing library
// beside the program, a single running copy), the splash, and the creation of the
// windows in their order.
#pragma once

#include "app/Services.h"
#include "platform/ProgramFolder.h"

#include <QString>
#include <QStringList>

#include <cstdio>

namespace platform {
class ShellService;
}

namespace asmora::app {

struct EntryOptions {
    platform::ProgramFolder programFolder;
    QString programPath;       // started again after the first-run extraction
    QStringList arguments;     // after the program's own name
    QString instanceLockName;  // "Asmora(Norwick版)"
};

// Runs the program; returns its exit status when the main window has closed (or at
// once for the first-run restart and a refused second copy).
int runProgram(const EntryOptions& options, Services services);

// Writes SciLexer.dll beside the program when it is missing. Returns true when it
// was written (the caller then asks for a restart). Raises platform::Error.
bool extractEditingLibrary(const platform::ProgramFolder& programFolder);

// `asmora --deploy`: without a window, writes SciLexer.dll and the carried tool kit
// into the program folder, as the first starts do, and prints the tool-kit check's
// rows (UTF-8) to `out`. For installers, administrators and tests. Returns 0, or 1
// with the reason printed when a file cannot be written.
inline constexpr char kDeployOption[] = "--deploy";
int deployToolKit(const platform::ProgramFolder& programFolder, platform::ShellService& shell, std::FILE* out);

// The folder the program treats as the system folder: one of its own.
QString systemFolder(const platform::ProgramFolder& programFolder);

}  // namespace asmora::app
