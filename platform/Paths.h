// Program folder and path helpers, including the case-insensitive resolution of file
// names that Windows programs and course scripts rely on (`bin/ml.exe` is `bin/ML.EXE`).
#pragma once

#include <QString>

namespace platform {

// The program folder, without a trailing separator: where the program keeps its
// writable part (SciLexer.dll, bin/ with the tool kit and the settings, the backup
// of the console template). It is the folder holding the running program file,
// unless that folder is an installed one (it holds the marker file below) or is not
// writable: then it is the user's own folder (userProgramFolder), created here, so
// users of one machine never share settings or work files. Tests may set it to a
// temporary folder; the value is then fixed for the process.
QString programFolder();
void setProgramFolder(const QString& folder);

// The marker file an installed program has beside it.
inline constexpr char16_t kInstalledMarker[] = u"asmora-installed";
// $XDG_DATA_HOME/asmora, or ~/.local/share/asmora when XDG_DATA_HOME is unset.
QString userProgramFolder();
// The choice programFolder makes, from the program file's folder.
QString chooseProgramFolder(const QString& executableFolder, const QString& userFolder);

// The folder of the running executable as the system reports it (/proc/self/exe).
QString executablePath();

bool fileExists(const QString& path);  // a file (not a folder) is at path
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
