// Atomic whole-file writes through a temporary file and rename.
#include "AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace asmora::toolkit {
namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr mode_t kCompilerOutputMode = 0666;
constexpr mode_t kExecuteBits = 0111;
// Room for ".asmora-<pid>-XXXXXX" within a file name of at most 255 bytes.
constexpr std::size_t kMaxNameBytesInTemporary = 200;
constexpr std::string_view kTemporaryMarker = ".asmora-";
constexpr std::size_t kRandomLetters = 6;

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The target's name as it appears in its temporary files: cut to fit a file name,
// never inside a UTF-8 character.
std::string nameInTemporary(const std::string& target) {
    std::string name = fileNameOf(target);
    if (name.size() <= kMaxNameBytesInTemporary) return name;
    std::size_t cut = kMaxNameBytesInTemporary;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return name.substr(0, cut);
}

std::string temporaryPrefix(const std::string& target) {
    return "." + nameInTemporary(target) + std::string(kTemporaryMarker);
}

bool processHasEnded(long pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

// The writer's process id when `name` is "<prefix><pid>-XXXXXX", else 0.
long writerOf(const std::string& name, const std::string& prefix) {
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    const std::string rest = name.substr(prefix.size());
    const auto dash = rest.find('-');
    if (dash == 0 || dash == std::string::npos || rest.size() - dash - 1 != kRandomLetters) return 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const auto c = static_cast<unsigned char>(rest[i]);
        if (i < dash ? !std::isdigit(c) : i > dash && !std::isalnum(c)) return 0;
    }
    return std::strtol(rest.c_str(), nullptr, 10);
}

mode_t modeFor(const std::string& target, const AtomicWriteOptions& options) {
    mode_t mode = kNewFileMode;
    if (options.permissions == AtomicWriteOptions::Permissions::FromUmask) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = kCompilerOutputMode & ~mask;
    } else if (struct stat status{}; ::stat(target.c_str(), &status) == 0) {
        mode = status.st_mode & 07777;
    }
    return options.executable ? mode | kExecuteBits : mode;
}

}  // namespace

FileKind fileKindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return FileKind::Regular;
    if (S_ISDIR(mode)) return FileKind::Folder;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::Device;
    if (S_ISFIFO(mode)) return FileKind::Pipe;
    if (S_ISSOCK(mode)) return FileKind::Socket;
    return FileKind::Unknown;
}

FileKind fileKindOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return FileKind::Missing;
    return fileKindOfMode(status.st_mode);
}

bool isRegularOrMissing(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) != 0 ? errno == ENOENT : S_ISREG(status.st_mode);
}

AtomicFileWriter::AtomicFileWriter(const std::string& path, const AtomicWriteOptions& options)
    : options_(options), target_(path) {
    if (!open(path)) return;
    removeStaleTemporaryFiles(target_);
    std::string pattern = folderOf(target_) + "/" + temporaryPrefix(target_) + std::to_string(::getpid()) + "-" +
                          std::string(kRandomLetters, 'X');
    const mode_t mode = modeFor(target_, options_);
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        fail(errno);
        return;
    }
    temporaryPath_ = pattern;
    if (::fchmod(fd_, mode) != 0) fail(errno);
}

// Finds the file that is replaced (`path`, or a link's destination) and checks it.
bool AtomicFileWriter::open(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return errno == ENOENT || fail(errno);
    if (S_ISLNK(status.st_mode)) {
        char* destination = ::realpath(path.c_str(), nullptr);
        if (!destination) {
            problem_ = WriteProblem{WriteProblem::Kind::DanglingLink};
            return false;
        }
        target_ = destination;
        std::free(destination);
    }
    const FileKind kind = fileKindOf(target_);
    const bool refusedLink = S_ISLNK(status.st_mode) && options_.links == AtomicWriteOptions::Links::Refuse;
    if (kind != FileKind::Regular || refusedLink) {
        problem_ = WriteProblem{WriteProblem::Kind::NotRegular, refusedLink ? FileKind::Unknown : kind};
        return false;
    }
    if (options_.refuseReadOnly && ::access(target_.c_str(), W_OK) != 0) {
        problem_ = WriteProblem{WriteProblem::Kind::ReadOnly};
        return false;
    }
    return true;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
}

bool AtomicFileWriter::fail(int errorNumber) {
    if (!problem_) problem_ = WriteProblem{WriteProblem::Kind::System, FileKind::Unknown, errorNumber};
    return false;
}

bool AtomicFileWriter::write(std::string_view bytes) {
    if (problem_) return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return fail(written < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool AtomicFileWriter::commit() {
    if (problem_) return false;
    if (options_.synced && ::fdatasync(fd_) != 0 && errno != EINVAL) return fail(errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) return fail(errno);
    if (::rename(temporaryPath_.c_str(), target_.c_str()) != 0) return fail(errno);
    temporaryPath_.clear();
    return true;
}

std::optional<WriteProblem> writeFileAtomically(const std::string& path, std::string_view bytes,
                                                const AtomicWriteOptions& options) {
    AtomicFileWriter file(path, options);
    if (file.write(bytes) && file.commit()) return std::nullopt;
    return file.problem();
}

int removeStaleTemporaryFiles(const std::string& path) {
    const std::string folder = folderOf(path);
    const std::string prefix = temporaryPrefix(path);
    DIR* entries = ::opendir(folder.c_str());
    if (!entries) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string name = entry->d_name;
        if (!processHasEnded(writerOf(name, prefix))) continue;
        const std::string file = folder + "/" + name;
        struct stat status {};
        if (::lstat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::unlink(file.c_str()) == 0) ++removed;
    }
    ::closedir(entries);
    return removed;
}

}  // namespace asmora::toolkit
