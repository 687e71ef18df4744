// The run command.
#include "RunCommand.h"

#include "BuildContext.h"
#include "ConsoleTemplate.h"
#include "SourceChecks.h"
#include "TextLines.h"
#include "WorkFiles.h"

#include "platform/FileAttributes.h"
#include "platform/Paths.h"
#include "platform/ShellService.h"

#include <QFile>
#include <QLineEdit>

namespace asmora::build {
namespace {

const QString kCannotRunCaption = QStringLiteral("无法运行");

}  // namespace

void runProgram(const TBuildContext& context) {
    const QString source = context.currentPath();
    if (!checkSource(context, source, SourceCommand::Run)) return;
    const QString batch = context.programFolder.runBatch();
    const QString consoleTemplate = context.programFolder.consoleTemplate();
    QFile::remove(batch);
    context.commandBox.clear();
    if (!platform::fileExists(consoleTemplate)) writeDefaultTemplate(consoleTemplate);
    const QString executable = workFilesOf(source).executable();
    if (!platform::fileExists(executable)) {
        warn(context, QStringLiteral("没有生成对应的EXE文件或链接过程发生错误，请检查后再试。"),
             QStringLiteral("错误"));
        return;
    }
    const QString missing = context.shell.missingFor(platform::ShellService::Purpose::Run, executable);
    if (!missing.isEmpty()) {
        warn(context, missing, kCannotRunCaption);
        return;
    }
    writeTextLines(batch, runBatch(readTextLines(consoleTemplate), executable, batch));
    platform::markHidden(batch);
    if (!context.shell.openBatchMaximized(batch)) {
        warn(context, QStringLiteral("无法打开运行程序的控制台窗口（xterm）。"), kCannotRunCaption);
    }
}

}  // namespace asmora::build
