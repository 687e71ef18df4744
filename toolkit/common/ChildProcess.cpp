// fork/exec helpers for the carried tools.
#include "ChildProcess.h"

#include "I386Host.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace asmora::toolkit {

namespace {

std::vector<char*> toArgv(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  pointers.reserve(argv.size() + 1);
  for (const auto& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

int exitStatusOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

int waitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return exitStatusOf(status);
}

// Child side of a start: an exec failure is reported to the parent through
// `errorPipe` (the errno value) and the child ends with 127.
[[noreturn]] void execFailed(int error, int errorPipe) {
  ssize_t ignored = write(errorPipe, &error, sizeof error);
  (void)ignored;
  _exit(127);
}

[[noreturn]] void execOrReport(const std::vector<std::string>& argv, int errorPipe) {
  auto pointers = toArgv(argv);
  execvp(pointers[0], pointers.data());
  execFailed(errno, errorPipe);
}

// Reads the errno that a failed exec sent; 0 when the exec succeeded (pipe closed).
int readStartError(int errorPipe) {
  int error = 0;
  ssize_t got;
  do {
    got = read(errorPipe, &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(errorPipe);
  return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

}  // namespace

CapturedRun runCaptured(const std::vector<std::string>& argv) { return runCaptured(argv, "/dev/null"); }

CapturedRun runCaptured(const std::vector<std::string>& requested, const std::string& inputPath) {
  CapturedRun run;
  const ProgramStart start = planProgramStart(requested);
  if (!start.refusal.empty()) {
    run.output = start.refusal + "\n";
    return run;
  }
  const std::vector<std::string>& argv = start.argv;
  int outputPipe[2];
  int errorPipe[2];
  if (argv.empty() || pipe2(outputPipe, O_CLOEXEC) != 0) return run;
  if (pipe2(errorPipe, O_CLOEXEC) != 0) {
    close(outputPipe[0]);
    close(outputPipe[1]);
    return run;
  }
  pid_t pid = fork();
  if (pid == 0) {
    int input = open(inputPath.c_str(), O_RDONLY);
    if (input < 0) {
      execFailed(errno, errorPipe[1]);
    }
    dup2(input, STDIN_FILENO);
    dup2(outputPipe[1], STDOUT_FILENO);
    dup2(outputPipe[1], STDERR_FILENO);
    execOrReport(argv, errorPipe[1]);
  }
  close(outputPipe[1]);
  close(errorPipe[1]);
  if (pid < 0) {
    close(outputPipe[0]);
    close(errorPipe[0]);
    return run;
  }
  char buffer[4096];
  for (;;) {
    ssize_t got = read(outputPipe[0], buffer, sizeof buffer);
    if (got > 0) {
      run.output.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  close(outputPipe[0]);
  run.started = readStartError(errorPipe[0]) == 0;
  run.exitCode = waitFor(pid);
  return run;
}

int runOnTerminal(const std::vector<std::string>& requested, std::string* startError) {
  const ProgramStart start = planProgramStart(requested);
  if (!start.refusal.empty()) {
    if (startError) *startError = start.refusal;
    return -1;
  }
  const std::vector<std::string>& argv = start.argv;
  int errorPipe[2];
  if (argv.empty() || pipe2(errorPipe, O_CLOEXEC) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    // The child gets the default dispositions a shell would give it.
    signal(SIGINT, SIG_DFL);
    signal(SIGQUIT, SIG_DFL);
    execOrReport(argv, errorPipe[1]);
  }
  close(errorPipe[1]);
  if (pid < 0) {
    if (startError) *startError = std::strerror(errno);
    close(errorPipe[0]);
    return -1;
  }
  int error = readStartError(errorPipe[0]);
  int exitCode = waitFor(pid);
  if (error != 0) {
    if (startError) *startError = std::strerror(error);
    return -1;
  }
  return exitCode;
}

std::string ownExecutableFolder() {
  std::error_code failure;
  auto self = std::filesystem::read_symlink("/proc/self/exe", failure);
  if (failure) return ".";
  return self.parent_path().string();
}

}  // namespace asmora::toolkit
