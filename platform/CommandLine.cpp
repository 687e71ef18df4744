// Windows command-line splitting and quoting.
#include "CommandLine.h"

namespace platform {
namespace {
bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
}  // namespace

QStringList splitWindowsCommandLine(const QString& line) {
    QStringList arguments;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (true) {
        while (i < n && isBlank(line[i])) ++i;
        if (i >= n) break;
        QString argument;
        bool quoted = false;
        while (i < n && (quoted || !isBlank(line[i]))) {
            if (line[i] == u'\\') {
                qsizetype slashes = 0;
                while (i < n && line[i] == u'\\') ++slashes, ++i;
                if (i < n && line[i] == u'"') {
                    argument += QString(slashes / 2, u'\\');
                    if (slashes % 2) { argument += u'"'; ++i; }
                } else {
                    argument += QString(slashes, u'\\');
                }
                continue;
            }
            if (line[i] == u'"') {
                if (quoted && i + 1 < n && line[i + 1] == u'"') {  // "" inside quotes
                    argument += u'"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            argument += line[i++];
        }
        arguments.append(argument);
    }
    return arguments;
}

QString quoteWindowsArgument(const QString& argument, Quoting quoting) {
    if (quoting == Quoting::WhenNeeded && !argument.isEmpty() && !argument.contains(u' ') &&
        !argument.contains(u'\t') && !argument.contains(u'"'))
        return argument;
    QString quoted = QStringLiteral("\"");
    qsizetype slashes = 0;
    for (QChar c : argument) {
        if (c == u'\\') { ++slashes; quoted += c; continue; }
        if (c == u'"') quoted += QString(slashes + 1, u'\\');
        slashes = 0;
        quoted += c;
    }
    quoted += QString(slashes, u'\\');
    quoted += u'"';
    return quoted;
}

}  // namespace platform
