// The table of files the program carries and writes beside itself, in the order of
// the tool-kit check, and the check itself (`N26Click`), which reports each tool-kit
// file in the output list and writes back the missing ones.
#pragma once

#include <QString>

#include <functional>
#include <span>

namespace platform {
class PauseService;
class ProgramFolder;
}  // namespace platform

namespace asmora::app {

// What the tool-kit check does with a row.
enum class CheckRule {
    Entry,        // written by the program entry, not by the check (SciLexer.dll)
    Reported,     // a line "exists" or "missing"; written when missing
    AlwaysWrite,  // reported like Reported, then written on every check (windbg.exe)
    Silent,       // written when missing, no line
    Association,  // written by the file association (asm.ico)
};

struct CarriedFile {
    const char16_t* target;  // relative to the program folder
    const char* type;        // resource type
    const char* name;        // resource name
    CheckRule rule;
};

std::span<const CarriedFile> carriedFiles();
const CarriedFile& carriedFile(const char* name);  // by resource name, ignoring case

// Writes a carried file to `<programFolder>/<target>`; raises platform::Error.
void writeCarriedFile(const platform::ProgramFolder& programFolder, const CarriedFile& file);

// The tool-kit check. `clear` and `addLine` act on the output list; `pause` waits.
struct ToolKitReport {
    std::function<void()> clear;
    std::function<void(const QString&)> addLine;
};
void checkToolKit(const platform::ProgramFolder& programFolder, const ToolKitReport& report,
                  platform::PauseService& pause);

// "汇编主程序：" + name + two blanks + "加载成功。" or "【文件丢失,修复成功】。"
QString toolKitLine(const QString& fileName, bool present);

}  // namespace asmora::app
