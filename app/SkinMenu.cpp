// The skin-menu builder and the skin menu's handler `ClearBlue1Click`.
#include "SkinMenu.h"

#include "app/Unit1.h"
#include "platform/Errors.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <cstdio>

namespace asmora::app {

TSkinMenu::TSkinMenu(QMenu* skinMenu, QAction* noSkinItem, TSettings settings, std::function<void(QAction*)> onChoose,
                     QObject* parent)
    : QObject(parent),
      skinMenu_(skinMenu),
      noSkinItem_(noSkinItem),
      settings_(std::move(settings)),
      onChoose_(std::move(onChoose)),
      group_(new QActionGroup(this)) {
    group_->setExclusive(true);
    connect(skinMenu_, &QMenu::aboutToShow, this, &TSkinMenu::waitUntilBuilt);
}

TSkinMenu::~TSkinMenu() {
    if (worker_.joinable()) worker_.join();
}

void TSkinMenu::startBuilder() {
    if (started_) return;
    started_ = true;
    worker_ = std::thread([this] {
        plan_ = readPlan(settings_, SkinStore1);
        QMetaObject::invokeMethod(this, &TSkinMenu::applyPlan, Qt::QueuedConnection);
    });
}

void TSkinMenu::waitUntilBuilt() {
    if (!started_) startBuilder();
    applyPlan();
}

// Runs on the worker: files and resources only.
TSkinMenu::Plan TSkinMenu::readPlan(const TSettings& settings, const skins::TSkinStore& store) {
    Plan plan;
    try {
        plan.chosen = store.indexOf(settings.readSkinName());
        plan.skinsOff = settings.read(Switch::SkinsOff);
        if (plan.chosen >= 0) plan.chosenSheet = store.sheet(plan.chosen);
    } catch (const platform::Error& error) {
        plan.failure = error.message();
    }
    return plan;
}

// Runs on the user-interface thread, once: makes the items, loads the chosen skin
// and switches the engine as the settings say.
void TSkinMenu::applyPlan() {
    if (built_) return;
    if (worker_.joinable()) worker_.join();
    built_ = true;
    if (!plan_.failure.isEmpty()) {
        std::fprintf(stderr, "asmora: %s\n", qPrintable(plan_.failure));
        plan_.chosen = -1;
    }
    for (int index = 0; index < SkinStore1.count(); ++index) {
        auto* entry = new QAction(SkinStore1.name(index), skinMenu_);
        entry->setObjectName(QStringLiteral("KSkin%1").arg(index));
        entry->setData(index);
        entry->setCheckable(true);
        group_->addAction(entry);
        if (index == plan_.chosen) {
            SkinData1.load(SkinStore1.name(index), plan_.chosenSheet);
            entry->setChecked(true);
        }
        connect(entry, &QAction::triggered, this, [this, entry] { onChoose_(entry); });
        skinMenu_->insertAction(index < skinMenu_->actions().size() ? skinMenu_->actions().at(index) : nullptr, entry);
    }
    SkinData1.setActive(!plan_.skinsOff);
    noSkinItem_->setChecked(plan_.skinsOff);
}

QAction* TSkinMenu::item(int index) const {
    for (QAction* entry : group_->actions())
        if (entry->data().toInt() == index) return entry;
    return nullptr;
}

// A skin item was clicked: load its skin, move the check mark to it, end the
// "不使用皮肤" state and remember the skin.
void TForm1::ClearBlue1Click(QAction* item) {
    const int index = item->data().toInt();
    skins::TSkinData& engine = SkinMenu->SkinData1;
    engine.loadFromStore(SkinMenu->SkinStore1, index);                      // 1
    if (QAction* chosen = SkinMenu->item(index)) chosen->setChecked(true);  // 2
    action(MenuId::SkinsOff)->setChecked(false);                            // 3
    settings().write(Switch::SkinsOff, false);
    engine.setActive(true);                                      // 4
    settings().writeSkinName(SkinMenu->SkinStore1.name(index));  // 5
}

}  // namespace asmora::app
