// Holding the program's console terminal for gdb's "tty" command, with the code
// page 936 relay between it and the window.
#include "ProgramConsole.h"

#include "AtomicFile.h"
#include "PseudoTerminal.h"
#include "TerminalRelay.h"

#include <csignal>
#include <unistd.h>

namespace asmora::debugger {

namespace {

// The name appears all at once: written beside the target, then renamed.
bool publishTerminalName(const std::string& ttyFile, const std::string& name) {
    return !toolkit::writeFileAtomically(ttyFile, name + "\n");
}

}  // namespace

int runProgramConsole(const std::string& ttyFile, const Texts& texts) {
    // A closed window shows as a hang-up on the terminal, which ends the relay.
    std::signal(SIGHUP, SIG_IGN);
    if (!isatty(STDIN_FILENO) || ttyFile.empty()) return 1;
    console::writeAll(STDOUT_FILENO, texts.get("console.banner") + "\n");
    std::string error;
    auto terminal = console::PseudoTerminal::openLike(STDIN_FILENO, error);
    if (!terminal) {
        console::writeAll(STDOUT_FILENO, texts.get("console.failed", error) + "\n");
        return 1;
    }
    if (!publishTerminalName(ttyFile, terminal->slaveName())) return 1;
    // The program's terminal stays open here between runs, so its side never closes.
    console::TerminalRelay(STDIN_FILENO, STDOUT_FILENO, terminal->master()).relayUntilTerminalCloses();
    return 0;
}

}  // namespace asmora::debugger
