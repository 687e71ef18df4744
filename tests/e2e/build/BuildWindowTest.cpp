// The main window's build-and-run handlers: every button and menu item reaches its
// command, the template editor and listing window open from the window, and the
// console template backup is restored at start-up on Yes.
#include "AppFixture.h"

#include "build/ConsoleTemplate.h"
#include "build/OutputList.h"
#include "build/TextLines.h"
#include "build/Unit2.h"
#include "build/Unit4.h"

#include "platform/Cp936.h"

#include <QPlainTextEdit>
#include <QTimer>

using namespace asmora;
using app::MenuId;

class BuildWindowTest : public AppFixture {
protected:
    void startQuietly() {
        writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
        start();
        dialogs.shown.clear();
    }
    QString lastCaption() const { return dialogs.shown.isEmpty() ? QString() : dialogs.shown.back().caption; }
};

TEST_F(BuildWindowTest, EveryButtonAndMenuItemReachesItsCommand) {
    startQuietly();
    writeFile("work/notes.txt", "text");
    window->document().SetPath(path("work/notes.txt"));
    const struct {
        QPushButton* button;
        MenuId item;
        const char* caption;
    } rows[] = {
        {component<QPushButton>("Button1"), MenuId::Assemble, "类型错误-1"},
        {component<QPushButton>("Button2"), MenuId::Link, "类型错误-2"},
        {component<QPushButton>("Button3"), MenuId::Run, "类型错误-3"},
        {component<QPushButton>("Button13"), MenuId::Clean, "类型错误-4"},
        {component<QPushButton>("Button6"), MenuId::ShowListing, "类型错误-5"},
    };
    for (const auto& row : rows) {
        window->action(row.item)->trigger();
        EXPECT_EQ(lastCaption(), row.caption) << app::componentName(row.item).toStdString();
        dialogs.shown.clear();
        row.button->click();
        EXPECT_EQ(lastCaption(), row.caption) << row.caption;
    }
    // Debug makes no checks: without a program it says so and opens the debugger empty.
    component<QPushButton>("Button12")->click();
    window->action(MenuId::Debug)->trigger();
    ASSERT_EQ(shell.started.size(), 2);
    EXPECT_EQ(shell.started[1].first, path("bin/windbg.exe"));
    EXPECT_EQ(lastCaption(), "提示");
}

TEST_F(BuildWindowTest, TheTemplateEditorOpensModallyFromTheButtonAndF10) {
    startQuietly();
    window->setConsoleTemplateEditor(
        new build::TForm2(platform::ProgramFolder(folder.path()), dialogs, shell, pause, window.get()));
    window->consoleTemplateEditor()->FormCreate();
    for (auto open : {std::function<void()>([&] { component<QPushButton>("Button4")->click(); }),
                      std::function<void()>([&] { window->action(MenuId::EditConsoleTemplate)->trigger(); })}) {
        window->commandBox().setText("left over");
        QStringList shownLines;
        bool modal = false;
        QTimer::singleShot(0, window->consoleTemplateEditor(), [&] {
            modal = window->consoleTemplateEditor()->isVisible() && window->consoleTemplateEditor()->isModal();
            shownLines = window->consoleTemplateEditor()->editableLines();
            window->consoleTemplateEditor()->close();
        });
        open();
        EXPECT_TRUE(modal);
        EXPECT_EQ(shownLines, build::fileToEditable(build::defaultTemplate()));
        EXPECT_TRUE(window->commandBox().text().isEmpty());
        EXPECT_FALSE(window->consoleTemplateEditor()->isVisible());
    }
}

TEST_F(BuildWindowTest, TheListingOpensInTheWindowsListingView) {
    startQuietly();
    writeFile("work/lab1.asm", "END\r\n");
    writeFile("work/Debug/lab1.lst", "listing line\r\n");
    window->document().SetPath(path("work/lab1.asm"));
    QString caption;
    QTimer::singleShot(0, window.get(), [&] {
        ASSERT_NE(window->listingWindow(), nullptr);
        caption = window->listingWindow()->windowTitle();
        EXPECT_EQ(window->listingWindow()->Memo1->toPlainText(), "listing line");
        window->listingWindow()->close();
    });
    window->Button8Click();
    EXPECT_EQ(caption, path("work/Debug/lab1.lst"));
}

TEST_F(BuildWindowTest, ABackupAcceptedAtStartUpBecomesTheTemplateAndIsDeleted) {
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
    writeFile("Backup.dat", platform::cp936::encode(QStringLiteral("你好\r\n\r\n;;%FILENAME%\r\nBye\r\n")));
    dialogs.answers.enqueue(platform::IdYes);
    start();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "发现DOS界面备份文件");
    EXPECT_EQ(build::readTextLines(path("bin/ExecM.dll")),
              (QStringList{"@echo off", "echo 你好", "echo.", "%FILENAME%", "echo.", "echo Bye", "pause>NUL"}));
    EXPECT_FALSE(QFile::exists(path("Backup.dat")));
}

TEST_F(BuildWindowTest, ARecoveryThatCannotWriteIsShownAndTheBackupStaysForTheNextStart) {
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
    writeFile("bin/ExecM.dll/blocked", "a folder where the template belongs");
    writeFile("Backup.dat", "Hello\r\n");
    dialogs.answers.enqueue(platform::IdYes);
    start();
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(dialogs.shown[1].text.contains(path("bin/ExecM.dll")));
    EXPECT_TRUE(QFile::exists(path("Backup.dat")));
}
