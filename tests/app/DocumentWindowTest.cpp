// The document commands as the main window reaches them: the template at start-up,
// key presses in the editor, the file menu, the open button, the context menu, and
// the saves that dropping a file, closing and assembling ask for.
#include "AppFixture.h"

#include "documents/DocumentCommands.h"
#include "editor/SciScintilla.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

using namespace asmora::app;
using platform::IdNo;
using platform::IdYes;
using platform::ScriptedDialogs;

namespace {
const QString kUntitledTab = QStringLiteral("&1 未命名.asm");
}

class DocumentWindowTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
        start();
        dialogs.shown.clear();
    }
    QByteArray text() const { return window->editor().GetText(); }
    void pressKey(Qt::Key key = Qt::Key_Right) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&window->editor(), &press);
    }
    // Opens `tail` through the open dialog.
    void open(const QString& tail) {
        dialogs.fileResults.enqueue(ScriptedDialogs::chosen(path(tail)));
        window->action(MenuId::Open)->trigger();
    }
    // A key press, then `bytes` inserted at the start of the text.
    void edit(const QByteArray& bytes) {
        pressKey();
        window->editor().SetSel(0, 0);
        window->editor().ReplaceSel(bytes);
    }
};

TEST_F(DocumentWindowTest, StartUpShowsTheNewFileTemplateUnderTheUntitledCaption) {
    const QByteArray bytes = text();
    EXPECT_EQ(bytes.size(), 593);
    EXPECT_TRUE(bytes.startsWith(";Program: \n;Author: \n;Date: \n\n.386\n"));
    EXPECT_TRUE(bytes.endsWith("END                             ; end of source code\n\r\n"));
    EXPECT_EQ(tabText(), kUntitledTab);
    EXPECT_FALSE(window->document().Modified());
    EXPECT_TRUE(window->document().Path().isEmpty());
}

TEST_F(DocumentWindowTest, AStartupFileReplacesTheTemplateAndSetsTheOpenDialogsFolder) {
    writeFile("src/lab.asm", "mov ax, bx\r\n");
    window.reset();
    start({path("src/lab.asm")});
    EXPECT_EQ(text(), "mov ax, bx\r\n");
    EXPECT_EQ(window->documentCommands().OpenDialog1.initialFolder, path("src"));
    EXPECT_EQ(window->documentCommands().OpenDialog1.fileName, path("src/lab.asm"));
}

TEST_F(DocumentWindowTest, AnyKeyOrCommittedInputInTheEditorMarksTheDocumentChanged) {
    pressKey(Qt::Key_Shift);
    EXPECT_TRUE(window->document().Modified());
    EXPECT_EQ(tabText(), kUntitledTab + " *");
    EXPECT_EQ(text().size(), 593);

    window->action(MenuId::NewFile)->trigger();  // answered No
    EXPECT_EQ(tabText(), kUntitledTab);
    QInputMethodEvent composing(QStringLiteral("zh"), {});
    QApplication::sendEvent(&window->editor(), &composing);
    EXPECT_FALSE(window->document().Modified());
    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("中"));
    QApplication::sendEvent(&window->editor(), &committed);
    EXPECT_TRUE(window->document().Modified());
}

TEST_F(DocumentWindowTest, TheFileMenuTheOpenButtonAndTheContextMenuReachTheirCommands) {
    component<QPushButton>("ButtonOpen")->click();
    ASSERT_EQ(dialogs.openRequests.size(), 1);
    writeFile("src/lab.asm", "mov ax, bx   \r\n");
    open("src/lab.asm");
    EXPECT_EQ(window->document().Path(), path("src/lab.asm"));
    EXPECT_EQ(window->folderBox().text(), path("src"));
    EXPECT_EQ(readFile("bin/Rubish.ini"), (path("src/") + "\r\n" + path("src/Debug/lab") + "\r\n0\r\n").toUtf8());

    edit("; ");
    window->action(MenuId::Save)->trigger();
    EXPECT_EQ(readFile("src/lab.asm"), "; mov ax, bx\r\n");
    edit(";");
    window->action(MenuId::SaveFromPopup)->trigger();
    EXPECT_EQ(readFile("src/lab.asm"), ";; mov ax, bx\r\n");
    EXPECT_EQ(tabText(), "&1 " + path("src/lab.asm"));

    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(path("src/copy"), 1));
    window->action(MenuId::SaveAs)->trigger();
    EXPECT_EQ(dialogs.saveRequests.back().title, QStringLiteral("另存为"));
    EXPECT_EQ(readFile("src/copy.asm"), ";; mov ax, bx\r\n");

    dialogs.answers.enqueue(IdYes);
    window->action(MenuId::DeleteFile)->trigger();
    EXPECT_FALSE(QFile::exists(path("src/copy.asm")));
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("文件删除成功！"));
    EXPECT_EQ(text().size(), 593);

    window->action(MenuId::DeleteFile)->trigger();
    EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("删除文件失败，当前文件未存盘！"));
}

TEST_F(DocumentWindowTest, TheContextMenuEditCommandsWorkOnTheEditorAndMarkNothing) {
    window->editor().ClearDocument();
    window->editor().AddText(QByteArray("abc"));
    window->action(MenuId::SelectAll)->trigger();
    EXPECT_EQ(window->editor().SelLength(), 3);
    window->action(MenuId::Copy)->trigger();
    window->action(MenuId::Cut)->trigger();
    EXPECT_EQ(text(), "");
    window->action(MenuId::Paste)->trigger();
    window->action(MenuId::Paste)->trigger();
    EXPECT_EQ(text(), "abcabc");
    window->action(MenuId::Undo)->trigger();
    EXPECT_EQ(text(), "abc");
    window->action(MenuId::Redo)->trigger();
    EXPECT_EQ(text(), "abcabc");
    EXPECT_FALSE(window->document().Modified());
    EXPECT_EQ(tabText(), kUntitledTab);
}

TEST_F(DocumentWindowTest, DroppingAFileAfterYesSavesTheChangedDocumentFirst) {
    writeFile("a.asm", "a\r\n");
    writeFile("b.asm", "b\r\n");
    open("a.asm");
    edit("x");
    dialogs.answers.enqueue(IdYes);
    window->dropFile(path("b.asm"));
    EXPECT_EQ(readFile("a.asm"), "xa\r\n");
    EXPECT_EQ(text(), "b\r\n");
    EXPECT_EQ(window->document().Path(), path("b.asm"));
    EXPECT_EQ(window->documentCommands().OpenDialog1.initialFolder, folder.path());
}

TEST_F(DocumentWindowTest, ADropWhoseSaveFailsLoadsNothing) {
    writeFile("b.asm", "b\r\n");
    QDir().mkpath(path("dir.asm"));
    window->document().SetPath(path("dir.asm"));  // a folder cannot be written over
    edit("kept");
    dialogs.answers.enqueue(IdYes);
    window->guarded([this] { window->dropFile(path("b.asm")); });
    EXPECT_EQ(dialogs.shown.back().icon, platform::MessageIcon::Error);
    EXPECT_TRUE(text().startsWith("kept;Program:\n"));  // trailing blanks went before the write
    EXPECT_EQ(window->document().Path(), path("dir.asm"));
    EXPECT_TRUE(window->document().Modified());
}

TEST_F(DocumentWindowTest, ClosingAfterYesSavesTheDocument) {
    writeFile("a.asm", "a\r\n");
    open("a.asm");
    edit("b");
    dialogs.answers.enqueue(IdYes);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(readFile("a.asm"), "ba\r\n");
    EXPECT_FALSE(QFile::exists(path("bin/Rubish.ini")));
}

TEST_F(DocumentWindowTest, ASaveThatFailsAtCloseKeepsTheWindowAndItsDocument) {
    QDir().mkpath(path("dir.asm"));
    window->document().SetPath(path("dir.asm"));
    edit("kept");
    dialogs.answers.enqueue(IdYes);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.shown.back().icon, platform::MessageIcon::Error);
    EXPECT_TRUE(window->document().Modified());
    EXPECT_TRUE(QFile::exists(path("bin/Rubish.ini")));

    // Answering No the next time closes without saving.
    window->action(MenuId::Exit)->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(QFile::exists(path("bin/Rubish.ini")));
}

TEST_F(DocumentWindowTest, TheBuildCommandsSaveThroughTheSaveCommand) {
    writeFile("lab.asm", "nop\t\r\n");
    open("lab.asm");
    ASSERT_TRUE(window->saveCurrentDocument);
    window->saveCurrentDocument();
    EXPECT_EQ(readFile("lab.asm"), "nop\t\r\n");  // unchanged: nothing is written
    edit("");
    window->saveCurrentDocument();
    EXPECT_EQ(readFile("lab.asm"), "nop\r\n");
    EXPECT_FALSE(window->document().Modified());
}
