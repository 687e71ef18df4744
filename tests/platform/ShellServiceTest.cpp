// The run console's xterm command and its agreement with the debugger's windows.
#include "platform/ShellService.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

namespace {

QString OptionValue(const QStringList& arguments, const QString& option) {
    const qsizetype at = arguments.indexOf(option);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

// The value of `resource` in a debugger support file of X resources.
QString ResourceValue(const QString& supportFile, const QString& resource) {
    QFile file(QStringLiteral(ASMORA_SOURCE_DIR_PATH "/toolkit/debugger/support/") + supportFile);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("(unreadable)");
    const QString text = QString::fromUtf8(file.readAll());
    const QRegularExpression line(
        QStringLiteral("^XTerm\\*") + QRegularExpression::escape(resource) + QStringLiteral(": (.*)$"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(text);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

TEST(ConsoleCommand, RunsTheHostOnTheBatchFileWithChineseTwoCellsWide) {
    const QStringList arguments =
        platform::XtermShellService::consoleCommand(QStringLiteral("/p/asmora"), QStringLiteral("/p/bin/ml.bat"));
    EXPECT_TRUE(arguments.contains(QStringLiteral("-cjk_width")));
    EXPECT_TRUE(arguments.contains(QStringLiteral("-u8")));
    EXPECT_EQ(OptionValue(arguments, QStringLiteral("-T")), QStringLiteral("ml.bat"));
    EXPECT_EQ(arguments.mid(arguments.indexOf(QStringLiteral("-e"))),
              (QStringList{QStringLiteral("-e"), QStringLiteral("/p/asmora"), QStringLiteral("--console-host"),
                           QStringLiteral("/p/bin/ml.bat")}));
    // The double-width face is the CJK font, widened to fill two cells.
    EXPECT_TRUE(
        OptionValue(arguments, QStringLiteral("-fd")).startsWith(QStringLiteral("WenQuanYi Micro Hei Mono:matrix=")));
}

TEST(ConsoleCommand, TheDebuggerWindowsUseTheSameFonts) {
    const QStringList arguments = platform::XtermShellService::consoleCommand(QStringLiteral("h"), QStringLiteral("b"));
    for (const char* supportFile : {"MSVCP50.DLL", "MSPDB50.DLL"}) {
        SCOPED_TRACE(supportFile);
        EXPECT_EQ(ResourceValue(QString::fromLatin1(supportFile), QStringLiteral("faceName")),
                  OptionValue(arguments, QStringLiteral("-fa")));
        EXPECT_EQ(ResourceValue(QString::fromLatin1(supportFile), QStringLiteral("faceNameDoublesize")),
                  OptionValue(arguments, QStringLiteral("-fd")));
        EXPECT_EQ(ResourceValue(QString::fromLatin1(supportFile), QStringLiteral("faceSize")),
                  OptionValue(arguments, QStringLiteral("-fs")));
    }
}

}  // namespace
