// Where the work files of a source file live. For /home/u/my asm/hello.asm:
//   source folder  /home/u/my asm/
//   output folder  /home/u/my asm/Debug
//   work base      /home/u/my asm/Debug/hello
// and the work files are the work base + ".exe", ".lst", ".ilk", ".obj", ".pdb".
#pragma once

#include <QString>

#include <array>

namespace asmora::build {

// The work files' extensions in the order in which clean and DelYongYu handle them.
inline constexpr std::array<const char*, 5> kWorkExtensions{".exe", ".lst", ".ilk", ".obj", ".pdb"};

struct WorkFiles {
    QString sourceFolder;  // with its trailing separator; empty for a path without folder
    QString outputFolder;  // source folder + "Debug"
    QString base;          // output folder + "/" + file name without its last extension

    QString file(const char* extension) const { return base + QString::fromLatin1(extension); }
    QString listing() const { return file(".lst"); }
    QString object() const { return file(".obj"); }
    QString executable() const { return file(".exe"); }
};

WorkFiles workFilesOf(const QString& sourcePath);

}  // namespace asmora::build
