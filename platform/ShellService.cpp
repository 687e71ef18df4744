// Opening console windows (xterm running the program's console host) and starting
// programs detached.
#include "ShellService.h"

#include "CommandLine.h"
#include "Paths.h"

#include "HostPrograms.h"
#include "I386Host.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

namespace platform {

namespace {

// The console's fonts. xterm sizes its cells by the half-width font: DejaVu Sans Mono
// advances 1233/2048 em per character. A Chinese character (and, with -cjk_width, a
// box-drawing character) takes two cells, so the CJK font, whose characters advance
// one em, is drawn 2 x 1233/2048 = 1.204 times as wide: it then fills its two cells
// with no gap, and the banner's box-drawing art joins up as in the template editor.
const QString kHalfWidthFont = QStringLiteral("DejaVu Sans Mono");
const QString kDoubleWidthFont = QStringLiteral("WenQuanYi Micro Hei Mono:matrix=1.204 0 0 1");
const QString kFontSize = QStringLiteral("12");

}  // namespace

QStringList XtermShellService::consoleCommand(const QString& hostProgram, const QString& batchPath) {
    // xterm draws the console template's box-drawing and full-width characters two
    // columns wide, like a Chinese console.
    return {QStringLiteral("-maximized"),
            QStringLiteral("-u8"),
            QStringLiteral("-cjk_width"),
            QStringLiteral("-fa"),
            kHalfWidthFont,
            QStringLiteral("-fd"),
            kDoubleWidthFont,
            QStringLiteral("-fs"),
            kFontSize,
            QStringLiteral("-bg"),
            QStringLiteral("black"),
            QStringLiteral("-fg"),
            QStringLiteral("white"),
            QStringLiteral("-T"),
            fileNameOf(batchPath),
            QStringLiteral("-e"),
            hostProgram,
            QStringLiteral("--console-host"),
            batchPath};
}

bool XtermShellService::openBatchMaximized(const QString& batchPath) {
    return QProcess::startDetached(QStringLiteral("xterm"), consoleCommand(executablePath(), batchPath),
                                   folderOf(batchPath));
}

bool XtermShellService::startDetached(const QString& program, const QString& arguments) {
    const QString resolved = resolveCaseInsensitive(program);
    return QProcess::startDetached(resolved, splitWindowsCommandLine(arguments));
}

QString XtermShellService::missingFor(Purpose purpose, const QString& executable) {
    using namespace asmora::toolkit;
    const std::string program = missingHostProgramFor(purpose == Purpose::Run ? HostNeed::Run : HostNeed::Debug);
    if (!program.empty()) return QString::fromStdString(program);
    const ProgramStart start = planProgramStart({QFile::encodeName(executable).toStdString()});
    return QString::fromStdString(start.refusal);
}

QStringList XtermShellService::hostRows() {
    using namespace asmora::toolkit;
    QStringList rows{QString::fromStdString(describeI386Host(i386Host()))};
    for (const std::string& text : missingHostProgramTexts()) rows.append(QString::fromStdString(text));
    return rows;
}

}  // namespace platform
