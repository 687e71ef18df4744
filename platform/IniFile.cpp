// Initialisation files with the Windows rules.
#include "IniFile.h"

#include "AtomicFile.h"
#include "Cp936.h"
#include "Errors.h"

#include <QFile>
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

QList<Line> readLines(const QString& path) {
    QList<Line> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return lines;
    const QByteArray content = file.readAll();
    file.close();
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

}  // namespace

QString IniFile::readString(const QString& section, const QString& key, const QString& fallback) const {
    const QList<Line> lines = readLines(path_);
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

void IniFile::writeString(const QString& section, const QString& key, const QString& value) const {
    QList<Line> lines = readLines(path_);
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
