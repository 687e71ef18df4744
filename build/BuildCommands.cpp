// The assemble and link commands.
#include "BuildCommands.h"

#include "BuildContext.h"
#include "CleanCommand.h"
#include "HeaderRows.h"
#include "OutputList.h"
#include "SourceChecks.h"
#include "WorkFiles.h"

#include "platform/CommandLine.h"
#include "platform/PauseService.h"
#include "platform/Paths.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>

namespace asmora::build {
namespace {

constexpr int kAfterAssemblingMs = 1000;

// Every path is quoted, and a quote or backslash inside it is escaped, so that the
// runner's split gives each path back whole, whatever characters its name holds.
QString quoted(const QString& path) { return platform::quoteWindowsArgument(path, platform::Quoting::Always); }

void runWhenAutomatic(const TBuildContext& context) {
    if (context.autoExecute.isChecked() && context.execute) context.execute();
}

// A refused command also empties the command box, so that the execute button cannot
// run the command of the file built before on the wrong file.
bool acceptSource(const TBuildContext& context, const QString& source, SourceCommand command) {
    if (checkSource(context, source, command)) return true;
    context.commandBox.clear();
    return false;
}

}  // namespace

QString assemblerCommand(const WorkFiles& files, const QString& sourcePath) {
    return QStringLiteral("bin/ml.exe /c /coff /Fl") + quoted(files.listing()) + QStringLiteral(" /Fo ") +
           quoted(files.object()) + QStringLiteral(" /Zi ") + quoted(sourcePath) + u' ';
}

QString linkerCommand(const WorkFiles& files, const platform::ProgramFolder& programFolder) {
    return QStringLiteral("bin/link.exe /debug /subsystem:console /entry:start /out:") + quoted(files.executable()) +
           u' ' + quoted(files.object()) + u' ' + quoted(programFolder.ioObject()) + u' ' +
           quoted(programFolder.kernel32Library());
}

void assembleSource(const TBuildContext& context) {
    const QString source = context.currentPath();
    if (!acceptSource(context, source, SourceCommand::Assemble)) return;
    if (context.save) context.save();
    TOutputList& output = context.output;
    output.clear();
    const WorkFiles files = workFilesOf(source);
    const QString header = files.sourceFolder + QStringLiteral("io.h");
    if (!platform::fileExists(header) && context.writeIoHeader) context.writeIoHeader(header);
    DelYongYu(output, files.base);
    output.addRow(dashedTitle(QStringLiteral(" 源文件信息 ")));
    QDir().mkpath(files.outputFolder);  // a failure shows in the assembler's output
    output.addRows({QString(), QStringLiteral("文件名称：") + source + kCrLf, QString(),
                    QStringLiteral("输出目录：") + files.outputFolder + kCrLf, QString()});
    output.pageDown();
    output.addRows({kCrLf + dashedTitle(QStringLiteral("   汇  编   ")) + kCrLf, QString()});
    context.commandBox.setText(assemblerCommand(files, source));
    runWhenAutomatic(context);
    context.pause.pause(kAfterAssemblingMs);
    output.pageDown();
}

void linkObject(const TBuildContext& context) {
    const QString source = context.currentPath();
    if (!acceptSource(context, source, SourceCommand::Link)) return;
    TOutputList& output = context.output;
    output.clear();
    const WorkFiles files = workFilesOf(source);
    output.addRows({QString(), dashedTitle(QStringLiteral(" 源文件信息 ")) + kCrLf, QString(),
                    QStringLiteral("文件名称：") + source + kCrLf, QString(),
                    QStringLiteral("输出目录：") + files.outputFolder, QString()});
    output.pageDown();
    output.addRows({kCrLf + dashedTitle(QStringLiteral("   链  接   ")) + kCrLf, QString()});
    context.commandBox.setText(linkerCommand(files, context.programFolder));
    runWhenAutomatic(context);
    output.pageDown();
}

}  // namespace asmora::build
