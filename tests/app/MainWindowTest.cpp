// The running main window: view switches, the execute button, the command box,
// maximised state, dropping a file, closing and resizing.
#include "AppFixture.h"

#include "build/OutputList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindowStateChangeEvent>

using namespace asmora::app;

class MainWindowTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
        start();
    }
    QString setting(const char* key) {
        const QByteArray text = readFile("bin/setting.ini");
        for (const QByteArray& line : text.split('\n'))
            if (line.startsWith(QByteArray(key) + '='))
                return QString::fromLatin1(line.mid(qstrlen(key) + 1)).trimmed();
        return QString();
    }
    void changeState(Qt::WindowStates before, Qt::WindowStates now) {
        window->setWindowState(now);
        QWindowStateChangeEvent event(before);
        QApplication::sendEvent(window.get(), &event);
    }
};

TEST_F(MainWindowTest, HidingTheRightColumnTwiceShowsItAgainAndStoresZero) {
    window->action(MenuId::HideButtonColumn)->trigger();
    EXPECT_FALSE(component<QWidget>("Panel8")->isVisibleTo(window.get()));
    EXPECT_TRUE(window->action(MenuId::HideButtonColumn)->isChecked());
    EXPECT_EQ(setting("Hide_RightContrl"), "1");
    window->action(MenuId::HideButtonColumn)->trigger();
    EXPECT_TRUE(component<QWidget>("Panel8")->isVisibleTo(window.get()));
    EXPECT_EQ(setting("Hide_RightContrl"), "0");
}

TEST_F(MainWindowTest, EverySwitchWritesItsKey) {
    const struct {
        MenuId item;
        const char* key;
    } rows[] = {
        {MenuId::HideCommandArea, "Hide_CommandControl"},
        {MenuId::HideFolderBar, "Hide_FilePath"},
        {MenuId::SkipToolKitCheck, "AutoCheckASM"},
        {MenuId::SkipDebugTips, "Show_DebugTips"},
        {MenuId::SkinsOff, "Not_UseSkin"},
    };
    for (const auto& row : rows) {
        const bool before = window->action(row.item)->isChecked();
        window->action(row.item)->trigger();
        EXPECT_EQ(setting(row.key), before ? "0" : "1") << row.key;
    }
    window->autoExecuteBox().click();
    EXPECT_EQ(setting("ASM_ByAuto"), "0");
}

TEST_F(MainWindowTest, AFailedSettingsWriteNamesTheFileAndKeepsTheVisibleChange) {
    // The settings file replaced by a folder cannot be written, as a read-only bin.
    QFile::remove(path("bin/setting.ini"));
    QDir().mkpath(path("bin/setting.ini"));
    window->action(MenuId::HideCommandArea)->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(path("bin/setting.ini")));
    EXPECT_FALSE(component<QWidget>("Panel1")->isVisibleTo(window.get()));
    EXPECT_TRUE(window->action(MenuId::HideCommandArea)->isChecked());
}

TEST_F(MainWindowTest, ExecuteEchoesTheCommandAndAppendsItsOutput) {
    window->autoExecuteBox().setChecked(false);
    window->outputList().addRow("old");
    window->commandBox().setText(R"(sh -c "echo hello")");
    window->Button7Click();
    const QStringList want = {QStringLiteral("运行指令：") + folder.path() + R"(>sh -c "echo hello")" + "\r\n\r\n", "",
                              "hello"};
    EXPECT_EQ(window->outputList().rows(), want);
    EXPECT_EQ(window->outputList().currentIndex().row(), 2);
}

TEST_F(MainWindowTest, ACommandThatCannotStartLeavesTheEchoAndAnEmptyRow) {
    window->autoExecuteBox().setChecked(true);
    window->outputList().clear();
    window->outputList().addRow("header");
    window->commandBox().setText("no-such-tool-here");
    window->Button7Click();
    const QStringList rows = window->outputList().rows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], "header");
    EXPECT_EQ(rows[2], "");
}

TEST_F(MainWindowTest, AnEmptyCommandClearsOnlyWhenAutoExecutionIsOff) {
    window->commandBox().clear();
    window->autoExecuteBox().setChecked(true);
    window->Button7Click();
    EXPECT_EQ(window->outputList().count(), 1);
    window->autoExecuteBox().setChecked(false);
    window->Button7Click();
    EXPECT_EQ(window->outputList().count(), 0);
}

TEST_F(MainWindowTest, AnyKeyInTheCommandBoxClearsTheOutputList) {
    for (int key : {Qt::Key_Return, Qt::Key_Left, Qt::Key_A}) {
        window->outputList().addRow("row");
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_A ? "a" : "");
        QApplication::sendEvent(&window->commandBox(), &press);
        EXPECT_EQ(window->outputList().count(), 0);
    }
}

TEST_F(MainWindowTest, MaximisingAndRestoringStoreTheStateMinimisingDoesNot) {
    changeState(Qt::WindowNoState, Qt::WindowMaximized);
    EXPECT_EQ(setting("MaxWindow"), "1");
    changeState(Qt::WindowMaximized, Qt::WindowMinimized);
    EXPECT_EQ(setting("MaxWindow"), "1");
    changeState(Qt::WindowMinimized, Qt::WindowNoState);
    EXPECT_EQ(setting("MaxWindow"), "0");
}

TEST_F(MainWindowTest, DroppingAFileOpensItAndRecordsOnlyAssemblySources) {
    writeFile("src/a.txt", "text");
    window->dropFile(path("src/a.txt"));
    EXPECT_EQ(window->document().Path(), path("src/a.txt"));
    EXPECT_TRUE(readFile("bin/Rubish.ini").isEmpty());
    writeFile("src/b.asm", "code");
    window->document().SetModified(true);
    window->dropFile(path("src/b.asm"));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("当前文件已被修改，但尚未保存，请问是否保存？"));
    EXPECT_FALSE(window->document().Modified());
    EXPECT_EQ(window->folderBox().text(), path("src"));
    EXPECT_EQ(readFile("bin/Rubish.ini"), (path("src/") + "\r\n" + path("src/Debug/b") + "\r\n0\r\n").toUtf8());
}

TEST_F(MainWindowTest, ClosingDeletesTheBatchFileAndTheCleanupList) {
    writeFile("bin/ml.bat", "@echo off");
    window->document().SetModified(true);
    window->close();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("当前文件已被更改，请问是否保存？"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("文件未保存"));
    EXPECT_FALSE(QFile::exists(path("bin/ml.bat")));
    EXPECT_FALSE(QFile::exists(path("bin/Rubish.ini")));
}

TEST_F(MainWindowTest, ResizingKeepsATenPixelGapBeforeTheButtons) {
    window->resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(window->commandBox().x() + window->commandBox().width() + 10, component<QWidget>("Panel4")->x());
    EXPECT_EQ(window->folderBox().x() + window->folderBox().width() + 10, component<QWidget>("Panel7")->x());
    EXPECT_EQ(component<QWidget>("Panel8")->width(), 104);
    EXPECT_EQ(component<QWidget>("Panel1")->height(), 171);
}

TEST_F(MainWindowTest, TheMenusCarryTheirCaptionsAndShortcuts) {
    EXPECT_EQ(window->action(MenuId::NewFile)->text(), QStringLiteral("新建文件(&N)"));
    EXPECT_EQ(window->action(MenuId::Assemble)->shortcut(), QKeySequence("F4"));
    EXPECT_EQ(window->action(MenuId::SkinsOff)->shortcut(), QKeySequence("F12"));
    EXPECT_EQ(window->menu(MenuId::SkinChoice)->title(), QStringLiteral("切换界面皮肤"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("80X86Asmora\u3000V2009 Build 3.818 [修正版]"));
}

TEST_F(MainWindowTest, EveryMenuRowHasItsObjectUnderItsComponentName) {
    for (const MenuRow& row : mainMenus()) {
        ASSERT_NE(window->menu(row.id), nullptr) << row.name;
        EXPECT_EQ(window->menu(row.id)->objectName(), QString::fromLatin1(row.name));
    }
    for (const auto items : {mainMenuItems(), popupMenuItems()})
        for (const MenuItemRow& row : items) {
            QObject* made = row.submenu ? static_cast<QObject*>(window->menu(row.id)) : window->action(row.id);
            ASSERT_NE(made, nullptr) << row.name;
            EXPECT_EQ(made->objectName(), QString::fromLatin1(row.name));
        }
}
