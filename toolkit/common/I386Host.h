// How this machine starts the i386 programs that students build: natively when the
// kernel executes them, otherwise through Debian's qemu-i386 (package qemu-user).
// Every place that starts a student program asks here, so the choice is made once
// per process and in one place.
//
//   ASMORA_I386=native     start i386 programs directly, without probing
//   ASMORA_I386=emulated   always start them through qemu-i386
//   ASMORA_I386=auto       (or unset) probe the kernel once, then decide
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace asmora::toolkit {

enum class I386Way { Native, Emulated, Unavailable };

struct I386Host {
    I386Way way = I386Way::Unavailable;
    std::string emulator;  // the qemu-i386 program when `way` is Emulated
    std::string problem;   // why the environment variable was not followed, if it was not
};

// What the decision depends on, so that tests can give each input.
struct I386HostInputs {
    std::string forced;                         // the value of ASMORA_I386
    std::function<bool()> kernelRunsI386;       // starts a tiny i386 program, true when it ran
    std::function<std::string()> findEmulator;  // the qemu-i386 path, or empty
};

I386Host decideI386Host(const I386HostInputs& inputs);

// The decision for this process: made at the first call, kept after.
const I386Host& i386Host();

// True when the kernel can execute i386 programs: a tiny i386 program that ends
// with status 42 is started from memory. `exec` replaces the real start in tests;
// it returns the child's exit status or -1.
bool probeKernelRunsI386();
bool probeKernelRunsI386(const std::function<int(const std::string& elfImage)>& exec);

// The bytes of the probe program: `mov eax,1; mov ebx,42; int 80h` in an i386 ELF.
std::string probeProgramImage();

// The qemu-i386 program on PATH (qemu-i386, then qemu-i386-static), or empty.
std::string findQemuI386();

// True when `path` is an ELF file for the i386 (32-bit, EM_386).
bool isI386Program(const std::string& path);

// How to start argv: `argv` itself for anything that is not an i386 program or on
// a machine that runs them; with qemu-i386 in front where the machine emulates.
// `refusal` is set (Chinese, naming the package) when the program cannot run here.
struct ProgramStart {
    std::vector<std::string> argv;
    std::string refusal;
};
ProgramStart planProgramStart(const std::vector<std::string>& argv);
ProgramStart planProgramStart(const std::vector<std::string>& argv, const I386Host& host);

// The argv that starts `program` stopped at its entry, waiting for gdb on the Unix
// socket `socketPath` (the emulated way of debugging). A socket in the session's
// private folder, unlike a TCP port, cannot be reached by other users or machines.
std::vector<std::string> emulatedDebugCommand(const I386Host& host, const std::string& program,
                                              const std::string& socketPath);

// The texts a user sees about the decision.
struct I386Texts {
    static constexpr const char* native = "本机直接运行 32 位程序";
    static constexpr const char* emulated = "通过 qemu-i386 运行 32 位程序";
    static constexpr const char* unavailable =
        "本机不能直接运行 32 位程序，也没有找到 qemu-i386：请安装 qemu-user 软件包（sudo apt install qemu-user）";
};

// The row of the tool-kit check that says how programs run on this machine.
std::string describeI386Host(const I386Host& host);

}  // namespace asmora::toolkit
