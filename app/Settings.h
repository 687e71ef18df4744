// The settings file `<program folder>/bin/setting.ini`, section "setting": every key
// with its default. Each read or write opens and closes the file; switches are
// stored as "1" and "0".
#pragma once

#include "platform/ProgramFolder.h"

#include <QString>

namespace asmora::app {

// Each switch is named for what "on" means; the key it is stored under (named for the
// check mark it keeps, so `AutoCheckASM` = 1 skips the check) is data in Settings.cpp.
enum class Switch {
    SkipToolKitCheck,        // no tool-kit check at start-up (check mark of N25)
    StartMaximised,          // open the main window maximised
    SkipDebugTips,           // no tips box before debugging (check mark of N27)
    HideFolderBar,           // top bar Panel5 hidden (N23)
    HideButtonColumn,        // right column Panel8 hidden (N21)
    HideCommandArea,         // bottom area Panel1 hidden (N22)
    RunBuildCommandsAtOnce,  // assemble and link run their command at once (CheckBox1)
    SkinsOff,                // skin engine off (N29)
};

class TSettings {
public:
    explicit TSettings(platform::ProgramFolder programFolder) : programFolder_(std::move(programFolder)) {}

    QString path() const;

    bool read(Switch key) const;
    // Raises platform::Error naming the settings file when it cannot be written.
    void write(Switch key, bool on) const;

    // The chosen skin: read under the key "skinname", written as "SkinName"
    // (key names ignore case, so the write replaces the line the read found).
    QString readSkinName() const;
    void writeSkinName(const QString& name) const;

    // Empty when the settings file is missing or sound; otherwise what is wrong with it
    // (a folder or special file in its place, too large, unreadable, broken lines).
    QString problem() const;
    // The start-up warning and the tool-kit check's line about such a file.
    QString problemWarning(const QString& problem) const;
    QString problemLine(const QString& problem) const;

    static const char* keyName(Switch key);
    static bool defaultValue(Switch key);

private:
    platform::ProgramFolder programFolder_;
};

}  // namespace asmora::app
