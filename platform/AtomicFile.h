// Writing whole files so that a crash or a running reader never sees half of them:
// the Qt side of toolkit/common's AtomicFile.h, which describes the temporary file
// beside the target, the rename and the removal of a killed writer's leftovers. Only
// regular files are replaced; a symbolic link to a regular file stays a link while
// the file it points to gets the new content.
#pragma once

#include "toolkit/common/AtomicFile.h"

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

    void write(const QByteArray& bytes);
    void commit();

    QString temporaryPath() const;

private:
    void check() const;

    QString path_;  // as the caller named it, for messages
    asmora::toolkit::AtomicFileWriter file_;
};

// Replaces `path` with `bytes` through an AtomicWrite. The target's old content is
// intact after a failure. A new file gets rw-r--r-- (rwxr-xr-x when `executable`);
// an existing one keeps its permissions (and gains the execute bits when asked).
void writeFileAtomically(const QString& path, const QByteArray& bytes, bool executable = false);

// Removes the temporary files of ours beside `path` whose writing process has ended;
// returns how many. Files of a running process, ours included, stay.
int removeStaleTemporaryFiles(const QString& path);

}  // namespace platform
