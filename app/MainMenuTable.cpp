// The menu tables of the main window.
#include "MainMenuTable.h"

// clang-format off
namespace asmora::app {
namespace {

constexpr MenuRow kMenus[] = {
    {MenuId::FileMenu,      "F1",    u"文件(&F)",    ""},
    {MenuId::EditMenu,      "E3",    u"编辑(&E)",    ""},
    {MenuId::BuildMenu,     "N7",    u"汇编操作(&D)",  ""},
    {MenuId::ViewMenu,      "DOS1",  u"调整界面(&D)",  ""},
    {MenuId::SettingsMenu,  "N4",    u"设置(&S)",    ""},
    {MenuId::About,         "A1",    u"关于(&A)",    "F1"},
};
// clang-format on

// menu, id, component name, caption, shortcut, checkable, separator after, submenu
// clang-format off
constexpr MenuItemRow kItems[] = {
    {MenuId::FileMenu,      MenuId::NewFile,              "E1",          u"新建文件(&N)",          "Ctrl+N",    false,  false,  false},
    {MenuId::FileMenu,      MenuId::Open,                 "S0",          u"打开(&O)",            "Ctrl+O",    false,  false,  false},
    {MenuId::FileMenu,      MenuId::Save,                 "SaveB",       u"保存(&S)",            "Ctrl+S",    false,  false,  false},
    {MenuId::FileMenu,      MenuId::SaveAs,               "A2",          u"另存为...(&A)",        "",          false,  true,   false},
    {MenuId::FileMenu,      MenuId::DeleteFile,           "N3",          u"删除该文件(慎用)",         "Ctrl+D",    false,  true,   false},
    {MenuId::FileMenu,      MenuId::Exit,                 "E2",          u"退出(&E)",            "",          false,  false,  false},
    {MenuId::EditMenu,      MenuId::Find,                 "N5",          u"查找(&F)",            "Ctrl+F",    false,  false,  false},
    {MenuId::EditMenu,      MenuId::FindNext,             "N8",          u"查找下一处(&N)",         "F3",        false,  false,  false},
    {MenuId::EditMenu,      MenuId::Replace,              "N6",          u"替换(&R)",            "Ctrl+H",    false,  true,   false},
    {MenuId::EditMenu,      MenuId::GotoLine,             "GotoLine1",   u"转到行(&G)...",        "Ctrl+G",    false,  false,  false},
    {MenuId::BuildMenu,     MenuId::Assemble,             "M1",          u"汇编(&ML)",           "F4",        false,  false,  false},
    {MenuId::BuildMenu,     MenuId::Link,                 "L1",          u"链接(&Link)",         "F5",        false,  false,  false},
    {MenuId::BuildMenu,     MenuId::Run,                  "R1",          u"运行(&Run)",          "F6",        false,  false,  false},
    {MenuId::BuildMenu,     MenuId::Debug,                "Windbg1",     u"调试Windbg(&Debug)",  "F7",        false,  false,  false},
    {MenuId::BuildMenu,     MenuId::Clean,                "C1",          u"清理冗余文件(&Clean)",    "F8",        false,  false,  false},
    {MenuId::BuildMenu,     MenuId::ShowListing,          "List1",       u"显示&List文件",         "F9",        false,  true,   false},
    {MenuId::BuildMenu,     MenuId::NextError,            "NextError1",  u"下一个错误(&E)",         "F2",        false,  false,  false},
    {MenuId::BuildMenu,     MenuId::PreviousError,        "PrevError1",  u"上一个错误(&P)",         "Shift+F2",  false,  false,  false},
    {MenuId::ViewMenu,      MenuId::EditConsoleTemplate,  "DOSF101",     u"调整&DOS界面",          "F10",       false,  true,   false},
    {MenuId::ViewMenu,      MenuId::SkinsOff,             "N29",         u"不使用皮肤",             "F12",       true,   false,  false},
    {MenuId::ViewMenu,      MenuId::SkinChoice,           "N19",         u"切换界面皮肤",            "",          false,  true,   true},
    {MenuId::ViewMenu,      MenuId::HideFolderBar,        "N23",         u"隐藏目录提示框",           "",          true,   false,  false},
    {MenuId::ViewMenu,      MenuId::HideButtonColumn,     "N21",         u"隐藏右边控制栏",           "",          true,   false,  false},
    {MenuId::ViewMenu,      MenuId::HideCommandArea,      "N22",         u"隐藏命令输出框",           "",          true,   false,  false},
    {MenuId::SettingsMenu,  MenuId::Associate,            "ASM1",        u"设为&ASM默认打开方式",      "F11",       false,  true,   false},
    {MenuId::SettingsMenu,  MenuId::SkipToolKitCheck,     "N25",         u"启动时不检测汇编器",         "",          true,   false,  false},
    {MenuId::SettingsMenu,  MenuId::CheckToolKit,         "N26",         u"手动修复汇编器",           "",          false,  false,  false},
    {MenuId::SettingsMenu,  MenuId::SkipDebugTips,        "N27",         u"调试前不提示用户",          "",          true,   false,  false},
    {MenuId::About,         MenuId::AboutAuthor,          "N9",          u"关于作者",              "",          false,  false,  false},
};
// clang-format on

constexpr MenuRow kPopupMenu = {MenuId::EditorPopup, "PopupMenu1", u"", ""};

// clang-format off
constexpr MenuItemRow kPopupItems[] = {
    {MenuId::EditorPopup,  MenuId::Undo,           "Undo1",       u"撤销",    "Ctrl+Z",        false,  false,  false},
    {MenuId::EditorPopup,  MenuId::Redo,           "Redo1",       u"恢复",    "Shift+Ctrl+Z",  false,  true,   false},
    {MenuId::EditorPopup,  MenuId::Cut,            "Cut1",        u"剪切",    "Ctrl+X",        false,  false,  false},
    {MenuId::EditorPopup,  MenuId::Copy,           "Copy1",       u"复制",    "Ctrl+C",        false,  false,  false},
    {MenuId::EditorPopup,  MenuId::Paste,          "Paste1",      u"粘贴",    "Ctrl+V",        false,  false,  false},
    {MenuId::EditorPopup,  MenuId::SelectAll,      "SelectAll1",  u"全选",    "Ctrl+A",        false,  true,   false},
    {MenuId::EditorPopup,  MenuId::SaveFromPopup,  "SaveFile1",   u"保存文件",  "Ctrl+S",        false,  false,  false},
};
// clang-format on

}  // namespace

std::span<const MenuRow> mainMenus() { return kMenus; }
std::span<const MenuItemRow> mainMenuItems() { return kItems; }
std::span<const MenuItemRow> popupMenuItems() { return kPopupItems; }
const MenuRow& popupMenu() { return kPopupMenu; }

QString componentName(MenuId id) {
    for (const MenuRow& row : mainMenus())
        if (row.id == id) return QString::fromLatin1(row.name);
    for (const auto items : {mainMenuItems(), popupMenuItems()})
        for (const MenuItemRow& row : items)
            if (row.id == id) return QString::fromLatin1(row.name);
    return id == kPopupMenu.id ? QString::fromLatin1(kPopupMenu.name) : QString();
}

}  // namespace asmora::app
