// Showing the listing file.
#include "ListingCommand.h"

#include "BuildContext.h"
#include "HeaderRows.h"
#include "OutputList.h"
#include "SourceChecks.h"
#include "TextLines.h"
#include "Unit4.h"
#include "WorkFiles.h"

#include "platform/Cp936.h"
#include "platform/Errors.h"
#include "platform/PauseService.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"

#include <QFile>

namespace asmora::build {
namespace {

constexpr int kBeforeShowingMs = 300;

// The listing's lines; the assembler writes UTF-8 or code page 936 text.
QStringList readListing(const QString& path) {
    QFile file;
    try {
        platform::openRegularFile(file, path, kMaxTextFileBytes);
    } catch (const platform::Error& error) {
        throw fileReadError(path, error.reason());
    }
    QStringList lines;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n')) line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
        lines.append(platform::cp936::decodeUtf8OrCp936(std::string_view(line.constData(), line.size())));
    }
    return lines;
}

}  // namespace

void showListing(const TBuildContext& context, TForm4& window) {
    const QString source = context.currentPath();
    if (!checkSource(context, source, SourceCommand::Listing)) return;
    context.output.addRow(kCrLf + QStringLiteral("显示List文件内容。"));
    context.pause.pause(kBeforeShowingMs);
    const QString listing = workFilesOf(source).listing();
    if (!platform::fileExists(listing)) {
        warn(context, QStringLiteral("lst文件不存在，请重新汇编后再尝试打开。"), QStringLiteral("操作中断-2"));
        return;
    }
    window.setListing(listing, readListing(listing));
    window.showModally();
}

}  // namespace asmora::build
