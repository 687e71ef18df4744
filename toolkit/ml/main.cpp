// ML.EXE: the course assembler's command-line front end.
#include <string>
#include <vector>

#include "Driver.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return ml::runAssemblerProgram(args, stdout);
}
