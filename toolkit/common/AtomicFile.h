// Writing whole files so that a crash or a running reader never sees half of them:
// the bytes go to a temporary file beside the target, named
//   .<file name>.asmora-<process id>-XXXXXX      e.g. ".lab1.asm.asmora-4711-a8Kq2Z"
// which then replaces the target by rename. A writer killed between the two steps
// leaves its temporary file behind; the next write of the same target removes every
// such file whose process has ended. Only regular files are replaced: a target that
// is a folder, a device, a pipe or a socket is refused. A symbolic link is written
// through (it stays a link and the file it points to gets the new content) or
// refused, as the caller's policy says.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace asmora::toolkit {

// What a path names, after following symbolic links.
enum class FileKind { Missing, Regular, Folder, Device, Pipe, Socket, Unknown };
FileKind fileKindOf(const std::string& path);
FileKind fileKindOfMode(mode_t mode);

// True when `path` names a regular file itself (not through a link) or nothing.
bool isRegularOrMissing(const std::string& path);

struct AtomicWriteOptions {
    enum class Links { WriteThrough, Refuse };
    enum class Permissions {
        KeepExisting,  // an existing file keeps its mode, a new one gets rw-r--r--
        FromUmask,     // the file gets rw-rw-rw- less the umask, as a compiler's output
    };
    bool executable = false;  // adds the execute bits (rwxr-xr-x for a new file)
    Links links = Links::WriteThrough;
    Permissions permissions = Permissions::KeepExisting;
    bool refuseReadOnly = true;  // a target without write permission is refused
    bool synced = true;          // the data reaches the disk before the rename
};

// Why an atomic write failed.
struct WriteProblem {
    enum class Kind {
        DanglingLink,  // a symbolic link to nothing
        NotRegular,    // a folder, a device, a pipe, a socket (or a link that is refused)
        ReadOnly,      // the target has no write permission
        System,        // the system refused an operation: `error` says why
    };
    Kind kind = Kind::System;
    FileKind fileKind = FileKind::Unknown;  // with NotRegular: what the target is
    int error = 0;                          // with System: the errno value
};

// One atomic replacement: the constructor checks the target, removes stale temporary
// files of ours and creates the new temporary file; commit() renames it over the
// target. Until then the target is untouched; without a commit the destructor removes
// the temporary file. After a failure problem() says why and every later step fails.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path, const AtomicWriteOptions& options = {});
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool write(std::string_view bytes);
    bool commit();

    const std::optional<WriteProblem>& problem() const { return problem_; }
    const std::string& temporaryPath() const { return temporaryPath_; }

private:
    bool open(const std::string& path);
    bool fail(int errorNumber);

    AtomicWriteOptions options_;
    std::string target_;  // the file that is replaced (a link's destination)
    std::string temporaryPath_;
    int fd_ = -1;
    std::optional<WriteProblem> problem_;
};

// Replaces `path` with `bytes` through an AtomicFileWriter; nothing on success.
std::optional<WriteProblem> writeFileAtomically(const std::string& path, std::string_view bytes,
                                                const AtomicWriteOptions& options = {});

// Removes the temporary files of ours beside `path` whose writing process has ended;
// returns how many. Files of a running process, ours included, stay.
int removeStaleTemporaryFiles(const std::string& path);

}  // namespace asmora::toolkit
