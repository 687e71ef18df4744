// The table of host programs, looking them up and the choice of the i386 linker.
#include "HostPrograms.h"

#include "ChildProcess.h"

#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

// clang-format off
namespace asmora::toolkit {

namespace {

//  name                 package                  purpose                                   need
constexpr HostProgram kHostPrograms[] = {
    {"xterm",            "xterm",                 "运行和调试程序的控制台窗口",             HostNeed::Run},
    {"gdb",              "gdb",                   "调试器",                                 HostNeed::Debug},
    {"ld",               "binutils",              "链接器 link.exe 使用的 GNU ld",          HostNeed::Link},
    {"i686-linux-gnu-ld", "binutils-i686-linux-gnu", "在非 x86 电脑上链接 32 位程序的 GNU ld", HostNeed::Link},
};
// clang-format on

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> runVersion(const std::string& linker) {
    if (findOnPath(linker).empty()) return std::nullopt;
    CapturedRun run = runCaptured({linker, "-V"});
    if (!run.started) return std::nullopt;
    return run.output;
}

}  // namespace

std::span<const HostProgram> hostPrograms() { return kHostPrograms; }

const HostProgram& hostProgram(HostNeed need, const char* name) {
    for (const HostProgram& program : kHostPrograms) {
        if (program.need == need && std::string(program.name) == name) return program;
    }
    return kHostPrograms[0];
}

std::vector<std::string> searchFolders() {
    const char* path = std::getenv("PATH");
    std::istringstream entries(path && *path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::vector<std::string> folders;
    for (std::string folder; std::getline(entries, folder, ':');)
        if (!folder.empty()) folders.push_back(folder);
    return folders;
}

std::string findOnPath(const std::string& name) {
    if (name.empty()) return {};
    if (name.find('/') != std::string::npos) return isExecutableFile(name) ? name : std::string();
    for (const std::string& folder : searchFolders()) {
        const std::string candidate = folder + "/" + name;
        if (isExecutableFile(candidate)) return candidate;
    }
    return {};
}

std::string missingHostProgramText(const HostProgram& program) {
    return std::string("缺少 ") + program.name + "（" + program.purpose + "）：请安装 " + program.package +
           " 软件包（sudo apt install " + program.package + "）";
}

std::vector<std::string> missingHostProgramTexts() {
    std::vector<std::string> texts;
    for (const HostProgram& program : kHostPrograms) {
        if (program.need != HostNeed::Link && findOnPath(program.name).empty()) {
            texts.push_back(missingHostProgramText(program));
        }
    }
    if (!findI386Linker()) {
        // x86 machines link with their own ld; other machines need the cross linker.
        utsname machine{};
        const bool x86 = uname(&machine) == 0 &&
                         (std::string(machine.machine) == "x86_64" || std::string(machine.machine).starts_with("i"));
        texts.push_back(missingHostProgramText(hostProgram(HostNeed::Link, x86 ? "ld" : "i686-linux-gnu-ld")));
    }
    return texts;
}

std::string missingHostProgramFor(HostNeed need) {
    for (const HostProgram& program : kHostPrograms) {
        const bool needed =
            program.need == HostNeed::Run || (need == HostNeed::Debug && program.need == HostNeed::Debug);
        if (needed && findOnPath(program.name).empty()) return missingHostProgramText(program);
    }
    return {};
}

std::optional<std::string> findI386Linker() { return findI386Linker(runVersion); }

std::optional<std::string> findI386Linker(
    const std::function<std::optional<std::string>(const std::string&)>& emulationsOf) {
    // Sample of `ld -V` on x86-64:  Supported emulations:\n   elf_x86_64\n   elf32_x86_64\n   elf_i386 ...
    for (const char* candidate : {"ld", "i686-linux-gnu-ld"}) {
        const std::optional<std::string> emulations = emulationsOf(candidate);
        if (emulations && emulations->find("elf_i386") != std::string::npos) return std::string(candidate);
    }
    return std::nullopt;
}

}  // namespace asmora::toolkit
