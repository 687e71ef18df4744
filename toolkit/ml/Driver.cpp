// The program around the assembler: options, banner, outputs and exit status.
#include "Driver.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

#include "Assembler.h"
#include "AtomicFile.h"
#include "CaseInsensitivePath.h"
#include "CommandLine.h"
#include "Listing.h"
#include "ObjectBuilder.h"
#include "SourceFiles.h"
#include "Version.h"

namespace ml {

namespace {

constexpr const char* kProgram = "ML";

std::string withoutExtension(const std::string& path) {
    auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

std::string baseName(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// INCLUDE environment folders, separated by ';' (as on Windows) or ':'.
std::vector<std::string> environmentIncludeDirs() {
    std::vector<std::string> dirs;
    const char* env = std::getenv("INCLUDE");
    if (!env) return dirs;
    std::string all(env), current;
    for (char c : all) {
        if (c == ';' || c == ':') {
            if (!current.empty()) dirs.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) dirs.push_back(current);
    return dirs;
}

void print(std::FILE* out, const std::string& text) { std::fputs(text.c_str(), out); }

void printDiagnostic(std::FILE* out, const Diagnostic& d) {
    for (const std::string& line : formatDiagnostic(d, kProgram)) print(out, line + "\n");
}

// Removes an old output of the same name; a link or special file there is not ours to remove.
void removeStale(const std::string& path) {
    if (!path.empty() && asmora::toolkit::isRegularOrMissing(path)) ::unlink(path.c_str());
}

// True when `output` names an existing file that the assembly read (the source or
// an INCLUDE file): writing it would destroy the input.
bool isInputFile(const std::string& output, const SourceFiles& files) {
    struct stat out {};
    if (::stat(output.c_str(), &out) != 0) return false;
    for (std::size_t i = 0; i < files.count(); ++i) {
        struct stat in {};
        if (::stat(files.file(static_cast<std::uint32_t>(i)).path.c_str(), &in) == 0 && in.st_dev == out.st_dev &&
            in.st_ino == out.st_ino)
            return true;
    }
    return false;
}

// Writes one output file, refusing to replace an input; returns false after printing why.
bool writeOutput(const std::string& path, const std::string& bytes, const SourceFiles& files, std::FILE* out) {
    std::string error = isInputFile(path, files) ? "it is an input of this assembly" : writeFileAtomically(path, bytes);
    if (error.empty()) return true;
    printDiagnostic(out, Diagnostic{Diag::CannotWriteFile, path + " (" + error + ")"});
    return false;
}

// Assembles one source; returns true when it had no errors and its outputs were written.
bool assembleOne(const CommandLine& cl, const std::string& source, std::FILE* out) {
    print(out, " Assembling: " + source + "\n");
    const std::string objectPath = cl.objectPath.empty() ? withoutExtension(baseName(source)) + ".obj" : cl.objectPath;
    const std::string listingPath =
        cl.listingPath.empty() ? withoutExtension(baseName(source)) + ".lst" : cl.listingPath;
    DiagnosticSink diagnostics;
    diagnostics.setWarningLevel(cl.warningLevel);
    diagnostics.setWarningsAreErrors(cl.warningsAreErrors);

    SourceFiles files;
    std::string why;
    auto resolved = asmora::toolkit::resolveCaseInsensitiveFile(source);
    auto id = files.load(resolved.value_or(source), &why);
    if (!id) {
        Diagnostic d{Diag::CannotOpenFile, source + " (" + why + ")"};
        printDiagnostic(out, d);
        removeStale(objectPath);
        return false;
    }
    AssemblerOptions options;
    options.includeDirs = cl.includeDirs;
    for (std::string& dir : environmentIncludeDirs()) options.includeDirs.push_back(std::move(dir));
    options.caseMode = cl.caseMode;
    options.keepListing = cl.listing;
    options.debugInfo = cl.debugInfo;
    options.startTime = std::time(nullptr);
    Assembler assembler(files, diagnostics, options);
    assembler.assemble(*id);
    for (const std::string& echo : assembler.preprocessor().echoes()) print(out, echo + "\n");
    for (const Diagnostic& d : diagnostics.sorted()) printDiagnostic(out, d);

    bool ok = diagnostics.errorCount() == 0;
    if (cl.listing && listingPath == objectPath) {
        printDiagnostic(out, Diagnostic{Diag::CannotWriteFile, listingPath + " (named for both listing and object)"});
        return false;
    }
    if (cl.listing && !diagnostics.hasFatal())
        ok = writeOutput(listingPath, writeListing(assembler, diagnostics, options.startTime), files, out) && ok;
    if (ok) ok = writeOutput(objectPath, writeElf(buildObject(assembler, cl.debugInfo)), files, out);
    if (!ok && !isInputFile(objectPath, files)) removeStale(objectPath);
    return ok;
}

}  // namespace

int runAssemblerProgram(const std::vector<std::string>& args, std::FILE* out) {
    CommandLine cl = parseCommandLine(args);
    if (!cl.noLogo) print(out, std::string(kAssemblerName) + " Version " + kAssemblerVersion + "\n\n");
    if (cl.help) {
        print(out, usageText());
        return 0;
    }
    for (const std::string& option : cl.unknownOptions) printDiagnostic(out, Diagnostic{Diag::UnknownOption, option});
    for (const std::string& option : cl.missingArguments)
        printDiagnostic(out, Diagnostic{Diag::NoSourceFile, "missing argument of " + option});
    if (!cl.missingArguments.empty()) return 1;
    if (cl.sources.empty()) {
        printDiagnostic(out, Diagnostic{Diag::NoSourceFile});
        return 1;
    }
    if (cl.sources.size() > 1 && !cl.objectPath.empty()) {
        printDiagnostic(out, Diagnostic{Diag::SyntaxError, "/Fo names one object but several sources are given"});
        return 1;
    }
    bool allOk = true;
    for (const std::string& source : cl.sources) allOk = assembleOne(cl, source, out) && allOk;
    std::fflush(out);
    return allOk ? 0 : 1;
}

}  // namespace ml
