// The menu tables: every id has exactly one row and one component name, so a lookup
// by id always finds its item, and the stored names stay unique.
#include "app/MainMenuTable.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace asmora::app;

namespace {

std::vector<MenuId> everyMenuId() {
    std::vector<MenuId> ids;
    for (int id = 0; id <= static_cast<int>(MenuId::SaveFromPopup); ++id) ids.push_back(static_cast<MenuId>(id));
    return ids;
}

}  // namespace

TEST(MainMenuTable, EveryIdHasOneUniqueComponentName) {
    QSet<QString> names;
    for (const MenuId id : everyMenuId()) {
        const QString name = componentName(id);
        EXPECT_FALSE(name.isEmpty()) << static_cast<int>(id);
        EXPECT_FALSE(names.contains(name)) << name.toStdString();
        names.insert(name);
    }
}

TEST(MainMenuTable, EveryItemBelongsToAMenuOfTheMenuBar) {
    QSet<MenuId> menus;
    for (const MenuRow& row : mainMenus()) menus.insert(row.id);
    for (const MenuItemRow& row : mainMenuItems()) EXPECT_TRUE(menus.contains(row.menu)) << row.name;
    for (const MenuItemRow& row : popupMenuItems()) EXPECT_EQ(row.menu, popupMenu().id) << row.name;
}
