// Child processes with one output pipe, started through posix_spawn.
#include "ChildProcess.h"

#include "CommandLine.h"
#include "Paths.h"
#include "SystemReasons.h"

#include "I386Host.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform {
namespace {

bool isRunnableFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir() && info.isExecutable();
}

// The path itself, or the path with ".exe" appended, each resolved ignoring case.
QString findWithExeSuffix(const QString& path) {
    for (const QString& candidate : {path, path + QStringLiteral(".exe")}) {
        const QString resolved = resolveCaseInsensitive(candidate);
        if (isRunnableFile(resolved)) return resolved;
    }
    return QString();
}

}  // namespace

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !ended_) {
        kill();
        hasEnded();
    }
    closePipe();
}

QString ChildProcess::resolveProgram(const QString& token) {
    if (token.isEmpty()) return QString();
    if (token.contains(u'/')) return findWithExeSuffix(token);
    QString local = findWithExeSuffix(QDir::currentPath() + u'/' + token);
    if (!local.isEmpty()) return local;
    const QStringList path = QProcessEnvironment::systemEnvironment().value(QStringLiteral("PATH")).split(u':');
    for (const QString& folder : path) {
        if (folder.isEmpty()) continue;
        const QString found = findWithExeSuffix(folder + u'/' + token);
        if (!found.isEmpty()) return found;
    }
    return QString();
}

bool ChildProcess::start(const QString& commandLine) {
    const QStringList arguments = splitWindowsCommandLine(commandLine);
    if (arguments.isEmpty()) {
        error_ = QStringLiteral("empty command");
        return false;
    }
    const QString program = resolveProgram(arguments.front());
    if (program.isEmpty()) {
        error_ = QStringLiteral("program not found: %1").arg(arguments.front());
        return false;
    }

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error_ = systemReason(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> requested{QFile::encodeName(program).toStdString()};
    for (qsizetype i = 1; i < arguments.size(); ++i) requested.push_back(arguments[i].toStdString());
    const asmora::toolkit::ProgramStart plan = asmora::toolkit::planProgramStart(requested);
    if (!plan.refusal.empty()) {
        ::close(fds[0]);
        ::close(fds[1]);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        error_ = QString::fromStdString(plan.refusal);
        refused_ = true;
        return false;
    }
    std::vector<QByteArray> storage;
    for (const std::string& argument : plan.argv) storage.push_back(QByteArray::fromStdString(argument));
    std::vector<char*> argv;
    for (QByteArray& argument : storage) argv.push_back(argument.data());
    argv.push_back(nullptr);

    const int result = posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(fds[1]);
    if (result != 0) {
        ::close(fds[0]);
        pid_ = -1;
        error_ = systemReason(result);
        return false;
    }
    readFd_ = fds[0];
    fcntl(readFd_, F_SETFL, fcntl(readFd_, F_GETFL) | O_NONBLOCK);
    return true;
}

ChildProcess::ReadResult ChildProcess::read(char* buffer, size_t capacity, size_t& count) {
    count = 0;
    if (readFd_ < 0) return ReadResult::EndOfFile;
    while (true) {
        const ssize_t got = ::read(readFd_, buffer, capacity);
        if (got > 0) {
            count = static_cast<size_t>(got);
            return ReadResult::Data;
        }
        if (got == 0) return ReadResult::EndOfFile;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadResult::WouldBlock;
        return ReadResult::EndOfFile;
    }
}

bool ChildProcess::hasEnded() {
    if (ended_ || pid_ <= 0) return true;
    int status = 0;
    const pid_t got = waitpid(pid_, &status, WNOHANG);
    if (got == 0) return false;
    ended_ = true;
    if (got == pid_) exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

void ChildProcess::kill() {
    if (pid_ > 0 && !ended_) {
        ::kill(-pid_, SIGKILL);
        ::kill(pid_, SIGKILL);
    }
}

void ChildProcess::closePipe() {
    if (readFd_ >= 0) ::close(readFd_);
    readFd_ = -1;
}

}  // namespace platform
