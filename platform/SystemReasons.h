// The system's reasons for a failed file or process operation, in the program's
// language. The C library and Qt word them in English; the reasons a student meets
// (a missing file, no permission, a read-only or full disk, a file in use) are kept
// in one table with their Chinese text.
#pragma once

#include <QString>

class QFileDevice;

namespace platform {

// The reason for the C library error number `error`: the table's Chinese text, or
// the system's own text for a number the table lacks.
QString systemReason(int error);

// `text` with every English system reason of the table replaced by its Chinese text;
// the rest of the text is left as it is.
QString chineseReasons(const QString& text);

// The reason of the last failed operation on `file`, in Chinese where the table has it.
QString reasonOf(const QFileDevice& file);

}  // namespace platform
