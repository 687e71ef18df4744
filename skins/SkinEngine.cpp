// The skin engine on Qt style sheets.
#include "SkinEngine.h"

#include "SkinStore.h"

#include <QApplication>

namespace asmora::skins {
namespace {

QApplication* application() { return qobject_cast<QApplication*>(QCoreApplication::instance()); }

}  // namespace

TSkinData::TSkinData() {
    if (QApplication* app = application()) before_ = app->styleSheet();
}

TSkinData::~TSkinData() {
    if (QApplication* app = application()) app->setStyleSheet(before_);
}

void TSkinData::loadFromStore(const TSkinStore& store, int index) { load(store.name(index), store.sheet(index)); }

void TSkinData::load(const QString& name, const QString& sheet) {
    name_ = name;
    sheet_ = sheet;
    apply();
}

void TSkinData::setActive(bool on) {
    active_ = on;
    apply();
}

// Re-styling every widget is costly, so the sheet is set only when it changes.
void TSkinData::apply() {
    QApplication* app = application();
    if (!app) return;
    const QString wanted = active_ ? sheet_ : QString();
    if (app->styleSheet() != wanted) app->setStyleSheet(wanted);
}

}  // namespace asmora::skins
