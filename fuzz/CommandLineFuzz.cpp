// libFuzzer target over the Windows command-line splitter and quoting: any line
// splits, and the arguments, quoted again by the Windows rules, split back to themselves.
#include "WindowsCommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace asmora::toolkit;
    const std::string line(reinterpret_cast<const char*>(data), size);
    const auto arguments = splitWindowsCommandLine(line);
    for (const Quoting quoting : {Quoting::WhenNeeded, Quoting::Always}) {
        std::string again;
        for (const auto& argument : arguments) again += quoteWindowsArgument(argument, quoting) + " ";
        if (splitWindowsCommandLine(again) != arguments) std::abort();
    }
    for (const auto& argument : arguments) (void)isSlashSwitch(argument);
    return 0;
}
