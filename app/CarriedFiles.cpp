// The carried-file table and the tool-kit check.
#include "CarriedFiles.h"

#include "platform/CarriedResources.h"
#include "platform/PauseService.h"
#include "platform/Paths.h"
#include "platform/ProgramFolder.h"

#include <QDir>

namespace asmora::app {
namespace {

// target, resource type, resource name, rule; in the order of the check.
constexpr CarriedFile kCarriedFiles[] = {
    {u"SciLexer.dll", "DLLFILE", "Sci_dll", CheckRule::Entry},
    {u"bin/dm.dll", "DllFile", "dm_dll", CheckRule::Reported},
    {u"bin/eecxx.dll", "DllFile", "eecxx_dll", CheckRule::Reported},
    {u"bin/em.dll", "DllFile", "em_dll", CheckRule::Reported},
    {u"bin/msdbi.dll", "DllFile", "msdbi_dll", CheckRule::Reported},
    {u"bin/msdis100.dll", "DllFile", "msdis100_dll", CheckRule::Reported},
    {u"bin/MSPDB50.DLL", "DllFile", "MSPDB50_DLL", CheckRule::Reported},
    {u"bin/MSVCP50.DLL", "DllFile", "MSVCP50_DLL", CheckRule::Reported},
    {u"bin/shcv.dll", "DllFile", "shcv_dll", CheckRule::Reported},
    {u"bin/tlloc.dll", "DllFile", "tlloc_dll", CheckRule::Reported},
    {u"bin/windbg.exe", "ExeFile", "windbg_exe", CheckRule::AlwaysWrite},
    {u"bin/ML.EXE", "ExeFile", "ML_EXE", CheckRule::Reported},
    {u"bin/link.exe", "ExeFile", "link_exe", CheckRule::Reported},
    {u"bin/IO.ASM", "ASMFile", "IO_ASM", CheckRule::Reported},
    {u"bin/io.h", "HFile", "io_h", CheckRule::Reported},
    {u"bin/io.obj", "OBJFile", "io_obj", CheckRule::Reported},
    {u"bin/Kernel32.Lib", "LibFile", "Kernel32_Lib", CheckRule::Reported},
    {u"bin/Asmora帮助.hlp", "HELPFILE", "Help_hlp", CheckRule::Silent},
    {u"bin/WINDBG.HLP", "HELPFILE", "WINDBG_HLP", CheckRule::Silent},
    {u"bin/software.xls", "XLSFILE", "software_xls", CheckRule::Silent},
    {u"bin/asm.ico", "ICOFile", "asm_ico", CheckRule::Association},
};

// The pause between reported rows; none after the last reported row (Kernel32.Lib).
constexpr int kRowPauseMs = 10;

QString targetPath(const platform::ProgramFolder& programFolder, const CarriedFile& file) {
    return programFolder.file(QString::fromUtf16(file.target));
}

bool isLastReportedRow(const CarriedFile& file) { return QString::fromLatin1(file.name) == u"Kernel32_Lib"; }

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

void checkToolKit(const platform::ProgramFolder& programFolder, const ToolKitReport& report, platform::PauseService& pause) {
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
