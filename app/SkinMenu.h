// The skin menu: one item per stored skin under `N19` "切换界面皮肤" (component names
// KSkin0 to KSkin9, tag = store index, radio behaviour), the skin store
// `SkinStore1` and the skin engine `SkinData1`. The builder runs once at start-up:
// a worker thread reads the settings and the chosen skin's sheet, then the items
// are made and the skin is loaded on the user-interface thread, so start-up never
// waits for it and no widget is touched from the worker.
#pragma once

#include "app/Settings.h"
#include "skins/SkinEngine.h"
#include "skins/SkinStore.h"

#include <QObject>
#include <QString>

#include <functional>
#include <thread>

class QAction;
class QActionGroup;
class QMenu;

namespace asmora::app {

class TSkinMenu : public QObject {
    Q_OBJECT
public:
    // `onChoose` runs when the user clicks a skin item (the main window's
    // ClearBlue1Click).
    TSkinMenu(QMenu* skinMenu, QAction* noSkinItem, TSettings settings, std::function<void(QAction*)> onChoose,
              QObject* parent = nullptr);
    ~TSkinMenu() override;

    // Starts the builder; later calls do nothing.
    void startBuilder();
    // Finishes the build on the calling (user-interface) thread if the worker's
    // result has not been applied yet. Runs before the menu opens.
    void waitUntilBuilt();
    bool built() const { return built_; }

    // The skin item with tag `index`, or null.
    QAction* item(int index) const;

    skins::TSkinStore SkinStore1;
    skins::TSkinData SkinData1;

private:
    // What the worker learns from the settings and the store.
    struct Plan {
        int chosen = -1;  // store index named by SkinName, -1 for none
        QString chosenSheet;
        QString failure;  // why the chosen sheet could not be read
        bool skinsOff = false;
    };
    static Plan readPlan(const TSettings& settings, const skins::TSkinStore& store);
    void applyPlan();

    QMenu* skinMenu_;
    QAction* noSkinItem_;
    TSettings settings_;
    std::function<void(QAction*)> onChoose_;
    QActionGroup* group_;
    std::thread worker_;
    Plan plan_;
    bool started_ = false;
    bool built_ = false;
};

}  // namespace asmora::app
