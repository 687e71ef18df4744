// Builds and runs course programs with the carried tools only, as the IDE does:
// ML.EXE with the assemble command's options, link.exe with the link command's
// inputs (io.obj, kernel32.lib), then the program with a given standard input.
#pragma once

#include <filesystem>
#include <string>

#include "TestFiles.h"  // readFile, for the programs' expected outputs

namespace asmora::testing {

struct ToolResult {
    int exitCode = -1;
    std::string output;  // standard output and error together
};

// The folder holding the built tool kit (ML.EXE, link.exe, io.obj, Kernel32.Lib…).
std::filesystem::path toolkitFolder();

class CourseBuild {
public:
    // Work in `folder` (created); io.h is copied there, as the IDE writes it beside the
    // source, and programs/course.inc, the start the test programs share.
    explicit CourseBuild(std::filesystem::path folder);

    // Writes `text` as <folder>/<name>.asm and returns its path.
    std::filesystem::path writeSource(const std::string& name, const std::string& text) const;

    // bin/ml.exe /c /coff /Fl"W.lst" /Fo "W.obj" /Zi "P", W = <folder>/Debug/<name>.
    ToolResult assemble(const std::filesystem::path& source) const;
    // bin/link.exe /debug /subsystem:console /entry:start /out:"W.exe" "W.obj" io.obj kernel32.lib;
    // `entryOption` replaces /entry:start, and an empty one leaves it out.
    ToolResult link(const std::filesystem::path& source, const std::string& entryOption = "/entry:start") const;
    // Runs W.exe with `input` on its standard input.
    ToolResult run(const std::filesystem::path& source, const std::string& input = {}) const;

    std::filesystem::path workBase(const std::filesystem::path& source) const;
    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};

}  // namespace asmora::testing
