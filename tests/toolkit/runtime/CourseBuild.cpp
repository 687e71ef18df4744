// The build-and-run helper of the run-time and end-to-end tests.
#include "CourseBuild.h"

#include "ChildProcess.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace asmora::testing {

namespace {

ToolResult toResult(const toolkit::CapturedRun& run) { return {run.started ? run.exitCode : -1, run.output}; }

ToolResult runTool(const std::vector<std::string>& argv) { return toResult(toolkit::runCaptured(argv)); }

}  // namespace

fs::path toolkitFolder() { return fs::path(TOOLKIT_OUT); }

CourseBuild::CourseBuild(fs::path folder) : folder_(std::move(folder)) {
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "Debug");
    fs::copy_file(toolkitFolder() / "io.h", folder_ / "io.h", fs::copy_options::overwrite_existing);
    fs::copy_file(COURSE_INC, folder_ / "course.inc", fs::copy_options::overwrite_existing);
}

fs::path CourseBuild::writeSource(const std::string& name, const std::string& text) const {
    const fs::path source = folder_ / (name + ".asm");
    std::ofstream(source, std::ios::binary) << text;
    return source;
}

fs::path CourseBuild::workBase(const fs::path& source) const { return folder_ / "Debug" / source.stem(); }

ToolResult CourseBuild::assemble(const fs::path& source) const {
    const std::string base = workBase(source).string();
    return runTool({(toolkitFolder() / "ML.EXE").string(), "/c", "/coff", "/Fl" + base + ".lst", "/Fo", base + ".obj",
                    "/Zi", source.string()});
}

ToolResult CourseBuild::link(const fs::path& source, const std::string& entryOption) const {
    const std::string base = workBase(source).string();
    std::vector<std::string> argv = {(toolkitFolder() / "link.exe").string(), "/debug", "/subsystem:console"};
    if (!entryOption.empty()) argv.push_back(entryOption);
    argv.insert(argv.end(), {"/out:" + base + ".exe", base + ".obj", (toolkitFolder() / "io.obj").string(),
                             (toolkitFolder() / "kernel32.lib").string()});
    return runTool(argv);
}

ToolResult CourseBuild::run(const fs::path& source, const std::string& input) const {
    const fs::path inputFile = folder_ / "input.txt";
    std::ofstream(inputFile, std::ios::binary) << input;
    return toResult(toolkit::runCaptured({workBase(source).string() + ".exe"}, inputFile.string()));
}

}  // namespace asmora::testing
