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

QStringList XtermShellService::consoleCommand(const QString& hostProgram, const QString& batchPath) {
    // xterm draws the console template's box-drawing and full-width characters two
    // columns wide with a CJK font, like a Chinese console.
    return {QStringLiteral("-maximized"),
            QStringLiteral("-u8"),
            QStringLiteral("-cjk_width"),
            QStringLiteral("-fa"), QStringLiteral("WenQuanYi Micro Hei Mono"),
            QStringLiteral("-fs"), QStringLiteral("12"),
            QStringLiteral("-bg"), QStringLiteral("black"),
            QStringLiteral("-fg"), QStringLiteral("white"),
            QStringLiteral("-T"), fileNameOf(batchPath),
            QStringLiteral("-e"), hostProgram, QStringLiteral("--console-host"), batchPath};
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
