// The nine support files that stand beside windbg.exe and what each one holds.
//
//   file           holds                                                   read by
//   dm.dll         gdb command script: session settings, start at entry    gdb (-x)
//   msdis100.dll   gdb command script: disassembly and value display       gdb (-x)
//   msdbi.dll      gdb command script: the views (TUI layouts)             gdb (-x)
//   eecxx.dll      gdb Python: the commands behind the keys (memory view,  gdb (python)
//                  registers, arrange), the program-console hand-over and
//                  the UTF-8 copies of code page 936 sources for the views
//   shcv.dll       table of the course's data types: name, size, format    eecxx.dll
//   em.dll         readline key map: F10, F11, Alt+4, Alt+5, Alt+R         gdb (INPUTRC)
//   MSVCP50.DLL    X resources of the debugger window                      xterm (-xrm)
//   MSPDB50.DLL    X resources of the program's console window             xterm (-xrm)
//   tlloc.dll      the texts shown, "key = text" lines in UTF-8            windbg.exe, eecxx.dll
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

namespace asmora::debugger {

struct SupportFileNames {
    static constexpr const char* sessionScript = "dm.dll";
    static constexpr const char* displayScript = "msdis100.dll";
    static constexpr const char* viewScript = "msdbi.dll";
    static constexpr const char* keyCommands = "eecxx.dll";
    static constexpr const char* typeTable = "shcv.dll";
    static constexpr const char* keyMap = "em.dll";
    static constexpr const char* debuggerWindowResources = "MSVCP50.DLL";
    static constexpr const char* consoleWindowResources = "MSPDB50.DLL";
    static constexpr const char* texts = "tlloc.dll";

    // All nine, in the order of the tool-kit table.
    static constexpr std::array all = {
        sessionScript,           keyCommands, keyMap, viewScript, displayScript, consoleWindowResources,
        debuggerWindowResources, typeTable,   texts};
};

// All nine names, in the order of the tool-kit table.
const std::vector<std::string>& supportFileList();

class SupportFolder {
public:
    explicit SupportFolder(std::string folder) : folder_(std::move(folder)) {}

    const std::string& folder() const { return folder_; }
    std::string path(const char* name) const;

    // Names of support files that are missing from the folder.
    std::vector<std::string> missingFiles() const;

    // X resource lines of a resources file, comments ("!") and blank lines left out.
    std::vector<std::string> resourceLines(const char* name) const;

private:
    std::string folder_;
};

// The "key = text" lines of tlloc.dll; "\n" in a text stands for a line break.
// Sample: title.debugger = WinDbg - %1
class Texts {
public:
    static Texts load(const std::string& path);
    // The text for `key` with "%1" replaced by `argument`; the key itself when missing.
    std::string get(const std::string& key, const std::string& argument = {}) const;

private:
    std::map<std::string, std::string> entries_;
};

}  // namespace asmora::debugger
