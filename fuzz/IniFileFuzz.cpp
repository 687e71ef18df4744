// libFuzzer target over the INI store: the input is the file's bytes, read under a
// section and key taken from its first line; then a key is written and must read
// back, and every other key of the file must keep its value.
#include "IniFile.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// The file every input is written to; removed when the fuzzer exits.
struct WorkFile {
    QString path = QDir::tempPath() + "/asmora-ini-fuzz-" + QString::number(getpid()) + ".ini";
    ~WorkFile() { QFile::remove(path); }
};

const QString& workFile() {
    static const WorkFile file;
    return file.path;
}

// Letters and digits of `text` (names with brackets, '=' or line ends cannot round-trip).
QString plainName(const QByteArray& text, const char* fallback) {
    QString name;
    for (char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) name += QChar(c);
    }
    return name.isEmpty() ? QString(fallback) : name.left(16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> firstLine = bytes.left(bytes.indexOf('\n')).split(' ');
    const QString section = plainName(firstLine.value(0), "Setting");
    const QString key = plainName(firstLine.value(1), "Path");
    {
        QFile file(workFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(bytes);
    }
    const platform::IniFile ini(workFile());
    (void)ini.readString(section, key, "fallback");
    (void)ini.readInt(section, key, -1);
    const QString otherKey = key + "Other";
    const QString otherBefore = ini.readString(section, otherKey, "missing");
    ini.writeString(section, key, "written value");
    if (ini.readString(section, key) != "written value") std::abort();
    if (ini.readString(section, otherKey, "missing") != otherBefore) std::abort();
    long long number = 0;
    (void)platform::IniFile::parseNumber(QString::fromLatin1(bytes.left(64)), number);
    return 0;
}
