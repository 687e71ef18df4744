// The console template: the default, the two conversions and the run batch.
#include "ConsoleTemplate.h"

#include "TextLines.h"

#include "platform/CommandLine.h"
#include "platform/Cp936.h"
#include "platform/Paths.h"

#include <QFile>

#include <algorithm>

namespace asmora::build {
namespace {

// The banner rows 5 to 10 draw 汇编语言 in 24 two-column cells each (box-drawing
// characters and the full-width blank U+3000), framed by stars and blanks.
constexpr const char16_t* kBannerCells[] = {
    u"╔╮╔══╗╭\u3000╔═╮\u3000╔╔╦══╗\u3000\u3000╔╮\u3000\u3000", u"\u3000║║\u3000\u3000╝║╔═══╗╗╭╠══╗╔════╗",
    u"╔╮║\u3000\u3000\u3000╚╠═══╯║\u3000║\u3000\u3000║╔════╗", u"\u3000\u3000║\u3000\u3000\u3000║║╔╦╦╗║═╩══╩╔════╗",
    u"\u3000║║\u3000\u3000╗╚║╠╠╠╣║║\u3000\u3000\u3000║╔════╗", u"╚╯╚══╝╚╯╝╝╝╯╰╚═══╯╚════╯",
};

QString repeated(char16_t character, int count) { return QString(count, QChar(character)); }

// "echo ********        <24 cells>        *******": 84 bytes in code page 936.
QString bannerRow(const char16_t* cells) {
    return QStringLiteral("echo ") + repeated(u'*', 8) + repeated(u' ', 8) + QString::fromUtf16(cells) +
           repeated(u' ', 8) + repeated(u'*', 7);
}

// "echo" + blanks + text: the text centred in the 79 columns of the console.
QString centredText(int blanks, const QString& text) { return QStringLiteral("echo") + repeated(u' ', blanks) + text; }

const QString kEchoOff = QStringLiteral("@echo off");
const QString kPause = QStringLiteral("pause>NUL");
const QString kEmptyEcho = QStringLiteral("echo.");
const QString kCommandMark = QStringLiteral(";;");

// Lines that the editable form leaves out, compared in lower case.
const QString kDroppedLines[] = {QStringLiteral("@echo off"), QStringLiteral("pause>nul"),
                                 QStringLiteral("del ml.bat")};

// A text line of the frame is "echo text", "echo." or "echo" alone (exact case, at
// the start of the line, as a console reads it); its text follows the five-character
// prefix. A line that only mentions echo elsewhere ("if exist x echo y") is a command.
QString editableLine(const QString& fileLine) {
    if (fileLine == u"echo") return QString();
    if (fileLine.startsWith(u"echo.") || fileLine.startsWith(u"echo ")) return fileLine.mid(5);
    return kCommandMark + fileLine;
}

// A path as the console host reads it back from a batch line: always in quotes, a
// quote inside it escaped as \" (a Linux file name may hold one).
//   odd/a" -Fo "evil.exe  ->  "odd/a\" -Fo \"evil.exe"
QString quotedForBatch(const QString& path) {
    return platform::quoteWindowsArgument(pathForBatch(path), platform::Quoting::Always);
}

}  // namespace

QStringList defaultTemplate() {
    const QString stars = QStringLiteral("echo ") + repeated(u'*', 79);
    const QString dashes = QStringLiteral("echo ") + repeated(u'-', 79);
    QStringList lines{kEchoOff, QStringLiteral("Color F1"), kEmptyEcho, stars};
    for (const char16_t* cells : kBannerCells) lines.append(bannerRow(cells));
    lines << stars << kEmptyEcho << centredText(33, QStringLiteral("程序开始运行")) << dashes
          << QString::fromUtf16(kFileNameMarker) << kEmptyEcho << dashes
          << centredText(33, QStringLiteral("程序运行结束")) << kEmptyEcho << stars
          << QStringLiteral("echo ") + repeated(u'*', 10) + repeated(u' ', 17) +
                 QStringLiteral("Qorvel工作室免费为您提供") + repeated(u' ', 19) + repeated(u'*', 9)
          << stars << kEmptyEcho << centredText(28, QStringLiteral("【按任意键可退出程序】")) << kPause;
    return lines;
}

void writeDefaultTemplate(const QString& path) { writeTextLines(path, defaultTemplate()); }

QStringList fileToEditable(const QStringList& fileLines) {
    QStringList editable;
    for (const QString& line : fileLines) {
        const QString lower = line.toLower();
        if (std::find(std::begin(kDroppedLines), std::end(kDroppedLines), lower) != std::end(kDroppedLines)) continue;
        editable.append(editableLine(line));
    }
    return editable;
}

QStringList editableToFile(const QStringList& editableLines) {
    QStringList file{kEchoOff};
    bool afterProgramLine = false;
    for (const QString& line : editableLines) {
        if (afterProgramLine && !line.isEmpty()) file.append(kEmptyEcho);
        if (line.isEmpty()) {
            file.append(kEmptyEcho);
            afterProgramLine = false;
        } else if (!line.contains(kCommandMark)) {
            file.append(QStringLiteral("echo ") + line);
            afterProgramLine = false;
        } else {
            QString command = line;
            command.remove(command.indexOf(kCommandMark), kCommandMark.size());
            afterProgramLine = command.contains(QString::fromUtf16(kFileNameMarker), Qt::CaseInsensitive);
            file.append(command);
        }
    }
    file.append(kPause);
    return file;
}

QString selfDeleteLine(const QString& batchFile) { return QStringLiteral("del /A:H /Q ") + quotedForBatch(batchFile); }

QStringList runBatch(const QStringList& templateLines, const QString& executable, const QString& batchFile) {
    const QString marker = QString::fromUtf16(kFileNameMarker);
    const QString quoted = quotedForBatch(executable);
    QStringList batch;
    for (QString line : templateLines) {
        const qsizetype at = line.indexOf(marker);
        if (at >= 0) line.replace(at, marker.size(), quoted);
        batch.append(line);
    }
    batch.append(selfDeleteLine(batchFile));
    return batch;
}

QStringList testBatch(const QStringList& editableLines, const QString& batchFile) {
    QStringList batch = editableToFile(editableLines);
    batch.append(selfDeleteLine(batchFile));
    return batch;
}

QString pathForBatch(const QString& path) {
    if (platform::cp936::decode(platform::cp936::encode(path)) == path) return path;
    return platform::cp936::decode(QFile::encodeName(path));
}

void restoreTemplateFromBackup(const platform::ProgramFolder& programFolder) {
    const QString backup = programFolder.templateBackup();
    if (!platform::fileExists(backup)) return;
    writeTextLines(programFolder.consoleTemplate(), editableToFile(readTextLines(backup)));
}

}  // namespace asmora::build
