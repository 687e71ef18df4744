// Opening a file that a user names, for reading: only a regular file (also behind a
// symbolic link) and only up to a size limit. A folder, a device such as /dev/zero,
// a pipe or a socket is refused before anything is read, so that no read blocks the
// program or grows without end; every refusal says why in Chinese.
#pragma once

#include "toolkit/common/AtomicFile.h"

#include <QByteArray>
#include <QString>

class QFile;

namespace platform {

using asmora::toolkit::FileKind;

// What `path` names, after following symbolic links.
FileKind fileKindOf(const QString& path);
// "文件夹", "设备文件", "管道" and so on: how a message names a kind.
QString fileKindName(FileKind kind);

// Opens `path` read-only into `file` (which must be closed). Raises platform::Error
// naming the path when it is missing, is no regular file, holds more than `maxBytes`
// or cannot be opened. Opening never waits, even when a pipe takes the file's place
// between the check and the open.
void openRegularFile(QFile& file, const QString& path, qint64 maxBytes);

// The whole content of a regular file of at most `maxBytes`; raises as openRegularFile
// does, and when the file grows beyond the limit while it is read.
QByteArray readRegularFile(const QString& path, qint64 maxBytes);

}  // namespace platform
