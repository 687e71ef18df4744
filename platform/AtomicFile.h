// Writing whole files so that a crash or a running reader never sees half of them:
// the bytes go to a temporary file beside the target, named
//   .<file name>.asmora-<process id>-XXXXXX      e.g. ".lab1.asm.asmora-4711-a8Kq2Z"
// which then replaces the target by rename. A writer killed between the two steps
// leaves its temporary file behind; the next write of the same target removes every
// such file whose process has ended. Only regular files are replaced: a target that
// is a folder, a device, a pipe or a socket is refused, and a symbolic link to a
// regular file stays a link while the file it points to gets the new content.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// One atomic replacement: the constructor checks the target, removes stale temporary
// files of ours and creates the new temporary file; commit() renames it over the
// target. Until then the target is untouched; without a commit the destructor removes
// the temporary file. Every failure raises platform::Error naming the target and the
// reason in Chinese.
class AtomicWrite {
public:
    explicit AtomicWrite(const QString& path, bool executable = false);
    ~AtomicWrite();
    AtomicWrite(const AtomicWrite&) = delete;
    AtomicWrite& operator=(const AtomicWrite&) = delete;

    void write(const QByteArray& bytes);
    void commit();

    const QString& temporaryPath() const { return temporaryPath_; }

private:
    [[noreturn]] void fail(int errorNumber);

    QString path_;          // as the caller named it, for messages
    QString target_;        // the file that is replaced (a link's destination)
    QString temporaryPath_;
    int fd_ = -1;
};

// Replaces `path` with `bytes` through an AtomicWrite. The target's old content is
// intact after a failure. A new file gets rw-r--r-- (rwxr-xr-x when `executable`);
// an existing one keeps its permissions (and gains the execute bits when asked).
void writeFileAtomically(const QString& path, const QByteArray& bytes, bool executable = false);

// Removes the temporary files of ours beside `path` whose writing process has ended;
// returns how many. Files of a running process, ours included, stay.
int removeStaleTemporaryFiles(const QString& path);

}  // namespace platform
