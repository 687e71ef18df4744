// The skin engine: loading a stored skin, switching on and off, and leaving the
// application's own sheet behind when it goes.
#include "skins/SkinEngine.h"
#include "skins/SkinStore.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

using asmora::skins::TSkinData;
using asmora::skins::TSkinStore;

class SkinEngine : public ::testing::Test {
protected:
    void TearDown() override { qApp->setStyleSheet(QString()); }
    const TSkinStore store{};
};

TEST_F(SkinEngine, StartsOnWithItsOwnSkinTheStandardLook) {
    const TSkinData engine;
    EXPECT_TRUE(engine.active());
    EXPECT_TRUE(engine.skinName().isEmpty());
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

TEST_F(SkinEngine, PaintsWithTheLoadedSkinWhileOn) {
    TSkinData engine;
    engine.loadFromStore(store, 2);
    EXPECT_EQ(engine.skinName(), "LunaBlue");
    EXPECT_EQ(qApp->styleSheet(), store.sheet(2));
    QPushButton button("编  译");
    button.ensurePolished();
    const QColor skinned = button.palette().color(QPalette::ButtonText);
    engine.loadFromStore(store, 5);
    button.ensurePolished();
    EXPECT_EQ(qApp->styleSheet(), store.sheet(5));
    EXPECT_NE(button.palette().color(QPalette::ButtonText), skinned);
}

TEST_F(SkinEngine, OffShowsTheStandardLookAndOnBringsTheSkinBack) {
    TSkinData engine;
    engine.loadFromStore(store, 4);
    engine.setActive(false);
    EXPECT_FALSE(engine.active());
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    engine.loadFromStore(store, 7);  // loading while off keeps it off
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    engine.setActive(true);
    EXPECT_EQ(qApp->styleSheet(), store.sheet(7));
    EXPECT_EQ(engine.skinName(), "RoyaleGlass-INDIGO");
}

TEST_F(SkinEngine, GivesBackTheSheetTheApplicationHadBefore) {
    const QString own = "QPushButton { color: red; }";
    qApp->setStyleSheet(own);
    {
        TSkinData engine;
        engine.loadFromStore(store, 0);
        EXPECT_EQ(qApp->styleSheet(), store.sheet(0));
    }
    EXPECT_EQ(qApp->styleSheet(), own);
}
