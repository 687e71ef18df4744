// Holding the program's console terminal for gdb's "tty" command.
#include "ProgramConsole.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace asmora::debugger {

int runProgramConsole(const std::string& ttyFile, const Texts& texts) {
  std::signal(SIGHUP, SIG_IGN);
  const char* name = ttyname(STDIN_FILENO);
  if (!name || ttyFile.empty()) return 1;
  const std::string banner = texts.get("console.banner") + "\n";
  ssize_t ignored = write(STDOUT_FILENO, banner.data(), banner.size());
  (void)ignored;
  // The name appears all at once: written beside the target, then renamed.
  const std::string partial = ttyFile + ".part";
  {
    std::ofstream file(partial);
    file << name << "\n";
    if (!file) return 1;
  }
  if (std::rename(partial.c_str(), ttyFile.c_str()) != 0) return 1;
  // A terminal belongs to one session; this one must be free for the program.
  ioctl(STDIN_FILENO, TIOCNOTTY);
  // Waits, without reading what is typed (that is the program's), until the
  // window closes: its terminal then reports a hang-up.
  pollfd terminal{STDIN_FILENO, 0, 0};
  while (poll(&terminal, 1, -1) < 0 || (terminal.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0) {
  }
  return 0;
}

}  // namespace asmora::debugger
