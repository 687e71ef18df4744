// The search, replace and confirm dialogs on their own: texts, hints, initial state,
// the regular-expression rule, history upkeep and the confirm dialog's placement.
#include "EditorTestSupport.h"

#include "SciConfirmReplaceDlg.h"
#include "SciReplaceTextDlg.h"
#include "SciSearchReplaceBase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

template <class W>
W* Child(QWidget& dialog, const char* name) {
    W* widget = dialog.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

QStringList LabelTexts(QWidget& dialog) {
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (!label->text().isEmpty()) texts.append(label->text());
    return texts;
}

// The texts that differ between the two dialogs.
struct DialogCase {
    QString Caption, Options, SelectionOnly, Direction, Search, SearchHint, Cancel, CancelHint;
};

void ExpectDialogTexts(QDialog& dialog, const DialogCase& expected) {
    EXPECT_EQ(dialog.windowTitle(), expected.Caption);
    EXPECT_EQ(Child<QGroupBox>(dialog, "gbSearchOptions")->title(), expected.Options);
    EXPECT_EQ(Child<QGroupBox>(dialog, "rgSearchDirection")->title(), expected.Direction);
    EXPECT_EQ(Child<QCheckBox>(dialog, "cbSearchCaseSensitive")->text(), QStringLiteral("区分大小写(&A)"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "cbSearchWholeWords")->text(), QStringLiteral("全字匹配(&W)"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "cbSearchFromCaret")->text(), QStringLiteral("循环搜索(&H)"));
    EXPECT_EQ(Child<QCheckBox>(dialog, "cbSearchSelectedOnly")->text(), expected.SelectionOnly);
    EXPECT_EQ(Child<QCheckBox>(dialog, "cbRegularExpression")->text(), QStringLiteral("正则表达式(&E)"));
    EXPECT_EQ(Child<QRadioButton>(dialog, "rbForward")->text(), QStringLiteral("向下(&D)"));
    EXPECT_EQ(Child<QRadioButton>(dialog, "rbBackward")->text(), QStringLiteral("向上(&U)"));
    QPushButton* search = Child<QPushButton>(dialog, "btnOK");
    QPushButton* cancel = Child<QPushButton>(dialog, "btnCancel");
    EXPECT_EQ(search->text(), expected.Search);
    EXPECT_EQ(search->toolTip(), expected.SearchHint);
    EXPECT_TRUE(search->isDefault());
    EXPECT_EQ(cancel->text(), expected.Cancel);
    EXPECT_EQ(cancel->toolTip(), expected.CancelHint);
}

}  // namespace

TEST(SciSearchDialogTest, TextsAndInitialState) {
    TTextSearchDialog dialog;
    ExpectDialogTexts(dialog, {QStringLiteral("查找对话框"), QStringLiteral("设置"), QStringLiteral("查找选中部分(&S)"),
                               QStringLiteral("方向"), QStringLiteral("查找&F"), QStringLiteral("Start search"),
                               QStringLiteral("关闭&C"), QStringLiteral("Cancel search")});
    EXPECT_EQ(LabelTexts(dialog), QStringList{QStringLiteral("查找内容(&S):")});
    EXPECT_TRUE(dialog.SearchFromCaret());
    EXPECT_FALSE(dialog.SearchBackwards());
    EXPECT_FALSE(dialog.SearchCaseSensitive() || dialog.SearchWholeWords() || dialog.SearchInSelection() ||
                 dialog.SearchRegex());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST(SciSearchDialogTest, ReplaceDialogTextsWithBlanksInTheGroupTitles) {
    TTextReplaceDialog dialog;
    ExpectDialogTexts(
        dialog, {QStringLiteral("查找替换"), QStringLiteral("  设   置  "), QStringLiteral("只查找选中部分(&S)"),
                 QStringLiteral("  方  向  "), QStringLiteral("替换(&R)"), QStringLiteral("Start search and replace"),
                 QStringLiteral("关闭(&C)"), QStringLiteral("Cancel search and replace")});
    EXPECT_EQ(LabelTexts(dialog), (QStringList{QStringLiteral("查找内容(&S):"), QStringLiteral("替换内容(&R):")}));
    EXPECT_NE(dialog.findChild<QComboBox*>(QStringLiteral("cbReplaceText")), nullptr);
}

TEST(SciSearchDialogTest, TabGoesFromTheSearchTextToTheReplaceText) {
    TTextReplaceDialog dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QComboBox* search = Child<QComboBox>(dialog, "cbSearchText");
    QComboBox* replace = Child<QComboBox>(dialog, "cbReplaceText");
    search->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(replace->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == replace);
}

TEST(SciSearchDialogTest, CheckingRegularExpressionTurnsTheDirectionForward) {
    TTextSearchDialog dialog;
    dialog.SetSearchBackwards(true);
    EXPECT_TRUE(dialog.SearchBackwards());
    Child<QCheckBox>(dialog, "cbRegularExpression")->click();
    EXPECT_TRUE(dialog.SearchRegex());
    EXPECT_FALSE(dialog.SearchBackwards());
    dialog.SetSearchBackwards(true);  // backward stays possible afterwards
    EXPECT_TRUE(dialog.SearchBackwards());
    EXPECT_TRUE(dialog.SearchRegex());
}

TEST(SciSearchDialogTest, TheSearchButtonMovesTheTextToTheTopOfItsHistory) {
    TTextReplaceDialog dialog;
    dialog.SetSearchTextHistory({QStringLiteral("eax"), QStringLiteral("Mov"), QStringLiteral("ebx")});
    dialog.SetSearchText(QStringLiteral("MOV"));
    dialog.SetReplaceTextHistory({QStringLiteral("x")});
    dialog.SetReplaceText(QString());  // an empty text stays out of the history
    Child<QPushButton>(dialog, "btnOK")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.SearchTextHistory(),
              (QStringList{QStringLiteral("MOV"), QStringLiteral("eax"), QStringLiteral("ebx")}));
    EXPECT_EQ(dialog.SearchText(), QStringLiteral("MOV"));
    EXPECT_EQ(dialog.ReplaceTextHistory(), QStringList{QStringLiteral("x")});
    EXPECT_EQ(dialog.ReplaceText(), QString());
}

TEST(SciSearchDialogTest, HistoryEntriesDifferingOnlyInCaseCollapse) {
    QStringList history{QStringLiteral("a"), QStringLiteral("中文"), QStringLiteral("Abc")};
    SciPushHistoryEntry(history, QStringLiteral("ABC"));
    EXPECT_EQ(history, (QStringList{QStringLiteral("ABC"), QStringLiteral("a"), QStringLiteral("中文")}));
    SciPushHistoryEntry(history, QStringLiteral("中文"));
    EXPECT_EQ(history, (QStringList{QStringLiteral("中文"), QStringLiteral("ABC"), QStringLiteral("a")}));
    SciPushHistoryEntry(history, QString());
    EXPECT_EQ(history.size(), 3);
}

TEST(SciSearchDialogTest, ConfirmDialogTextsAndAnswers) {
    struct Row {
        const char* Button;
        QString Caption;
        int Answer;
    };
    const Row rows[] = {
        {"btnReplace", QStringLiteral("替 换(&Y)"), sraReplace},
        {"btnSkip", QStringLiteral("跳 过(&N)"), sraSkip},
        {"btnCancel", QStringLiteral("关闭(&C)"), sraClose},
        {"btnReplaceAll", QStringLiteral("替换全部(&A)"), sraReplaceAll},
    };
    for (const Row& row : rows) {
        TConfirmReplaceDialog dialog;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("确定替换"));
        dialog.PrepareShow(QRect(0, 0, 800, 600), QPoint(10, 10), 16, QStringLiteral("<b>中文</b>"));
        EXPECT_EQ(dialog.Question(), QStringLiteral("请问是否真的要替换\"<b>中文</b>\"?"));
        QPushButton* button = Child<QPushButton>(dialog, row.Button);
        EXPECT_EQ(button->text(), row.Caption);
        button->click();
        EXPECT_EQ(dialog.result(), row.Answer) << row.Button;
    }
    TConfirmReplaceDialog closed;
    closed.reject();
    EXPECT_EQ(closed.result(), sraClose);
}

TEST(SciSearchDialogTest, ConfirmDialogPlacement) {
    const QRect editor(100, 50, 600, 300);  // right edge 700, top two thirds end at 250
    const QSize dialog(200, 80);
    // Beside the match, below the line after it.
    EXPECT_EQ(SciConfirmDialogPosition(editor, dialog, QPoint(150, 60), 15), QPoint(150, 94));
    // Would stick out to the right: flush with the right edge.
    EXPECT_EQ(SciConfirmDialogPosition(editor, dialog, QPoint(600, 60), 15).x(), 500);
    EXPECT_EQ(SciConfirmDialogPosition(editor, dialog, QPoint(500, 60), 15).x(), 500);
    // At least as wide as the editor: centred on it.
    EXPECT_EQ(SciConfirmDialogPosition(editor, QSize(600, 80), QPoint(150, 60), 15).x(), 100);
    EXPECT_EQ(SciConfirmDialogPosition(editor, QSize(700, 80), QPoint(150, 60), 15).x(), 50);
    // Low in the editor: above the match line, its bottom 4 pixels above it.
    EXPECT_EQ(SciConfirmDialogPosition(editor, dialog, QPoint(150, 230), 15).y(), 230 - 80 - 4);
    // Exactly at two thirds still goes below.
    EXPECT_EQ(SciConfirmDialogPosition(editor, dialog, QPoint(150, 220), 15).y(), 254);
}
