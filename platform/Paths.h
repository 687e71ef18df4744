// Program folder and path helpers, including the case-insensitive resolution of file
// names that Windows programs and course scripts rely on (`bin/ml.exe` is `bin/ML.EXE`).
#pragma once

#include <QString>

namespace platform {

// The folder holding the running program file, without a trailing separator.
// Tests may set it to a temporary folder; the value is then fixed for the process.
QString programFolder();
void setProgramFolder(const QString& folder);

// The folder of the running executable as the system reports it (/proc/self/exe).
QString executablePath();

bool fileExists(const QString& path);       // a file (not a folder) is at path
bool folderExists(const QString& path);

// Resolves `path` as Windows would on a case-insensitive file system: when the exact
// path exists it is returned unchanged; otherwise every component that is missing is
// looked up in its folder ignoring case. Returns the path unchanged when some
// component has no match, so callers report the name the user gave.
QString resolveCaseInsensitive(const QString& path);

// "D:/a/b.asm" -> "D:/a" (no trailing separator); "b.asm" -> "".
QString folderOf(const QString& path);
// "D:/a/b.asm" -> "b.asm".
QString fileNameOf(const QString& path);
// The last extension with its dot, "" when there is none: "a.b.asm" -> ".asm".
QString extensionOf(const QString& path);
// The file name without its last extension: "a.b.asm" -> "a.b".
QString baseNameOf(const QString& path);

}  // namespace platform
