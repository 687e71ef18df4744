// Deciding once how i386 programs start here, and building their command lines.
#include "I386Host.h"

#include "HostPrograms.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace asmora::toolkit {

namespace {

constexpr int kProbeStatus = 42;

void putLittleEndian(std::string& image, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) image.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Child side of the probe: runs the image from an anonymous memory file.
[[noreturn]] void execImage(const std::string& image) {
    int quiet = open("/dev/null", O_RDWR);
    if (quiet >= 0) {
        dup2(quiet, STDIN_FILENO);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
    }
    int file = memfd_create("asmora-i386-probe", MFD_CLOEXEC);
    if (file < 0 || write(file, image.data(), image.size()) != static_cast<ssize_t>(image.size())) _exit(127);
    char name[] = "asmora-i386-probe";
    char* argv[] = {name, nullptr};
    fexecve(file, argv, environ);
    _exit(127);
}

int execProbeImage(const std::string& image) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) execImage(image);
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// The probe program, an ELF header, one program header and twelve bytes of code:
//
//   offset 0   ELF header (52 bytes): ELFCLASS32, little-endian, ET_EXEC, EM_386
//   offset 52  program header (32 bytes): PT_LOAD of the whole file at 08048000h, R+X
//   offset 84  B8 01 00 00 00   mov eax, 1      ; sys_exit
//              BB 2A 00 00 00   mov ebx, 42
//              CD 80            int 80h
std::string probeProgramImage() {
    constexpr std::uint32_t base = 0x08048000;
    constexpr std::uint32_t headers = 52 + 32;
    static constexpr char kCode[] = "\xB8\x01\x00\x00\x00\xBB\x2A\x00\x00\x00\xCD\x80";
    const std::string code(kCode, sizeof kCode - 1);
    const auto size = static_cast<std::uint32_t>(headers + code.size());
    std::string image(
        "\x7F"
        "ELF\x01\x01\x01",
        7);
    image.append(9, '\0');
    putLittleEndian(image, 2, 2);               // e_type: executable
    putLittleEndian(image, 3, 2);               // e_machine: i386
    putLittleEndian(image, 1, 4);               // e_version
    putLittleEndian(image, base + headers, 4);  // e_entry
    putLittleEndian(image, 52, 4);              // e_phoff
    putLittleEndian(image, 0, 4);               // e_shoff
    putLittleEndian(image, 0, 4);               // e_flags
    putLittleEndian(image, 52, 2);              // e_ehsize
    putLittleEndian(image, 32, 2);              // e_phentsize
    putLittleEndian(image, 1, 2);               // e_phnum
    putLittleEndian(image, 0, 2);               // e_shentsize
    putLittleEndian(image, 0, 2);               // e_shnum
    putLittleEndian(image, 0, 2);               // e_shstrndx
    putLittleEndian(image, 1, 4);               // p_type: PT_LOAD
    putLittleEndian(image, 0, 4);               // p_offset
    putLittleEndian(image, base, 4);            // p_vaddr
    putLittleEndian(image, base, 4);            // p_paddr
    putLittleEndian(image, size, 4);            // p_filesz
    putLittleEndian(image, size, 4);            // p_memsz
    putLittleEndian(image, 5, 4);               // p_flags: read, execute
    putLittleEndian(image, 0x1000, 4);          // p_align
    return image + code;
}

bool probeKernelRunsI386(const std::function<int(const std::string& elfImage)>& exec) {
    return exec(probeProgramImage()) == kProbeStatus;
}

bool probeKernelRunsI386() { return probeKernelRunsI386(execProbeImage); }

std::string findQemuI386() {
    for (const char* name : {"qemu-i386", "qemu-i386-static"}) {
        std::string found = findOnPath(name);
        if (!found.empty()) return found;
    }
    return {};
}

I386Host decideI386Host(const I386HostInputs& inputs) {
    I386Host host;
    const std::string& forced = inputs.forced;
    if (forced == "native") {
        host.way = I386Way::Native;
        return host;
    }
    if (!forced.empty() && forced != "emulated" && forced != "auto") {
        host.problem = "ASMORA_I386=" + forced + " 无效（可用 native、emulated 或 auto），按 auto 处理";
    }
    if (forced != "emulated" && inputs.kernelRunsI386 && inputs.kernelRunsI386()) {
        host.way = I386Way::Native;
        return host;
    }
    host.emulator = inputs.findEmulator ? inputs.findEmulator() : std::string();
    host.way = host.emulator.empty() ? I386Way::Unavailable : I386Way::Emulated;
    return host;
}

const I386Host& i386Host() {
    static const I386Host host = [] {
        const char* forced = std::getenv("ASMORA_I386");
        return decideI386Host({forced ? forced : "", [] { return probeKernelRunsI386(); }, findQemuI386});
    }();
    return host;
}

bool isI386Program(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char header[20] = {};
    if (!file.read(header, sizeof header)) return false;
    const bool elf = std::memcmp(header,
                                 "\x7F"
                                 "ELF",
                                 4) == 0;
    const bool class32 = header[4] == 1;
    const bool littleEndian = header[5] == 1;
    const auto machine = static_cast<unsigned>(static_cast<unsigned char>(header[18])) |
                         static_cast<unsigned>(static_cast<unsigned char>(header[19])) << 8;
    return elf && class32 && littleEndian && machine == 3;
}

ProgramStart planProgramStart(const std::vector<std::string>& argv) { return planProgramStart(argv, i386Host()); }

ProgramStart planProgramStart(const std::vector<std::string>& argv, const I386Host& host) {
    ProgramStart start{argv, {}};
    if (argv.empty() || host.way == I386Way::Native) return start;
    std::string program = argv.front();
    if (program.find('/') == std::string::npos) program = findOnPath(program);
    if (program.empty() || !isI386Program(program)) return start;
    if (host.way == I386Way::Unavailable) {
        start.refusal = I386Texts::unavailable;
        return start;
    }
    start.argv.insert(start.argv.begin(), host.emulator);
    return start;
}

std::vector<std::string> emulatedDebugCommand(const I386Host& host, const std::string& program,
                                              const std::string& socketPath) {
    return {host.emulator, "-g", socketPath, program};
}

std::string describeI386Host(const I386Host& host) {
    switch (host.way) {
        case I386Way::Native:
            return I386Texts::native;
        case I386Way::Emulated:
            return I386Texts::emulated;
        case I386Way::Unavailable:
            break;
    }
    return I386Texts::unavailable;
}

}  // namespace asmora::toolkit
