// The link driver: finds the inputs, runs GNU ld for i386 into a temporary file
// and moves the executable to the /out: path only when the link succeeded.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace asmora::link {

struct LinkEnvironment {
    std::string linker = "ld";            // the GNU ld program
    std::string toolFolder;               // folder of link.exe: searched for bare input names
    std::vector<std::string> libFolders;  // folders of the LIB variable, searched likewise
};

// The environment of a real run: the i386-capable ld from PATH (or ASMORA_LD), link.exe's own
// folder, and the LIB variable split at ';' and ':'.
LinkEnvironment environmentFromProcess();

// Runs one link; `args` excludes the program name. Messages go to `out`.
// Returns 0 when the executable was written, else non-zero.
int runLink(const std::vector<std::string>& args, std::ostream& out, const LinkEnvironment& environment);

}  // namespace asmora::link
