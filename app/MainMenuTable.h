// The main window's menu bar and the editor's context menu, as tables: every item
// with its component name, caption, shortcut and the separator that follows it.
#pragma once

#include <span>

namespace asmora::app {

struct MenuItemRow {
    const char* menu;          // component name of the menu that holds the item
    const char* name;          // component name of the item
    const char16_t* caption;
    const char* shortcut;      // QKeySequence text, "" for none
    bool checkable;
    bool separatorAfter;
    bool submenu;              // the item opens a menu filled at run time
};

struct MenuRow {
    const char* name;
    const char16_t* caption;
    const char* shortcut;      // a shortcut that runs the menu's own command
};

std::span<const MenuRow> mainMenus();
std::span<const MenuItemRow> mainMenuItems();
std::span<const MenuItemRow> popupMenuItems();

}  // namespace asmora::app
