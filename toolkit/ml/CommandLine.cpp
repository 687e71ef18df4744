// Parsing the ML-style command line.
#include "CommandLine.h"

#include <sys/stat.h>

#include "Text.h"

namespace ml {

namespace {

bool existsOnDisk(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// Options that take no argument, as written (case matters: /c is not /C...).
struct Flag {
    std::string_view name;
    void (*apply)(CommandLine&);
};

const Flag kFlags[] = {
    {"c", [](CommandLine&) {}},
    {"coff", [](CommandLine&) {}},
    {"Zi", [](CommandLine& c) { c.debugInfo = true; }},
    {"Zd", [](CommandLine& c) { c.debugInfo = true; }},
    {"nologo", [](CommandLine& c) { c.noLogo = true; }},
    {"Cp", [](CommandLine& c) { c.caseMode = CaseMode::Sensitive; }},
    {"Cu", [](CommandLine& c) { c.caseMode = CaseMode::Upper; }},
    {"Cx", [](CommandLine& c) { c.caseMode = CaseMode::Insensitive; }},
    {"W0", [](CommandLine& c) { c.warningLevel = 0; }},
    {"W1", [](CommandLine& c) { c.warningLevel = 1; }},
    {"W2", [](CommandLine& c) { c.warningLevel = 2; }},
    {"W3", [](CommandLine& c) { c.warningLevel = 3; }},
    {"w", [](CommandLine& c) { c.warningLevel = 0; }},
    {"WX", [](CommandLine& c) { c.warningsAreErrors = true; }},
    {"Gc", [](CommandLine& c) { c.language = Language::Pascal; }},
    {"Gd", [](CommandLine& c) { c.language = Language::C; }},
    {"Gz", [](CommandLine& c) { c.language = Language::Stdcall; }},
    {"Zf", [](CommandLine&) {}},
    {"Zm", [](CommandLine&) {}},
    {"Sa", [](CommandLine& c) { c.listing = true; }},
    {"?", [](CommandLine& c) { c.help = true; }},
    {"help", [](CommandLine& c) { c.help = true; }},
};

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool slash = !arg.empty() && arg[0] == '/';
        bool dash = !arg.empty() && arg[0] == '-' && arg.size() > 1;
        if ((!slash && !dash) || (slash && existsOnDisk(arg))) {
            if (!arg.empty()) cl.sources.push_back(arg);
            continue;
        }
        std::string body = arg.substr(1);
        bool matched = false;
        for (const Flag& f : kFlags) {
            if (body == f.name) {
                f.apply(cl);
                matched = true;
                break;
            }
        }
        if (matched) continue;
        auto takeArgument = [&](std::size_t prefix, std::string& into) {
            if (body.size() > prefix) {
                into = body.substr(prefix);
                return true;
            }
            if (i + 1 < args.size()) {
                into = args[++i];
                return true;
            }
            cl.missingArguments.push_back(arg);
            return false;
        };
        if (body.rfind("Fo", 0) == 0) {
            takeArgument(2, cl.objectPath);
        } else if (body.rfind("Fl", 0) == 0) {
            cl.listing = true;
            if (body.size() > 2) cl.listingPath = body.substr(2);
        } else if (body.rfind("I", 0) == 0) {
            std::string dir;
            if (takeArgument(1, dir)) cl.includeDirs.push_back(dir);
        } else if (slash) {
            cl.sources.push_back(arg);  // e.g. /home/student/lab1.asm that does not exist
        } else {
            cl.unknownOptions.push_back(arg);
        }
    }
    return cl;
}

std::string usageText() {
    return "Usage: ML [options] source.asm ...\n"
           "  /c           assemble only (always the case here)\n"
           "  /coff        accepted; the object is ELF32 i386\n"
           "  /Fl[file]    write a listing\n"
           "  /Fo file     name the object file\n"
           "  /Zi          add DWARF debug information\n"
           "  /I dir       search INCLUDE files in dir\n"
           "  /Cp /Cu /Cx  keep case / map to upper case / keep case of public names\n"
           "  /Gc /Gd /Gz  default language PASCAL / C / STDCALL\n"
           "  /W0../W3     warning level; /WX treats warnings as errors\n"
           "  /nologo      no banner\n";
}

}  // namespace ml
