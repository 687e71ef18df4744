// The settings keys and their defaults.
#include "Settings.h"

#include "platform/IniFile.h"

namespace asmora::app {
namespace {

const QString kSection = QStringLiteral("setting");

struct SwitchRow {
    Switch key;
    const char* name;
    bool fallback;
};

constexpr SwitchRow kSwitches[] = {
    {Switch::SkipToolKitCheck, "AutoCheckASM", false},     {Switch::StartMaximised, "MaxWindow", false},
    {Switch::SkipDebugTips, "Show_DebugTips", false},      {Switch::HideFolderBar, "Hide_FilePath", false},
    {Switch::HideButtonColumn, "Hide_RightContrl", false}, {Switch::HideCommandArea, "Hide_CommandControl", false},
    {Switch::RunBuildCommandsAtOnce, "ASM_ByAuto", true},  {Switch::SkinsOff, "Not_UseSkin", false},
};

const SwitchRow& row(Switch key) {
    for (const SwitchRow& r : kSwitches)
        if (r.key == key) return r;
    return kSwitches[0];
}

}  // namespace

QString TSettings::path() const { return programFolder_.settingsFile(); }

const char* TSettings::keyName(Switch key) { return row(key).name; }
bool TSettings::defaultValue(Switch key) { return row(key).fallback; }

bool TSettings::read(Switch key) const {
    const SwitchRow& r = row(key);
    return platform::IniFile(path()).readInt(kSection, QString::fromLatin1(r.name), r.fallback ? 1 : 0) != 0;
}

QString TSettings::problem() const { return platform::IniFile(path()).problem(); }

QString TSettings::problemWarning(const QString& problem) const {
    return QStringLiteral(
               "设置文件 %1 无法使用：\n%2\n\n本次使用默认设置，更改的设置不会被保存。"
               "请删除或修复该文件，然后重新启动程序。")
        .arg(path(), problem);
}

QString TSettings::problemLine(const QString& problem) const {
    return QStringLiteral("设置文件：setting.ini  【无法使用：%1请删除或修复该文件】。").arg(problem);
}

void TSettings::write(Switch key, bool on) const {
    platform::IniFile(path()).writeString(kSection, QString::fromLatin1(row(key).name),
                                          on ? QStringLiteral("1") : QStringLiteral("0"));
}

QString TSettings::readSkinName() const {
    return platform::IniFile(path()).readString(kSection, QStringLiteral("skinname"), QStringLiteral("Vista"));
}

void TSettings::writeSkinName(const QString& name) const {
    platform::IniFile(path()).writeString(kSection, QStringLiteral("SkinName"), name);
}

}  // namespace asmora::app
