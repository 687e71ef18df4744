// Reading and writing code page 936 text files line by line.
#include "TextLines.h"

#include "platform/AtomicFile.h"
#include "platform/Cp936.h"
#include "platform/Errors.h"
#include "platform/RegularFile.h"

namespace asmora::build {
platform::Error fileReadError(const QString& path, const QString& reason) {
    return platform::Error(QStringLiteral("无法读取文件 %1\n%2").arg(path, reason), reason);
}

QStringList decodeTextLines(const QByteArray& bytes) {
    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0) end = bytes.size();
        const qsizetype length = end > start && bytes[end - 1] == '\r' ? end - start - 1 : end - start;
        lines.append(platform::cp936::decode(bytes.mid(start, length)));
        start = next;
    }
    return lines;
}

QByteArray encodeTextLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += platform::cp936::encode(line) + "\r\n";
    return bytes;
}

QStringList readTextLines(const QString& path) {
    try {
        return decodeTextLines(platform::readRegularFile(path, kMaxTextFileBytes));
    } catch (const platform::Error& error) {
        throw fileReadError(path, error.reason());
    }
}

void writeTextLines(const QString& path, const QStringList& lines) {
    platform::writeFileAtomically(path, encodeTextLines(lines));
}

}  // namespace asmora::build
