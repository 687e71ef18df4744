// Tests that drive gdb over a built i386 program start it stopped at its entry the
// way this machine runs i386 programs: natively through gdb's own "run", or under
// qemu-i386's gdb stub, which gdb reaches with "target remote".
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace asmora::testing {

class GdbAtEntry {
public:
    // Prepares `program`; on the emulated way it starts qemu-i386 waiting for gdb.
    explicit GdbAtEntry(const std::string& program);
    ~GdbAtEntry();
    GdbAtEntry(const GdbAtEntry&) = delete;
    GdbAtEntry& operator=(const GdbAtEntry&) = delete;

    // gdb's arguments up to the program's first stop at _start, each "-ex" with its
    // command, then `commands` as further "-ex" commands, and the program file.
    // The first stop prints "_start () at <source>:<line>" on both ways.
    std::vector<std::string> batchArguments(const std::vector<std::string>& commands) const;

    bool emulated() const { return emulator_ > 0; }

private:
    std::string program_;
    std::string folder_;
    std::string socket_;
    pid_t emulator_ = -1;
};

}  // namespace asmora::testing
