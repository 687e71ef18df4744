// ML.EXE: the course assembler's command-line front end.
#include <string>
#include <vector>

#include "BatchHeap.h"
#include "Driver.h"

int main(int argc, char** argv) {
    // A 200,000-line source needs about 40 MiB; the reservation is address space
    // only until it is used.
    asmora::toolkit::prepareBatchHeap(std::size_t(64) << 20);
    std::vector<std::string> args(argv + 1, argv + argc);
    return ml::runAssemblerProgram(args, stdout);
}
