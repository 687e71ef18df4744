// gdb at the entry of an i386 program, natively or through qemu-i386.
#include "GdbAtEntry.h"

#include "I386Host.h"
#include "WaitUntil.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace asmora::testing {

namespace {

pid_t startQuietly(const std::vector<std::string>& argv) {
    const pid_t child = fork();
    if (child != 0) return child;
    const int quiet = open("/dev/null", O_RDWR);
    dup2(quiet, STDIN_FILENO);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    std::vector<char*> pointers;
    for (const auto& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    execv(pointers[0], pointers.data());
    _exit(127);
}

// True when the Unix socket `path` is listening: qemu binds it before it listens,
// and its stub takes a single connection, so only the kernel's table can tell.
// Sample line of /proc/net/unix:
//   0000000000000000: 00000002 00000000 00010000 0001 01 31205 /tmp/x/gdb.socket
bool isListening(const std::string& path) {
    std::ifstream table("/proc/net/unix");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string slot, references, protocol, flags, type, state, inode, name;
        fields >> slot >> references >> protocol >> flags >> type >> state >> inode >> std::ws;
        std::getline(fields, name);  // the rest of the line: a path may hold blanks
        if (name == path && flags == "00010000") return true;
    }
    return false;
}

// qemu-i386 listens before the program's first instruction; gdb may connect only
// then. An emulator that ended (or never listens) leaves gdb to report the failure.
void waitForSocket(const std::string& path, pid_t emulator) {
    waitUntil([&] { return isListening(path) || waitpid(emulator, nullptr, WNOHANG) != 0; });
}

// qemu stops at the program's first instruction: _start itself, or the start-up
// stub of Kernel32.Lib that calls it. From the stub, run on to _start.
const char* const kOnToStart =
    "python if gdb.selected_frame().pc() != int(gdb.parse_and_eval('(unsigned int)&_start')): "
    "gdb.execute('tbreak *_start'); gdb.execute('continue')";

}  // namespace

GdbAtEntry::GdbAtEntry(const std::string& program) : program_(program) {
    const toolkit::I386Host& host = toolkit::i386Host();
    if (host.way != toolkit::I386Way::Emulated) return;
    std::string pattern = (fs::temp_directory_path() / "asmora-gdb-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    folder_ = pattern;
    socket_ = folder_ + "/gdb.socket";
    emulator_ = startQuietly(toolkit::emulatedDebugCommand(host, program_, socket_));
    waitForSocket(socket_, emulator_);
}

GdbAtEntry::~GdbAtEntry() {
    if (emulator_ > 0) {
        kill(emulator_, SIGKILL);
        waitpid(emulator_, nullptr, 0);
    }
    std::error_code error;
    if (!folder_.empty()) fs::remove_all(folder_, error);
}

std::vector<std::string> GdbAtEntry::batchArguments(const std::vector<std::string>& commands) const {
    std::vector<std::string> argv{"gdb", "-q", "-nx", "-batch"};
    const std::vector<std::string> start = emulated() ? std::vector<std::string>{"target remote " + socket_, kOnToStart}
                                                      : std::vector<std::string>{"break *_start", "run"};
    for (const auto* list : {&start, &commands}) {
        for (const auto& command : *list) {
            argv.push_back("-ex");
            argv.push_back(command);
        }
    }
    argv.push_back(program_);
    return argv;
}

}  // namespace asmora::testing
