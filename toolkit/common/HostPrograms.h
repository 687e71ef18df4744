// The programs of this machine that building, running and debugging need besides
// the carried tool kit, with the Debian package that brings each one. The IDE's
// tool-kit check reports the missing ones, the run and debug buttons refuse with
// the package to install, and the link driver finds its linker here.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace asmora::toolkit {

enum class HostNeed { Link, Run, Debug };

struct HostProgram {
    const char* name;     // looked for on PATH
    const char* package;  // the Debian package that installs it
    const char* purpose;  // what it does for the student, shown in messages
    HostNeed need;
};

// xterm, gdb and the i386 linker, in the order the tool-kit check reports them.
std::span<const HostProgram> hostPrograms();
const HostProgram& hostProgram(HostNeed need, const char* name);

// The folders of PATH in order, empty entries left out; the usual system folders
// when PATH is unset or empty.
std::vector<std::string> searchFolders();

// The full path of `name` on PATH (a name with a slash is taken as it is), or empty.
std::string findOnPath(const std::string& name);

// The message for a missing host program, e.g.
// 缺少 xterm（运行和调试程序的控制台窗口）：请安装 xterm 软件包（sudo apt install xterm）
std::string missingHostProgramText(const HostProgram& program);

// The messages for the host programs missing here (xterm, gdb, an i386 linker), in
// the order of the table.
std::vector<std::string> missingHostProgramTexts();

// The message for the first program that `need` lacks here (Run: xterm; Debug:
// xterm and gdb), or empty when nothing is missing.
std::string missingHostProgramFor(HostNeed need);

// The GNU ld that links i386 programs: `ld` when `ld -V` lists the elf_i386
// emulation (x86 machines), else the cross linker `i686-linux-gnu-ld` (package
// binutils-i686-linux-gnu, e.g. on ARM64). `emulationsOf` runs `<ld> -V` and returns
// its output, or nothing when it cannot be started; tests give their own.
std::optional<std::string> findI386Linker();
std::optional<std::string> findI386Linker(
    const std::function<std::optional<std::string>(const std::string&)>& emulationsOf);

}  // namespace asmora::toolkit
