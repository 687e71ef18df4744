// Windows command-line splitting and quoting on QString.
#include "CommandLine.h"

namespace platform {

QStringList splitWindowsCommandLine(const QString& line) {
    QStringList arguments;
    for (const std::string& argument : asmora::toolkit::splitWindowsCommandLine(line.toStdString()))
        arguments.append(QString::fromStdString(argument));
    return arguments;
}

QString quoteWindowsArgument(const QString& argument, Quoting quoting) {
    return QString::fromStdString(asmora::toolkit::quoteWindowsArgument(argument.toStdString(), quoting));
}

}  // namespace platform
