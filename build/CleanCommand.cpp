// The clean command and DelYongYu.
#include "CleanCommand.h"

#include "BuildContext.h"
#include "HeaderRows.h"
#include "OutputList.h"
#include "SourceChecks.h"
#include "WorkFiles.h"

#include "platform/PauseService.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>

namespace asmora::build {
namespace {

constexpr int kAfterEachDeletionMs = 100;

}  // namespace

void DelYongYu(TOutputList& output, const QString& base) {
    for (const char* extension : kWorkExtensions) {
        const QString file = base + QString::fromLatin1(extension);
        if (!platform::fileExists(file)) continue;
        QFile::remove(file);
        output.selectLast();
    }
}

QString cleanRow(const QString& file, bool deleted) {
    return QStringLiteral("发现文件：") + file + QString(25, u'-') +
           (deleted ? QStringLiteral("成功删除。") : QStringLiteral("未能删除，文件可能正在使用。"));
}

void cleanWorkFiles(const TBuildContext& context) {
    const QString source = context.currentPath();
    if (!checkSource(context, source, SourceCommand::Clean)) return;
    const WorkFiles files = workFilesOf(source);
    TOutputList& output = context.output;
    output.clear();
    output.addRows({QString(), dashedTitle(QStringLiteral("清理冗余文件")), QString()});
    for (const char* extension : kWorkExtensions) {
        const QString file = files.file(extension);
        if (!platform::fileExists(file)) continue;
        output.addRow(cleanRow(file, QFile::remove(file)));
        context.pause.pause(kAfterEachDeletionMs);
    }
    output.addRows({QString(), kCrLf + dashedTitle(QStringLiteral("清理操作结束")) + kCrLf});
    QDir().rmdir(files.outputFolder);  // only an empty folder goes
}

}  // namespace asmora::build
