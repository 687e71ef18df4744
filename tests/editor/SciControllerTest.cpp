// The event controller and the char-added chain of the memo: keep-indent, auto-closed
// braces and quotes, handler order, re-entrancy and the restored handlers.
#include "EditorTestSupport.h"

#include <QtTest/QTest>
#include <gtest/gtest.h>

using B = QsciScintillaBase;

class SciControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        editor_.OnCharAdded = [this](TScintillaBase*, int ch) { calls_.push_back("saved:" + std::to_string(ch)); };
        editor_.Loaded();
    }
    TCharAddedProc Handler(const std::string& name) {
        TCharAddedProc proc;
        proc.Proc = [this, name](TScintillaBase*, int ch) { calls_.push_back(name + ":" + std::to_string(ch)); };
        return proc;
    }

    TScintilla editor_;
    std::vector<std::string> calls_;
};

TEST_F(SciControllerTest, HandlersRunMostRecentFirstThenTheSavedHandler) {
    TCharAddedProc first = Handler("first");
    TCharAddedProc second = Handler("second");
    TCharAddedProc empty;
    editor_.Controller().Add(&first);
    editor_.Controller().Add(&empty);
    editor_.Controller().Add(&second);
    QTest::keyClick(&editor_, 'a');
    EXPECT_EQ(calls_, (std::vector<std::string>{"second:97", "first:97", "saved:97"}));

    calls_.clear();
    editor_.Controller().Remove(&second);
    editor_.OnCharAdded(&editor_, 'b');
    EXPECT_EQ(calls_, (std::vector<std::string>{"first:98", "saved:98"}));
}

TEST_F(SciControllerTest, CharacterZeroStopsAfterTheFirstHandler) {
    TCharAddedProc first = Handler("first");
    TCharAddedProc second = Handler("second");
    editor_.Controller().Add(&first);
    editor_.Controller().Add(&second);
    editor_.OnCharAdded(&editor_, 0);
    EXPECT_EQ(calls_, (std::vector<std::string>{"second:0"}));
}

TEST_F(SciControllerTest, ACharacterAddedDuringDispatchIsIgnored) {
    TCharAddedProc typing;
    typing.Proc = [this](TScintillaBase* sender, int ch) {
        calls_.push_back("typing:" + std::to_string(ch));
        if (ch == 'x') QTest::keyClick(static_cast<TScintilla*>(sender), 'y');  // a nested SCN_CHARADDED
    };
    editor_.Controller().Add(&typing);
    QTest::keyClick(&editor_, 'x');
    EXPECT_EQ(editor_.GetText(), "xy");
    EXPECT_EQ(calls_, (std::vector<std::string>{"typing:120", "saved:120"}));

    calls_.clear();
    QTest::keyClick(&editor_, 'z');
    EXPECT_EQ(calls_, (std::vector<std::string>{"typing:122", "saved:122"}));
}

TEST_F(SciControllerTest, AHandlerMayRemoveItselfWhileDispatching) {
    TCharAddedProc once;
    once.Proc = [&](TScintillaBase*, int) {
        calls_.push_back("once");
        editor_.Controller().Remove(&once);
    };
    editor_.Controller().Add(&once);
    editor_.OnCharAdded(&editor_, 'a');
    editor_.OnCharAdded(&editor_, 'b');
    EXPECT_EQ(calls_, (std::vector<std::string>{"once", "saved:97", "saved:98"}));
}

TEST_F(SciControllerTest, AutoCompletionEventsReachTheirHandlersThenTheSavedOnes) {
    std::vector<QByteArray> selections;
    int cancelled = 0;
    TAutoCSelectionProc selection;
    selection.Proc = [&](TScintillaBase*, const QByteArray& text) { selections.push_back(text); };
    TAutoCCancelledProc cancel;
    cancel.Proc = [&](TScintillaBase*) { ++cancelled; };
    editor_.Controller().Add(&selection);
    editor_.Controller().Add(&cancel);

    editor_.SetText("movzx ");
    editor_.GotoPos(6);
    editor_.AddText("mo");
    editor_.AutoCShow(2, "mov movsx movzx");
    ASSERT_TRUE(editor_.AutoCActive());
    QTest::keyClick(&editor_, Qt::Key_Return);
    EXPECT_EQ(selections, (std::vector<QByteArray>{"mov"}));

    editor_.AutoCShow(0, "mov movsx");
    QTest::keyClick(&editor_, Qt::Key_Escape);
    EXPECT_FALSE(editor_.AutoCActive());
    EXPECT_EQ(cancelled, 1);
}

TEST(SciControllerLifeTest, UninstallPutsTheSavedHandlersBack) {
    TScintilla editor;
    int saved = 0;
    editor.OnCharAdded = [&](TScintillaBase*, int) { ++saved; };
    TSciController& controller = editor.Controller();
    EXPECT_FALSE(controller.Installed());
    editor.Loaded();
    EXPECT_TRUE(controller.Installed());

    TCharAddedProc handler;
    int handled = 0;
    handler.Proc = [&](TScintillaBase*, int) { ++handled; };
    controller.Add(&handler);
    controller.Uninstall();
    editor.OnCharAdded(&editor, 'a');
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(handled, 0);
}

// ---- the char-added chain ----------------------------------------------------------------

class SciCharAddedChainTest : public ::testing::Test {
protected:
    TScintilla editor_;
};

TEST_F(SciCharAddedChainTest, KeepIndentCopiesTheNearestNonEmptyLineAbove) {
    editor_.SetEOLStyle(sciEolCRLF);
    editor_.SetUseTabs(false);
    editor_.SetIndentation(KeepIndent);
    editor_.SetText("    mov eax, 1\r\n");
    editor_.GotoPos(editor_.GetTextLength());  // on the empty line 1
    QTest::keyClick(&editor_, Qt::Key_Return);
    EXPECT_EQ(editor_.Lines.Get(1), "");
    EXPECT_EQ(editor_.Lines.Get(2), "    ");
    EXPECT_EQ(editor_.CaretLine(), 2);
    EXPECT_EQ(editor_.CaretColumn(), 4);
    QTest::keyClicks(&editor_, "ret");
    EXPECT_EQ(editor_.Lines.Get(2), "    ret");
}

TEST_F(SciCharAddedChainTest, WithoutKeepIndentNewLinesStartAtColumnZero) {
    editor_.SetText("    mov eax, 1");
    editor_.GotoPos(editor_.GetTextLength());
    QTest::keyClick(&editor_, Qt::Key_Return);
    EXPECT_EQ(editor_.CaretColumn(), 0);
}

TEST_F(SciCharAddedChainTest, AutoCloseBracesAndQuotesLeaveTheCaretBetween) {
    QTest::keyClicks(&editor_, "(");
    EXPECT_EQ(editor_.GetText(), "(");
    editor_.ClearDocument();

    editor_.AutoCloseBraces = true;
    editor_.AutoCloseQuotes = true;
    QTest::keyClicks(&editor_, "[ebx");
    EXPECT_EQ(editor_.GetText(), "[ebx]");
    EXPECT_EQ(editor_.GetCurrentPos(), 4);
    editor_.ClearDocument();
    QTest::keyClicks(&editor_, "db 'a");
    EXPECT_EQ(editor_.GetText(), "db 'a'");
    QTest::keyClicks(&editor_, "{\"");
    EXPECT_EQ(editor_.GetText(), "db 'a{\"\"}'");
}

TEST_F(SciCharAddedChainTest, TheEventSeesTheAutoClosedPartner) {
    editor_.AutoCloseBraces = true;
    QByteArray seen;
    editor_.OnCharAdded = [&](TScintillaBase* sender, int) { seen = sender->GetText(); };
    QTest::keyClicks(&editor_, "(");
    EXPECT_EQ(seen, "()");
}
