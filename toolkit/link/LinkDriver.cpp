// Resolution of inputs, the ld command, and the all-or-nothing output write.
#include "LinkDriver.h"

#include "HostPrograms.h"

#include "CaseInsensitivePath.h"
#include "LinkMessages.h"
#include "ChildProcess.h"
#include "LdDiagnostics.h"
#include "LinkCommandLine.h"
#include "ObjectCheck.h"
#include "ObjectDirectives.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace asmora::link {

namespace {

constexpr const char* kBanner = "Asmora Linker 1.0 for 32-bit x86 console programs (GNU ld underneath)";

constexpr const char* kUsage =
    "usage: LINK [options] files...\n"
    "\n"
    "   options:\n"
    "      /DEBUG                keep the debugging information\n"
    "      /ENTRY:symbol         entry point (start means the symbol _start)\n"
    "      /LIBPATH:folder       another folder to search for inputs\n"
    "      /NOLOGO               no banner\n"
    "      /OUT:filename         the executable to write\n"
    "      /SUBSYSTEM:CONSOLE    console program\n";

// The start-up stub of Kernel32.Lib calls the entry through kEntryAlias, which ld
// defines as the chosen entry, and ends the program with EAX as its status: the
// kernel starts a program with no return address on the stack, so an entry that
// returns needs somewhere to return to.
constexpr const char* kStartupSymbol = "asmoraStartup";
constexpr const char* kEntryAlias = "asmoraEntry";

struct ResolvedInput {
    std::string path;
    InputKind kind;
};

// The program's entry: /entry: when given, else the one named by END in the first
// object that names one, else start.
std::string chooseEntry(const LinkCommandLine& command, const std::vector<ResolvedInput>& inputs) {
    if (!command.entry.empty()) return entrySymbol(command.entry);
    for (const auto& input : inputs) {
        if (input.kind != InputKind::Object) continue;
        if (auto named = objectEntryDirective(input.path)) return *named;
    }
    return entrySymbol("");
}

bool startupStubAvailable(const std::vector<ResolvedInput>& inputs) {
    for (const auto& input : inputs) {
        if (input.kind == InputKind::Archive && archiveDefines(input.path, kStartupSymbol)) return true;
    }
    return false;
}

std::vector<std::string> splitLibVariable(const char* value) {
    std::vector<std::string> folders;
    std::string current;
    for (const char* c = value ? value : "";; ++c) {
        if (*c == ';' || *c == ':' || *c == '\0') {
            if (!current.empty()) folders.push_back(current);
            current.clear();
            if (*c == '\0') break;
        } else {
            current += *c;
        }
    }
    return folders;
}

// An input is looked for as written, then (for a bare file name) in the /libpath:
// folders, the LIB folders and link.exe's own folder, each case-insensitively.
std::optional<std::string> findInput(const std::string& name, const LinkCommandLine& command,
                                     const LinkEnvironment& environment) {
    if (auto found = toolkit::resolveCaseInsensitive(name)) return found;
    if (fs::path(name).has_parent_path()) return std::nullopt;
    std::vector<std::string> folders = command.libraryPaths;
    folders.insert(folders.end(), environment.libFolders.begin(), environment.libFolders.end());
    if (!environment.toolFolder.empty()) folders.push_back(environment.toolFolder);
    for (const auto& folder : folders) {
        if (auto found = toolkit::resolveCaseInsensitive((fs::path(folder) / name).string())) return found;
    }
    return std::nullopt;
}

// The output path with its folder resolved case-insensitively ("debug" finds "Debug").
std::string resolveOutputPath(const std::string& output) {
    const fs::path path(output);
    if (!path.has_parent_path()) return output;
    auto folder = toolkit::resolveCaseInsensitive(path.parent_path().string());
    return folder ? (fs::path(*folder) / path.filename()).string() : output;
}

void removeQuietly(const std::string& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

std::vector<std::string> ldArguments(const LinkEnvironment& environment, const LinkCommandLine& command,
                                     const std::vector<ResolvedInput>& inputs, const std::string& target) {
    const std::string entry = chooseEntry(command, inputs);
    std::vector<std::string> argv = {environment.linker,
                                     "-m",
                                     "elf_i386",
                                     "-static",
                                     "-nostdlib",
                                     "-z",
                                     "noexecstack",
                                     "--no-warn-rwx-segments",
                                     "--build-id=none",
                                     "--require-defined=" + entry,
                                     "-o",
                                     target};
    if (startupStubAvailable(inputs)) {
        argv.insert(argv.end(), {"-e", kStartupSymbol, std::string("--require-defined=") + kStartupSymbol,
                                 std::string("--defsym=") + kEntryAlias + "=\"" + entry + "\""});
    } else {
        argv.insert(argv.end(), {"-e", entry});
    }
    if (!command.debug) argv.push_back("--strip-debug");
    for (const auto& input : inputs) {
        if (input.kind == InputKind::Object) argv.push_back(input.path);
    }
    argv.push_back("--start-group");
    for (const auto& input : inputs) {
        if (input.kind == InputKind::Archive) argv.push_back(input.path);
    }
    argv.push_back("--end-group");
    return argv;
}

// Checks and resolves every input; prints a fatal error and returns nothing on the first failure.
std::optional<std::vector<ResolvedInput>> resolveInputs(const LinkCommandLine& command,
                                                        const LinkEnvironment& environment, std::ostream& out) {
    std::vector<ResolvedInput> inputs;
    for (const auto& name : command.inputs) {
        auto path = findInput(name, command, environment);
        if (!path) {
            out << linkMessageLine("LINK", LinkMsg::CannotOpenFile, {name}) << "\n";
            return std::nullopt;
        }
        InputCheck check = checkInputFile(*path, name);
        if (!check.kind) {
            out << "LINK : fatal error " << check.message << "\n";
            return std::nullopt;
        }
        inputs.push_back({*path, *check.kind});
    }
    return inputs;
}

}  // namespace

LinkEnvironment environmentFromProcess() {
    LinkEnvironment environment;
    if (const char* linker = std::getenv("ASMORA_LD"); linker && *linker) {
        environment.linker = linker;
    } else if (auto found = toolkit::findI386Linker()) {
        environment.linker = *found;
    }
    environment.toolFolder = toolkit::ownExecutableFolder();
    environment.libFolders = splitLibVariable(std::getenv("LIB"));
    return environment;
}

int runLink(const std::vector<std::string>& args, std::ostream& out, const LinkEnvironment& environment) {
    const LinkCommandLine command = parseLinkCommandLine(args);
    if (!command.noLogo) out << kBanner << "\n\n";
    if (command.help || command.inputs.empty()) {
        out << kUsage;
        return command.help ? 0 : 1;
    }
    for (const auto& warning : command.warnings) out << "LINK : warning " << warning << "\n";
    if (!command.errors.empty()) {
        for (const auto& error : command.errors) out << "LINK : fatal error " << error << "\n";
        return 1;
    }
    const std::string outputShown = command.output.empty() ? defaultOutputPath(command.inputs) : command.output;
    const std::string output = resolveOutputPath(outputShown);
    auto inputs = resolveInputs(command, environment, out);
    if (!inputs) {
        removeQuietly(output);
        return 1;
    }
    const std::string temp = output + "." + std::to_string(getpid()) + ".link-tmp";
    const auto run = toolkit::runCaptured(ldArguments(environment, command, *inputs, temp));
    if (!run.started) {
        out << linkMessageLine("LINK", LinkMsg::CannotStartLinker, {environment.linker}) << "\n";
        out << toolkit::missingHostProgramText(toolkit::hostProgram(toolkit::HostNeed::Link, "ld")) << "\n";
        removeQuietly(output);
        return 1;
    }
    const LinkMessages messages = translateLdOutput(run.output, {outputShown, temp});
    for (const auto& line : messages.lines) out << line << "\n";
    std::error_code renameError;
    if (run.exitCode == 0 && messages.errorCount == 0) fs::rename(temp, output, renameError);
    if (run.exitCode != 0 || messages.errorCount != 0 || renameError) {
        if (renameError) out << linkMessageLine("LINK", LinkMsg::CannotOpenFile, {outputShown}) << "\n";
        if (run.exitCode != 0 && messages.errorCount == 0) {
            out << linkMessageLine("LINK", LinkMsg::LinkerFailed, {std::to_string(run.exitCode)}) << "\n";
        }
        removeQuietly(temp);
        removeQuietly(output);
        return 1;
    }
    return 0;
}

}  // namespace asmora::link
