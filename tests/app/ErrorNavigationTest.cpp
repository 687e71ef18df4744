// From an output-list message to its line: double-click and Enter on a row, F2 and
// Shift+F2, Ctrl+G, with sources in a folder whose name holds a blank and Chinese.
#include "AppFixture.h"

#include "app/MainMenuTable.h"
#include "build/OutputList.h"
#include "documents/DocumentCommands.h"
#include "editor/SciScintilla.h"

#include <QAction>
#include <QtTest/QTest>

using B = QsciScintillaBase;
using asmora::app::componentName;
using asmora::app::MenuId;

namespace {

const QByteArray kSource = "INCLUDE io.h\r\n.code\r\nstart:\r\n\tmvo eax, 1\r\n\tcall Show\r\n\tEND start\r\n";
const QByteArray kHeader = ";io\r\nbad line\r\n";

class ErrorNavigationTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        writeFile(u"实验 1/lab1.asm"_qs, kSource);
        writeFile(u"实验 1/io.h"_qs, kHeader);
        start({source()});
        rows = {
            u"---------- 汇  编 ----------"_qs,
            source() + u"(4) : error A2008: syntax error : mvo"_qs,
            path(u"实验 1/io.h"_qs) + u"(2) : error A2008: syntax error : bad"_qs,
            u"lab1.obj : error LNK2001: unresolved external symbol _Show@0"_qs,
            u"lab1.exe : fatal error LNK1120: 1 unresolved externals"_qs,
            u""_qs,
        };
        window->outputList().clear();
        window->outputList().addRows(std::vector<QString>(rows.begin(), rows.end()));
        window->outputList().selectLast();
    }
    QString source() const { return path(u"实验 1/lab1.asm"_qs); }
    int caretLine() const { return window->editor().CaretLine(); }
    // The lines that carry the error mark.
    std::vector<int> markedLines() const {
        std::vector<int> lines;
        for (int line = 0;
             (line = int(window->editor().Send(B::SCI_MARKERNEXT, line, 1 << TScintillaMemo::kErrorMarker))) >= 0;
             ++line)
            lines.push_back(line);
        return lines;
    }
    void trigger(MenuId item) { window->action(item)->trigger(); }

    QStringList rows;
};

}  // namespace

TEST_F(ErrorNavigationTest, ADoubleClickedRowShowsAndMarksItsLine) {
    asmora::build::TOutputList& list = window->outputList();
    list.show();
    list.scrollTo(list.model()->index(1, 0));
    const QRect rect = list.visualRect(list.model()->index(1, 0));
    const QPoint onRow(10, rect.center().y());  // rows are as wide as the scroll extent
    ASSERT_TRUE(list.viewport()->rect().contains(onRow));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, onRow);  // the press a double click starts with
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, onRow);
    EXPECT_EQ(window->document().Path(), source());
    EXPECT_EQ(caretLine(), 3);
    EXPECT_EQ(markedLines(), std::vector<int>{3});
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(list.rows(), rows);  // the rows stay as the tools wrote them
    EXPECT_FALSE(list.explanation(1).isEmpty());
}

TEST_F(ErrorNavigationTest, AnErrorInAnIncludedFileOpensThatFile) {
    window->outputList().selectRow(2);
    QTest::keyClick(&window->outputList(), Qt::Key_Return);
    EXPECT_EQ(window->document().Path(), path(u"实验 1/io.h"_qs));
    EXPECT_EQ(window->editor().GetText(), kHeader);
    EXPECT_EQ(caretLine(), 1);
    EXPECT_EQ(markedLines(), std::vector<int>{1});

    // Back to the source: the mark moves with the message shown.
    window->ListBox1DblClick(1);
    EXPECT_EQ(window->document().Path(), source());
    EXPECT_EQ(markedLines(), std::vector<int>{3});
}

TEST_F(ErrorNavigationTest, ALinkerRowShowsTheLineThatUsesItsSymbol) {
    window->ListBox1DblClick(3);
    EXPECT_EQ(window->document().Path(), source());
    EXPECT_EQ(caretLine(), 4);  // "call Show"
    EXPECT_EQ(markedLines(), std::vector<int>{4});
    window->ListBox1DblClick(0);  // not a message: nothing changes
    EXPECT_EQ(caretLine(), 4);
}

TEST_F(ErrorNavigationTest, NextAndPreviousGoRoundTheMessageRows) {
    const struct {
        MenuId item;
        int row;
    } steps[] = {{MenuId::NextError, 1}, {MenuId::NextError, 2},     {MenuId::NextError, 3},    {MenuId::NextError, 4},
                 {MenuId::NextError, 1}, {MenuId::PreviousError, 4}, {MenuId::PreviousError, 3}};
    for (const auto& step : steps) {
        trigger(step.item);
        EXPECT_EQ(window->outputList().currentRow(), step.row) << componentName(step.item).toStdString();
    }
}

TEST_F(ErrorNavigationTest, AMessageNamingAMissingFileSaysSo) {
    window->outputList().addRow(path(u"实验 1/gone.asm"_qs) + u"(3) : error A2006: symbol is not defined : x"_qs);
    window->ListBox1DblClick(window->outputList().count() - 1);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(u"gone.asm"_qs));
    EXPECT_EQ(window->document().Path(), source());
}

TEST_F(ErrorNavigationTest, CtrlGGoesToTheLineEntered) {
    dialogs.numbers.enqueue(5);
    dialogs.numbers.enqueue(std::nullopt);
    trigger(MenuId::GotoLine);
    ASSERT_EQ(dialogs.numberRequests.size(), 1);
    EXPECT_EQ(dialogs.numberRequests[0].maximum, window->editor().GetLineCount());
    EXPECT_EQ(caretLine(), 4);
    trigger(MenuId::GotoLine);  // cancelled
    EXPECT_EQ(caretLine(), 4);
    EXPECT_TRUE(markedLines().empty());
}

// F2, Shift+F2 and Ctrl+G belong to nothing else in the menus and the editor's keys.
TEST_F(ErrorNavigationTest, TheNavigationKeysAreFreeElsewhere) {
    const struct {
        const char* keys;
        MenuId item;
    } keys[] = {{"F2", MenuId::NextError}, {"Shift+F2", MenuId::PreviousError}, {"Ctrl+G", MenuId::GotoLine}};
    for (const auto& key : keys) {
        const QKeySequence sequence(QString::fromLatin1(key.keys));
        int uses = 0;
        for (const auto& row : asmora::app::mainMenuItems())
            if (QKeySequence(QString::fromLatin1(row.shortcut)) == sequence) {
                ++uses;
                EXPECT_EQ(row.id, key.item);
            }
        for (const auto& row : asmora::app::popupMenuItems())
            uses += QKeySequence(QString::fromLatin1(row.shortcut)) == sequence;
        for (const auto& row : asmora::app::mainMenus())
            uses += QKeySequence(QString::fromLatin1(row.shortcut)) == sequence;
        EXPECT_EQ(uses, 1) << key.keys;
        const TShortCut shortCut = QtKeyToShortCut(sequence[0]);
        for (int i = 0; i < window->editor().KeyCommands.Count(); ++i)
            EXPECT_NE(window->editor().KeyCommands.Item(i).ShortCut(), shortCut) << key.keys;
    }
}
