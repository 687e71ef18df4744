// The files the program carries inside itself (the tool kit, help files, the editing
// library), found by resource type and name, both compared without regard to case,
// and written out to disk.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The carried files are compiled into the program under ":/carried/<type>/<name>".
QString carriedResourcePath(const QString& type, const QString& name);

bool hasCarriedResource(const QString& type, const QString& name);

// The resource's bytes; raises platform::Error naming the resource when it is missing.
QByteArray carriedResource(const QString& type, const QString& name);

// Writes the resource's bytes to `target`, replacing any file there atomically (a
// temporary file beside it, then rename), so a running tool or a crash never sees a
// half-written file. Executables ("ExeFile") get the execute bits. Raises
// platform::Error naming the path and the system's reason on failure.
void writeCarriedFile(const QString& type, const QString& name, const QString& target);

}  // namespace platform
