// Initialisation files with the Windows rules.
#include "IniFile.h"

#include "AtomicFile.h"
#include "Cp936.h"
#include "Errors.h"
#include "RegularFile.h"

#include <QList>

namespace platform {
namespace {

// One line of the file, kept as its raw bytes so that lines we do not change are
// written back exactly as they were read.
struct Line {
    QByteArray raw;
    enum Kind { Other, Section, Entry } kind = Other;
    QString name;   // section or key name, trimmed
    QString value;  // entry value, trimmed
};

Line parseLine(const QByteArray& raw) {
    Line line{raw};
    const QString text = cp936::decode(raw).trimmed();
    if (text.startsWith(u'[')) {
        line.kind = Line::Section;
        const qsizetype close = text.indexOf(u']');
        line.name = text.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return line;
    }
    const qsizetype equals = text.indexOf(u'=');
    if (equals > 0) {
        line.kind = Line::Entry;
        line.name = text.left(equals).trimmed();
        line.value = text.mid(equals + 1).trimmed();
        // Windows drops one pair of matching quotes around a value.
        if (line.value.size() >= 2 && (line.value.front() == u'"' || line.value.front() == u'\'') &&
            line.value.back() == line.value.front())
            line.value = line.value.mid(1, line.value.size() - 2);
    }
    return line;
}

// The lines of the file; none when it does not exist. Raises platform::Error when
// it exists but cannot be read whole: a folder, a device or pipe in its place, or a
// file beyond the size limit.
QList<Line> readLines(const QString& path) {
    QList<Line> lines;
    if (fileKindOf(path) == FileKind::Missing) return lines;
    const QByteArray content = readRegularFile(path, IniFile::kMaxBytes);
    for (QByteArray raw : content.split('\n')) {
        if (raw.endsWith('\r')) raw.chop(1);
        lines.append(parseLine(raw));
    }
    if (!lines.isEmpty() && lines.back().raw.isEmpty()) lines.removeLast();  // after the final line end
    return lines;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Index of the section header, or -1.
qsizetype findSection(const QList<Line>& lines, const QString& section) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Line::Section && sameName(lines[i].name, section)) return i;
    return -1;
}

// One past the last line that belongs to the section starting at `header`.
qsizetype sectionEnd(const QList<Line>& lines, qsizetype header) {
    qsizetype i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::Section) ++i;
    return i;
}

qsizetype findEntry(const QList<Line>& lines, qsizetype header, const QString& key) {
    const qsizetype end = sectionEnd(lines, header);
    for (qsizetype i = header + 1; i < end; ++i)
        if (lines[i].kind == Line::Entry && sameName(lines[i].name, key)) return i;
    return -1;
}

// A line a settings file may hold: blank, a comment, a section header or an entry.
bool isWellFormed(const Line& line) {
    if (line.raw.contains('\0')) return false;
    const QString text = cp936::decode(line.raw).trimmed();
    if (text.isEmpty() || text.startsWith(u';') || text.startsWith(u'#')) return true;
    if (line.kind == Line::Section) return text.endsWith(u']') && !line.name.isEmpty();
    return line.kind == Line::Entry;
}

}  // namespace

QString IniFile::problem() const {
    QList<Line> lines;
    try {
        lines = readLines(path_);
    } catch (const Error& error) {
        return error.reason();
    }
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (!isWellFormed(lines[i])) return QStringLiteral("第 %1 行不是设置文件的格式，文件可能已损坏。").arg(i + 1);
    return QString();
}

// A file that cannot be read gives the defaults; the start-up check reports it.
QString IniFile::readString(const QString& section, const QString& key, const QString& fallback) const {
    QList<Line> lines;
    try {
        lines = readLines(path_);
    } catch (const Error&) {
        return fallback;
    }
    const qsizetype header = findSection(lines, section);
    if (header < 0) return fallback;
    const qsizetype entry = findEntry(lines, header, key);
    return entry < 0 ? fallback : lines[entry].value;
}

bool IniFile::parseNumber(const QString& text, long long& value) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    if (trimmed.startsWith(u"0x", Qt::CaseInsensitive))
        value = trimmed.mid(2).toLongLong(&ok, 16);
    else
        value = trimmed.toLongLong(&ok, 10);
    return ok;
}

long long IniFile::readInt(const QString& section, const QString& key, long long fallback) const {
    const QString text = readString(section, key, QString());
    long long value = 0;
    return parseNumber(text, value) ? value : fallback;
}

// A file that cannot be read is not written either: its unread lines would be lost.
void IniFile::writeString(const QString& section, const QString& key, const QString& value) const {
    QList<Line> lines;
    try {
        lines = readLines(path_);
    } catch (const Error& error) {
        throw Error(QStringLiteral("无法写入设置文件 %1\n%2").arg(path_, error.reason()), error.reason());
    }
    const QByteArray entry = cp936::encode(key + u'=' + value);
    qsizetype header = findSection(lines, section);
    if (header < 0) {
        lines.append(parseLine(cp936::encode(u'[' + section + u']')));
        header = lines.size() - 1;
    }
    const qsizetype existing = findEntry(lines, header, key);
    if (existing >= 0) {
        lines[existing] = parseLine(entry);
    } else {
        qsizetype insertAt = sectionEnd(lines, header);
        while (insertAt - 1 > header && lines[insertAt - 1].raw.trimmed().isEmpty()) --insertAt;
        lines.insert(insertAt, parseLine(entry));
    }
    QByteArray content;
    for (const Line& line : lines) content += line.raw + "\r\n";
    try {
        writeFileAtomically(path_, content);
    } catch (const Error& error) {
        throw Error(QStringLiteral("无法写入设置文件 %1\n%2").arg(path_, error.reason()), error.reason());
    }
}

}  // namespace platform
