// The skin menu: the items built at start-up from the store and the settings, the
// choice of a skin, and switching skins off and on.
#include "AppFixture.h"

#include "app/SkinMenu.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

using namespace asmora::app;

namespace {
const QStringList kOrder = {
    "ClearBlue",       "GNOME-Green",   "LunaBlue",           "Royale1-HOMESTEAD", "Vista",
    "GUIRelax-CINDER", "RoueGrey-SLIM", "RoyaleGlass-INDIGO", "ClearLooks-HUMAN",  "Extensis-COPPER"};
}  // namespace

class SkinMenuTest : public AppFixture {
protected:
    void TearDown() override {
        AppFixture::TearDown();
        qApp->setStyleSheet(QString());
    }

    // Starts the window and lets the event loop deliver the builder's result, as
    // the running program does.
    TForm1& startAndBuild(const QByteArray& settings) {
        writeFile("bin/setting.ini", settings);
        start();
        QElapsedTimer clock;
        clock.start();
        while (!window->skinMenu()->built() && clock.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_TRUE(window->skinMenu()->built());
        return *window;
    }
    QList<QAction*> items() const { return window->menu(MenuId::SkinChoice)->actions(); }
    QStringList checkedItems() const {
        QStringList names;
        for (QAction* item : items())
            if (item->isChecked()) names.append(item->text());
        return names;
    }
    QString skinSheet(int index) const { return window->skinMenu()->SkinStore1.sheet(index); }
};

TEST_F(SkinMenuTest, AFirstStartListsTheTenSkinsAndPaintsWithVista) {
    QFile::remove(path("bin/setting.ini"));
    start();
    window->skinMenu()->waitUntilBuilt();
    const QList<QAction*> entries = items();
    ASSERT_EQ(entries.size(), 10);
    for (int index = 0; index < 10; ++index) {
        EXPECT_EQ(entries[index]->text(), kOrder[index]);
        EXPECT_EQ(entries[index]->objectName(), QString("KSkin%1").arg(index));
        EXPECT_EQ(entries[index]->data().toInt(), index);
        EXPECT_TRUE(entries[index]->isCheckable());
        EXPECT_EQ(entries[index]->thread(), qApp->thread()) << "items are made on the user-interface thread";
        EXPECT_EQ(window->skinMenu()->item(index), entries[index]);
    }
    EXPECT_EQ(checkedItems(), QStringList{"Vista"});
    EXPECT_FALSE(window->action(MenuId::SkinsOff)->isChecked());
    EXPECT_TRUE(window->skinMenu()->SkinData1.active());
    EXPECT_EQ(qApp->styleSheet(), skinSheet(4));
}

TEST_F(SkinMenuTest, TheEventLoopDeliversTheBuildWithoutAnyoneWaiting) {
    startAndBuild("[setting]\r\nAutoCheckASM=1\r\nskinname=ClearLooks-HUMAN\r\n");
    EXPECT_EQ(items().size(), 10);
    EXPECT_EQ(checkedItems(), QStringList{"ClearLooks-HUMAN"});
    EXPECT_EQ(window->skinMenu()->SkinData1.skinName(), "ClearLooks-HUMAN");
}

TEST_F(SkinMenuTest, OpeningTheMenuFinishesTheBuildFirst) {
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
    start();
    emit window->menu(MenuId::SkinChoice)->aboutToShow();
    EXPECT_TRUE(window->skinMenu()->built());
    EXPECT_EQ(items().size(), 10);
    // The result the worker posted later is not applied a second time.
    QApplication::processEvents();
    EXPECT_EQ(items().size(), 10);
}

TEST_F(SkinMenuTest, ChoosingLunaBlueWhileSkinsAreOffMovesTheCheckAndRemembersIt) {
    startAndBuild("[setting]\r\nskinname=Vista\r\nAutoCheckASM=1\r\nNot_UseSkin=1\r\n");
    EXPECT_TRUE(window->action(MenuId::SkinsOff)->isChecked());
    EXPECT_FALSE(window->skinMenu()->SkinData1.active());
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(checkedItems(), QStringList{"Vista"});

    window->skinMenu()->item(2)->trigger();

    EXPECT_EQ(checkedItems(), QStringList{"LunaBlue"});
    EXPECT_FALSE(window->action(MenuId::SkinsOff)->isChecked());
    EXPECT_TRUE(window->skinMenu()->SkinData1.active());
    EXPECT_EQ(qApp->styleSheet(), skinSheet(2));
    // "skinname" is replaced in place (key names ignore case); Not_UseSkin too.
    EXPECT_EQ(readFile("bin/setting.ini"), "[setting]\r\nSkinName=LunaBlue\r\nAutoCheckASM=1\r\nNot_UseSkin=0\r\n");
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(SkinMenuTest, ANameInAnotherCaseChecksNothingAndKeepsTheEnginesOwnSkin) {
    startAndBuild("[setting]\r\nAutoCheckASM=1\r\nskinname=vista\r\n");
    EXPECT_EQ(items().size(), 10);
    EXPECT_TRUE(checkedItems().isEmpty());
    EXPECT_TRUE(window->skinMenu()->SkinData1.active());
    EXPECT_TRUE(window->skinMenu()->SkinData1.skinName().isEmpty());
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

TEST_F(SkinMenuTest, NoSkinSwitchesTheEngineOffAndOnAndKeepsTheChosenSkin) {
    startAndBuild("[setting]\r\nAutoCheckASM=1\r\nSkinName=RoueGrey-SLIM\r\n");
    window->action(MenuId::SkinsOff)->trigger();
    EXPECT_TRUE(window->action(MenuId::SkinsOff)->isChecked());
    EXPECT_FALSE(window->skinMenu()->SkinData1.active());
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(checkedItems(), QStringList{"RoueGrey-SLIM"});
    EXPECT_TRUE(readFile("bin/setting.ini").contains("Not_UseSkin=1\r\n"));

    window->action(MenuId::SkinsOff)->trigger();
    EXPECT_TRUE(window->skinMenu()->SkinData1.active());
    EXPECT_EQ(qApp->styleSheet(), skinSheet(6));
    EXPECT_TRUE(readFile("bin/setting.ini").contains("Not_UseSkin=0\r\n"));
    EXPECT_TRUE(readFile("bin/setting.ini").contains("SkinName=RoueGrey-SLIM\r\n"));
}

TEST_F(SkinMenuTest, ASettingsFileThatCannotBeWrittenIsReportedWhenASkinIsChosen) {
    startAndBuild("[setting]\r\nAutoCheckASM=1\r\n");
    QFile::remove(path("bin/setting.ini"));
    QDir().mkpath(path("bin/setting.ini"));
    window->skinMenu()->item(9)->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(path("bin/setting.ini")));
    EXPECT_EQ(checkedItems(), QStringList{"Extensis-COPPER"});
}
