// Child processes started through posix_spawn.
#include "ChildProcess.h"

#include "CaseInsensitivePath.h"
#include "HostPrograms.h"
#include "I386Host.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace asmora::toolkit {

namespace {

// The signals a child gets with their default disposition.
constexpr int kDefaultSignals[] = {SIGPIPE, SIGINT, SIGQUIT};

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (auto& text : strings) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Our environment with `extra` set on top.
std::vector<std::string> environmentWith(const std::vector<std::pair<std::string, std::string>>& extra) {
    std::vector<std::string> entries;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string_view text = *entry;
        const auto name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const auto& [extraName, value] : extra) replaced = replaced || name == extraName;
        if (!replaced) entries.emplace_back(text);
    }
    for (const auto& [name, value] : extra) entries.push_back(name + "=" + value);
    return entries;
}

// File actions and attributes of one start, released with their owner.
class SpawnSetup {
public:
    explicit SpawnSetup(const SpawnRequest& request) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
        if (!request.inputPath.empty())
            posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, request.inputPath.c_str(), O_RDONLY, 0);
        if (request.outputFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions_, request.outputFd, STDOUT_FILENO);
            posix_spawn_file_actions_adddup2(&actions_, request.outputFd, STDERR_FILENO);
        }
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int signal : kDefaultSignals) sigaddset(&defaults, signal);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setsigmask(&attributes_, &none);
        short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
        if (request.ownProcessGroup) {
            posix_spawnattr_setpgroup(&attributes_, 0);
            flags |= POSIX_SPAWN_SETPGROUP;
        }
        posix_spawnattr_setflags(&attributes_, flags);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

bool isRunnableFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The path itself, or the path with ".exe" appended, each resolved ignoring case.
std::string findWithExeSuffix(const std::string& path) {
    for (const std::string& candidate : {path, path + ".exe"}) {
        const std::string resolved = resolveCaseInsensitive(candidate).value_or(candidate);
        if (isRunnableFile(resolved)) return resolved;
    }
    return {};
}

std::string currentFolder() {
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

}  // namespace

Spawned spawnProgram(const SpawnRequest& request) {
    if (request.argv.empty()) return {-1, ENOENT};
    std::vector<std::string> arguments = request.argv;
    std::vector<std::string> environment = environmentWith(request.environment);
    const std::vector<char*> argv = pointersTo(arguments);
    const std::vector<char*> envp = pointersTo(environment);
    const SpawnSetup setup(request);
    Spawned spawned;
    const int result =
        posix_spawnp(&spawned.pid, argv[0], setup.actions(), setup.attributes(), argv.data(), envp.data());
    if (result != 0) return {-1, result};
    return spawned;
}

int waitForExit(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

CapturedRun runCaptured(const std::vector<std::string>& argv) { return runCaptured(argv, "/dev/null"); }

CapturedRun runCaptured(const std::vector<std::string>& requested, const std::string& inputPath) {
    CapturedRun run;
    const ProgramStart start = planProgramStart(requested);
    if (!start.refusal.empty()) {
        run.output = start.refusal + "\n";
        return run;
    }
    int outputPipe[2];
    if (start.argv.empty() || pipe2(outputPipe, O_CLOEXEC) != 0) return run;
    const Spawned child = spawnProgram({start.argv, inputPath, outputPipe[1]});
    close(outputPipe[1]);
    if (child.pid < 0) {
        close(outputPipe[0]);
        return run;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(outputPipe[0], buffer, sizeof buffer);
        if (got > 0) {
            run.output.append(buffer, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    close(outputPipe[0]);
    run.started = true;
    run.exitCode = waitForExit(child.pid);
    return run;
}

int runOnTerminal(const std::vector<std::string>& requested, std::string* startError) {
    const ProgramStart start = planProgramStart(requested);
    if (!start.refusal.empty()) {
        if (startError) *startError = start.refusal;
        return -1;
    }
    if (start.argv.empty()) return -1;
    const Spawned child = spawnProgram({start.argv, ""});
    if (child.pid < 0) {
        if (startError) *startError = std::strerror(child.error);
        return -1;
    }
    return waitForExit(child.pid);
}

PipedProcess::~PipedProcess() {
    if (pid_ > 0 && !ended_) {
        kill();
        hasEnded();
    }
    closePipe();
}

bool PipedProcess::start(const std::vector<std::string>& requested) {
    const ProgramStart plan = planProgramStart(requested);
    if (!plan.refusal.empty()) {
        refusal_ = plan.refusal;
        return false;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        startError_ = errno;
        return false;
    }
    SpawnRequest request{plan.argv, "/dev/null", fds[1]};
    request.ownProcessGroup = true;
    const Spawned child = spawnProgram(request);
    ::close(fds[1]);
    if (child.pid < 0) {
        ::close(fds[0]);
        startError_ = child.error;
        return false;
    }
    pid_ = child.pid;
    readFd_ = fds[0];
    fcntl(readFd_, F_SETFL, fcntl(readFd_, F_GETFL) | O_NONBLOCK);
    return true;
}

PipedProcess::ReadResult PipedProcess::read(char* buffer, std::size_t capacity, std::size_t& count) {
    count = 0;
    if (readFd_ < 0) return ReadResult::EndOfFile;
    while (true) {
        const ssize_t got = ::read(readFd_, buffer, capacity);
        if (got > 0) {
            count = static_cast<std::size_t>(got);
            return ReadResult::Data;
        }
        if (got == 0) return ReadResult::EndOfFile;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadResult::WouldBlock;
        return ReadResult::EndOfFile;
    }
}

bool PipedProcess::hasEnded() {
    if (ended_ || pid_ <= 0) return true;
    int status = 0;
    const pid_t got = waitpid(pid_, &status, WNOHANG);
    if (got == 0) return false;
    ended_ = true;
    if (got == pid_) exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

void PipedProcess::kill() {
    if (pid_ > 0 && !ended_) {
        ::kill(-pid_, SIGKILL);
        ::kill(pid_, SIGKILL);
    }
}

void PipedProcess::closePipe() {
    if (readFd_ >= 0) ::close(readFd_);
    readFd_ = -1;
}

std::string resolveProgram(const std::string& token) {
    if (token.empty()) return {};
    if (token.find('/') != std::string::npos) return findWithExeSuffix(token);
    if (std::string local = findWithExeSuffix(currentFolder() + "/" + token); !local.empty()) return local;
    for (const std::string& folder : searchFolders())
        if (std::string found = findWithExeSuffix(folder + "/" + token); !found.empty()) return found;
    return {};
}

std::string ownExecutableFolder() {
    std::error_code failure;
    auto self = std::filesystem::read_symlink("/proc/self/exe", failure);
    if (failure) return ".";
    return self.parent_path().string();
}

}  // namespace asmora::toolkit
