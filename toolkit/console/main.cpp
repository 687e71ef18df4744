// A stand-alone console host for tests and for running a batch file by hand.
#include "ConsoleHost.h"

int main(int argc, char** argv) { return asmora::console::runConsoleHost(argc, argv); }
