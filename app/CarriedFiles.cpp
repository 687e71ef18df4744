// The carried-file table and the tool-kit check.
#include "CarriedFiles.h"

#include "platform/CarriedResources.h"
#include "platform/PauseService.h"
#include "platform/Paths.h"
#include "platform/ProgramFolder.h"

#include <QDir>

namespace asmora::app {
namespace {

// target, resource type, resource name, rule; in the order of the check. The rows are
// written by the build from resources/carried-files.txt, the one list of carried files.
constexpr CarriedFile kCarriedFiles[] = {
#include "CarriedFileRows.inc"
};

// The pause between reported rows; none after the last reported row.
constexpr int kRowPauseMs = 10;

constexpr bool isReported(CheckRule rule) { return rule == CheckRule::Reported || rule == CheckRule::AlwaysWrite; }

constexpr const CarriedFile* lastReportedRow() {
    const CarriedFile* last = nullptr;
    for (const CarriedFile& file : kCarriedFiles)
        if (isReported(file.rule)) last = &file;
    return last;
}

QString targetPath(const platform::ProgramFolder& programFolder, const CarriedFile& file) {
    return programFolder.file(QString::fromUtf16(file.target));
}

bool isLastReportedRow(const CarriedFile& file) { return &file == lastReportedRow(); }

}  // namespace

std::span<const CarriedFile> carriedFiles() { return kCarriedFiles; }

const CarriedFile& carriedFile(const char* name) {
    for (const CarriedFile& file : kCarriedFiles)
        if (QString::fromLatin1(file.name).compare(QString::fromLatin1(name), Qt::CaseInsensitive) == 0) return file;
    Q_ASSERT_X(false, "carriedFile", "unknown carried file");
    return kCarriedFiles[0];
}

void writeCarriedFile(const platform::ProgramFolder& programFolder, const CarriedFile& file) {
    platform::writeCarriedFile(QString::fromLatin1(file.type), QString::fromLatin1(file.name),
                               targetPath(programFolder, file));
}

QString toolKitLine(const QString& fileName, bool present) {
    return QStringLiteral("汇编主程序：") + fileName + QStringLiteral("  ") +
           (present ? QStringLiteral("加载成功。") : QStringLiteral("【文件丢失,修复成功】。"));
}

void checkToolKit(const platform::ProgramFolder& programFolder, const ToolKitReport& report,
                  platform::PauseService& pause) {
    QDir().mkpath(programFolder.bin());
    report.clear();
    report.addLine(QStringLiteral("正在加载汇编主程序......"));
    report.addLine(QStringLiteral("当前目录: ") + QDir::currentPath());
    for (const CarriedFile& file : kCarriedFiles) {
        const QString target = targetPath(programFolder, file);
        const bool present = platform::fileExists(target);
        switch (file.rule) {
            case CheckRule::Reported:
            case CheckRule::AlwaysWrite:
                report.addLine(toolKitLine(platform::fileNameOf(target), present));
                if (!present || file.rule == CheckRule::AlwaysWrite) writeCarriedFile(programFolder, file);
                if (!isLastReportedRow(file)) pause.pause(kRowPauseMs);
                break;
            case CheckRule::Silent:
                if (!present) writeCarriedFile(programFolder, file);
                break;
            case CheckRule::Entry:
            case CheckRule::Association:
                break;
        }
    }
}

}  // namespace asmora::app
