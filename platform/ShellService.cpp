// Opening console windows (xterm running the program's console host) and starting
// programs detached.
#include "ShellService.h"

#include "CommandLine.h"
#include "Paths.h"

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

}  // namespace platform
