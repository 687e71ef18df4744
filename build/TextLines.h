// The program's own text files (console template, run batch, Backup.dat) as lists
// of lines: code page 936, every line ended by CR LF.
//   "@echo off\r\nColor F1\r\n"  <->  {"@echo off", "Color F1"}
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {
class Error;
}

namespace asmora::build {

// A line ends at LF, with one CR before it removed; a last line without a line end
// still counts. Bytes that code page 936 cannot decode survive a decode and encode.
QStringList decodeTextLines(const QByteArray& bytes);
QByteArray encodeTextLines(const QStringList& lines);

// The largest text file that is read (a listing, a template, a batch file).
inline constexpr qint64 kMaxTextFileBytes = 64LL * 1024 * 1024;

// "无法读取文件 <path>" with the system's reason.
platform::Error fileReadError(const QString& path, const QString& reason);

// Raises platform::Error naming the file when it cannot be read, is no regular file
// or is larger than kMaxTextFileBytes.
QStringList readTextLines(const QString& path);
// Replaces the file as a whole (never half-written); raises platform::Error.
void writeTextLines(const QString& path, const QStringList& lines);

}  // namespace asmora::build
