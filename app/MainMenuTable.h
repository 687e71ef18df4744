// The main window's menu bar and the editor's context menu, as tables: every menu and
// item with its typed id, its component name (the name of the stored window layout),
// caption, shortcut and the separator that follows it.
#pragma once

#include <QString>

#include <span>

namespace asmora::app {

// The menus and menu items of the main window, named for what they do. The component
// name of each (`N27`, `SaveB`, ...) is data in its table row.
enum class MenuId {
    // Menus of the menu bar; `About` also names the F1 action that opens the about window.
    FileMenu,
    EditMenu,
    BuildMenu,
    ViewMenu,
    SettingsMenu,
    About,
    // File
    NewFile,
    Open,
    Save,
    SaveAs,
    DeleteFile,
    Exit,
    // Edit
    Find,
    FindNext,
    Replace,
    GotoLine,
    // Build
    Assemble,
    Link,
    Run,
    Debug,
    Clean,
    ShowListing,
    NextError,
    PreviousError,
    // View
    EditConsoleTemplate,
    SkinsOff,
    SkinChoice,
    HideFolderBar,
    HideButtonColumn,
    HideCommandArea,
    // Settings
    Associate,
    SkipToolKitCheck,
    CheckToolKit,
    SkipDebugTips,
    // About
    AboutAuthor,
    // The editor's context menu
    EditorPopup,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    SelectAll,
    SaveFromPopup,
};

struct MenuItemRow {
    MenuId menu;  // the menu that holds the item
    MenuId id;
    const char* name;  // component name of the item
    const char16_t* caption;
    const char* shortcut;  // QKeySequence text, "" for none
    bool checkable;
    bool separatorAfter;
    bool submenu;  // the item opens a menu filled at run time
};

struct MenuRow {
    MenuId id;
    const char* name;
    const char16_t* caption;
    const char* shortcut;  // a shortcut that runs the menu's own command
};

std::span<const MenuRow> mainMenus();
std::span<const MenuItemRow> mainMenuItems();
std::span<const MenuItemRow> popupMenuItems();
const MenuRow& popupMenu();  // the editor's context menu itself

// The component name of a menu or item, from the tables.
QString componentName(MenuId id);

}  // namespace asmora::app
