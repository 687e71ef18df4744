// Child processes with one output pipe, on toolkit/common's PipedProcess.
#include "ChildProcess.h"

#include "CommandLine.h"
#include "SystemReasons.h"

#include <QFile>

namespace platform {

QString ChildProcess::resolveProgram(const QString& token) {
    const std::string found = asmora::toolkit::resolveProgram(QFile::encodeName(token).toStdString());
    return QFile::decodeName(QByteArray::fromStdString(found));
}

bool ChildProcess::start(const QString& commandLine) {
    const QStringList arguments = splitWindowsCommandLine(commandLine);
    if (arguments.isEmpty()) {
        error_ = QStringLiteral("empty command");
        return false;
    }
    const QString program = resolveProgram(arguments.front());
    if (program.isEmpty()) {
        error_ = QStringLiteral("program not found: %1").arg(arguments.front());
        return false;
    }
    std::vector<std::string> argv{QFile::encodeName(program).toStdString()};
    for (qsizetype i = 1; i < arguments.size(); ++i) argv.push_back(arguments[i].toStdString());
    if (process_.start(argv)) return true;
    refused_ = !process_.refusal().empty();
    error_ = refused_ ? QString::fromStdString(process_.refusal()) : systemReason(process_.startError());
    return false;
}

}  // namespace platform
