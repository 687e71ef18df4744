// link.exe: the entry of the link driver.
#include "LinkDriver.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return asmora::link::runLink(args, std::cout, asmora::link::environmentFromProcess());
}
