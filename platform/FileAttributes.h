// The Windows hidden attribute has no Linux equivalent; the program records it as
// the `user.DOSATTRIB` extended attribute where the file system allows, so other
// tools can still tell which files the program meant to hide.
#pragma once

#include <QString>

namespace platform {

// Best effort: returns false when the file system keeps no extended attributes.
bool markHidden(const QString& path);
bool isMarkedHidden(const QString& path);

}  // namespace platform
