// The console template that frames a student's program in its console window:
// its file form (bin/ExecM.dll, a batch text), its editable form (what the template
// editor shows and Backup.dat holds), the built-in default, and the run batch
// bin/ml.bat made from it.
//
//   editable form           file form
//   Hello                   echo Hello
//   (empty line)            echo.
//   ;;Color F1              Color F1
//   ;;%FILENAME%            %FILENAME%      (the run batch: "/home/u/Debug/hello.exe")
#pragma once

#include "platform/ProgramFolder.h"

#include <QString>
#include <QStringList>

namespace asmora::build {

// The marker that the run batch replaces by the executable's quoted path.
inline constexpr char16_t kFileNameMarker[] = u"%FILENAME%";

// The built-in template, 25 lines in file form.
QStringList defaultTemplate();
// Replaces the file at `path` with the built-in template; raises platform::Error.
void writeDefaultTemplate(const QString& path);

// File form to editable form: "@echo off", "pause>NUL" and "del ml.bat" (any case)
// are dropped; an echo line ("echo text", "echo.", "echo") becomes its text; any
// other line becomes ";;" + the line.
QStringList fileToEditable(const QStringList& fileLines);

// Editable form to file form: "@echo off" first and "pause>NUL" last; an empty line
// becomes "echo.", a line with ";;" loses its first ";;" and stays a command, any
// other line becomes "echo " + the line. A text line right after the program line
// gets an "echo." before it, so the program's output ends with a blank line.
QStringList editableToFile(const QStringList& editableLines);

// The line that makes a batch delete itself: del /A:H /Q "<batch path>".
QString selfDeleteLine(const QString& batchFile);

// The run batch: the template with the first marker of each line replaced by the
// quoted executable path, then the self-delete line.
QStringList runBatch(const QStringList& templateLines, const QString& executable, const QString& batchFile);

// The template editor's test batch: the editable lines in file form (the marker
// stays), then the self-delete line.
QStringList testBatch(const QStringList& editableLines, const QString& batchFile);

// A path as the batch names it. A path that code page 936 can carry is written as
// text; any other keeps its file-system bytes, which the console host falls back to.
QString pathForBatch(const QString& path);

// `Recovery`: when Backup.dat lies beside the program, rewrites ExecM.dll from it
// through the editable-to-file conversion. Raises platform::Error when a file
// cannot be read or written; ExecM.dll is then unchanged.
void restoreTemplateFromBackup(const platform::ProgramFolder& programFolder);

}  // namespace asmora::build
