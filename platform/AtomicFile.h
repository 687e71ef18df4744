// Writing whole files so that a crash or a running reader never sees half of them:
// the bytes go to a temporary file in the target's folder, which then replaces the
// target by rename.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Replaces `path` with `bytes`; raises platform::Error naming the path and the
// system's reason when the folder or the file cannot be written. The target's
// old content is intact after a failure.
void writeFileAtomically(const QString& path, const QByteArray& bytes, bool executable = false);

}  // namespace platform
