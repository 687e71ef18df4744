// Folding through the fold margin, brace highlighting and the closing of markup tags.
#include "EditorTestSupport.h"

#include "SciAsmLanguage.h"

#include <QApplication>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using B = QsciScintillaBase;

namespace {

constexpr int H = kSciFoldLevelHeaderFlag;
constexpr int L0 = kSciFoldLevelBase;

constexpr TSciFolding kMainWindowFolding =
    foldFold | foldCompact | foldComment | foldPreprocessor | foldAtElse | foldHTML | foldHTMLPreProcessor;

}  // namespace

// ---- folding set-up ------------------------------------------------------------------------

TEST(SciFoldingSetupTest, WithoutFoldTheMarginIsHiddenAndFoldingOff) {
    TScintilla editor;
    editor.StartRecording();
    editor.SetFolding(foldCompact);
    const auto& m = editor.RecordedMessages();
    ASSERT_EQ(Codes(m), (std::vector<unsigned>{B::SCI_SETPROPERTY, B::SCI_SETMARGINWIDTHN}));
    EXPECT_EQ(m[0].Key, "fold");
    EXPECT_EQ(m[0].Text, "0");
    EXPECT_EQ(m[1].WParam, 2u);
    EXPECT_EQ(m[1].LParam, 0);
    EXPECT_EQ(editor.Gutter2.Width(), 0);
}

TEST(SciFoldingSetupTest, WithFoldTheMarginAndTheLexerPropertiesAreSet) {
    TScintilla editor;
    editor.StartRecording();
    editor.SetFolding(kMainWindowFolding);
    const auto& m = editor.RecordedMessages();
    EXPECT_EQ(m[0].Msg, unsigned(B::SCI_SETMARGINWIDTHN));
    EXPECT_EQ(m[0].LParam, 14);
    EXPECT_EQ(m[1].Msg, unsigned(B::SCI_SETMARGINSENSITIVEN));
    std::vector<std::pair<QByteArray, QByteArray>> properties;
    for (const TSciMessage& msg : Only(m, {B::SCI_SETPROPERTY})) properties.emplace_back(msg.Key, msg.Text);
    const std::vector<std::pair<QByteArray, QByteArray>> expected = {
        {"fold", "1"},
        {"fold.compact", "1"},
        {"fold.comment", "1"},
        {"fold.preprocessor", "1"},
        {"fold.at.else", "1"},
        {"fold.html", "1"},
        {"fold.html.preprocessor", "1"},
        {"fold.python.comment", "0"},
        {"fold.quotes.python", "0"},
    };
    EXPECT_EQ(properties, expected);
    const TSciMessage mask = First(m, B::SCI_SETMARGINMASKN);
    EXPECT_EQ(mask.LParam & 0xFFFFFFFF, 0xFE000000);
    EXPECT_EQ(m.back().Msg, unsigned(B::SCI_SETMODEVENTMASK));
    EXPECT_TRUE(m.back().WParam & B::SC_MOD_CHANGEFOLD);
}

TEST(SciFoldingSetupTest, FoldDrawFlagsShiftIntoTheControlBits) {
    TScintilla editor;
    editor.StartRecording();
    editor.SetFoldDrawFlags(sciBelowIfNotExpanded);
    editor.SetFoldDrawFlags(sciAboveIfExpanded | sciHexLevels);
    const auto& m = editor.RecordedMessages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].WParam, 16u);
    EXPECT_EQ(m[1].WParam, 2u | 64u);
}

// ---- folding behaviour on a document with fold levels ------------------------------

class SciFoldingTest : public ::testing::Test {
protected:
    // Two top-level blocks, the first with a nested block:
    //   0 header        1 nested header   2,3 body   4 body   5 header   6 body   7 top level
    void SetUp() override {
        editor_.SetSelectedLanguage("container");
        editor_.SetFolding(kMainWindowFolding);
        editor_.SetText("a\nb\nc\nd\ne\nf\ng\nh");
        const int levels[] = {L0 | H, (L0 + 1) | H, L0 + 2, L0 + 2, L0 + 1, L0 | H, L0 + 1, L0};
        for (int line = 0; line < 8; ++line) editor_.Send(B::SCI_SETFOLDLEVEL, line, levels[line]);
    }
    std::vector<int> Visible() const {
        std::vector<int> visible;
        for (int line = 0; line < 8; ++line) visible.push_back(int(editor_.Send(B::SCI_GETLINEVISIBLE, line)));
        return visible;
    }

    TTestScintilla editor_;
};

TEST_F(SciFoldingTest, CtrlClickCollapsesAHeaderAndEveryNestedHeader) {
    editor_.MarginClick(kSciModCtrl, 0);
    EXPECT_FALSE(editor_.GetFoldExpanded(0));
    EXPECT_FALSE(editor_.GetFoldExpanded(1));
    EXPECT_EQ(Visible(), (std::vector<int>{1, 0, 0, 0, 0, 1, 1, 1}));

    editor_.MarginClick(kSciModCtrl, 0);  // collapsed: Ctrl expands it all again
    EXPECT_TRUE(editor_.GetFoldExpanded(0));
    EXPECT_TRUE(editor_.GetFoldExpanded(1));
    EXPECT_EQ(Visible(), (std::vector<int>(8, 1)));
}

TEST_F(SciFoldingTest, ShiftCtrlTogglesEveryTopLevelFold) {
    editor_.MarginClick(kSciModShift | kSciModCtrl, 3);
    EXPECT_EQ(Visible(), (std::vector<int>{1, 0, 0, 0, 0, 1, 0, 1}));
    EXPECT_FALSE(editor_.GetFoldExpanded(0));
    EXPECT_FALSE(editor_.GetFoldExpanded(5));
    editor_.MarginClick(kSciModShift | kSciModCtrl, 7);
    EXPECT_EQ(Visible(), (std::vector<int>(8, 1)));
    EXPECT_TRUE(editor_.GetFoldExpanded(5));
}

TEST_F(SciFoldingTest, PlainClickTogglesAndShiftClickExpandsEverything) {
    editor_.MarginClick(0, 1);
    EXPECT_EQ(Visible(), (std::vector<int>{1, 1, 0, 0, 1, 1, 1, 1}));
    editor_.MarginClick(0, 0);
    EXPECT_EQ(Visible(), (std::vector<int>{1, 0, 0, 0, 0, 1, 1, 1}));
    editor_.MarginClick(kSciModShift, 0);
    EXPECT_EQ(Visible(), (std::vector<int>(8, 1)));
    EXPECT_TRUE(editor_.GetFoldExpanded(1));
}

TEST_F(SciFoldingTest, ClicksOnBodiesOtherMarginsOrWithoutFoldDoNothing) {
    int events = 0;
    editor_.OnMarginClick = [&](TScintillaBase*, int, int, int margin) {
        ++events;
        EXPECT_TRUE(margin == 0 || margin == 2);
    };
    editor_.MarginClick(0, 2);     // not a header
    editor_.MarginClick(0, 0, 0);  // the line-number margin
    editor_.SetFolding(kMainWindowFolding & ~foldFold);
    editor_.MarginClick(0, 0);
    EXPECT_EQ(Visible(), (std::vector<int>(8, 1)));
    EXPECT_EQ(events, 3);
}

TEST_F(SciFoldingTest, LosingTheHeaderFlagShowsTheHiddenLines) {
    editor_.MarginClick(0, 5);
    EXPECT_EQ(Visible()[6], 0);
    editor_.Send(B::SCI_SETFOLDLEVEL, 5, L0);
    EXPECT_EQ(Visible()[6], 1);

    editor_.Send(B::SCI_SETFOLDLEVEL, 7, L0 | H);  // a new header starts expanded
    EXPECT_TRUE(editor_.GetFoldExpanded(7));
}

TEST_F(SciFoldingTest, AMouseClickInTheFoldMarginReachesTheFolding) {
    editor_.Gutter0.SetWidth(32);
    editor_.Gutter1.SetWidth(0);
    editor_.resize(400, 300);
    editor_.show();
    QApplication::processEvents();
    const int lineHeight = editor_.TextHeight(0);
    QTest::mouseClick(editor_.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(32 + 7, lineHeight / 2));
    EXPECT_FALSE(editor_.GetFoldExpanded(0));
    EXPECT_EQ(Visible()[1], 0);
}

TEST_F(SciFoldingTest, AssemblySourceHasNoFoldHeaders) {
    TSciLanguageManager languages;
    FillMainWindowLanguages(languages);
    editor_.SetLanguageManager(&languages);
    editor_.SetSelectedLanguage("ASM");
    editor_.SetText(";{\nmain proc\n.if eax\nnop\n.endif\nmain endp\n;}\n");
    editor_.FoldAll();
    for (int line = 0; line < editor_.GetLineCount(); ++line) {
        EXPECT_FALSE(editor_.GetFoldLevel(line) & H) << "line " << line;
        EXPECT_EQ(editor_.Send(B::SCI_GETLINEVISIBLE, line), 1);
    }
}

// ---- brace highlighting --------------------------------------------------------------------

class SciBraceTest : public ::testing::Test {
protected:
    std::vector<TSciMessage> Highlight(int caret) {
        editor_.GotoPos(caret);
        editor_.StartRecording();
        editor_.UpdateUI();
        editor_.StopRecording();
        return Only(editor_.RecordedMessages(),
                    {B::SCI_BRACEHIGHLIGHT, B::SCI_BRACEBADLIGHT, B::SCI_SETHIGHLIGHTGUIDE});
    }
    TTestScintilla editor_;
};

TEST_F(SciBraceTest, ABraceWithItsPartnerLightsBothAndTheGuide) {
    editor_.SetText("  push (\n    1)\n");
    const int close = int(editor_.GetText().indexOf(')'));
    const auto m = Highlight(close + 1);
    ASSERT_EQ(Codes(m), (std::vector<unsigned>{B::SCI_BRACEHIGHLIGHT, B::SCI_SETHIGHLIGHTGUIDE}));
    EXPECT_EQ(int(m[0].WParam), close);
    EXPECT_EQ(m[0].LParam, 7);
    EXPECT_EQ(m[1].WParam, 5u);  // the smaller column: ")" at 5, "(" at 7
}

TEST_F(SciBraceTest, TheBraceAtTheCaretCountsWhenNoneIsBeforeIt) {
    editor_.SetText("a[b]");
    const auto m = Highlight(1);
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m[0].Msg, unsigned(B::SCI_BRACEHIGHLIGHT));
    EXPECT_EQ(m[0].WParam, 1u);
    EXPECT_EQ(m[0].LParam, 3);
}

TEST_F(SciBraceTest, AnUnmatchedBraceIsBadAndNoGuideIsLit) {
    editor_.SetText("mov eax, 1)");
    const auto m = Highlight(11);
    ASSERT_EQ(Codes(m), (std::vector<unsigned>{B::SCI_BRACEBADLIGHT, B::SCI_SETHIGHLIGHTGUIDE}));
    EXPECT_EQ(m[0].WParam, 10u);
    EXPECT_EQ(m[1].WParam, 0u);
}

TEST_F(SciBraceTest, NoBraceClearsTheHighlight) {
    editor_.SetText("mov eax, 1");
    const auto m = Highlight(3);
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m[0].Msg, unsigned(B::SCI_BRACEHIGHLIGHT));
    EXPECT_EQ(long(m[0].WParam), -1L);
    EXPECT_EQ(m[0].LParam, -1);
}

TEST_F(SciBraceTest, OffMeansNoBraceMessages) {
    editor_.BraceHilite = false;
    editor_.SetText("()");
    EXPECT_TRUE(Highlight(1).empty());
}

TEST_F(SciBraceTest, APythonColonPairsWithTheEndOfItsBlock) {
    TSciLanguageManager languages;
    editor_.SetLanguageManager(&languages);
    editor_.SetSelectedLanguage("python");
    editor_.SetFolding(kMainWindowFolding);
    editor_.SetText("if a:\n    b = 1\n    c = 2\nd = 3\n");
    editor_.Send(B::SCI_COLOURISE, 0, -1);
    const auto m = Highlight(5);
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m[0].Msg, unsigned(B::SCI_BRACEHIGHLIGHT));
    EXPECT_EQ(m[0].WParam, 4u);
    EXPECT_EQ(m[0].LParam, editor_.GetLineEndPosition(2));
}

TEST_F(SciBraceTest, PaintingTheEditorSendsUpdateUI) {
    int updates = 0;
    editor_.OnUpdateUI = [&](TScintillaBase*) { ++updates; };
    editor_.SetText("(a)");
    editor_.GotoPos(3);
    editor_.resize(200, 100);
    editor_.show();
    editor_.repaint();
    QApplication::processEvents();
    EXPECT_GT(updates, 0);
}

// ---- tag closing -----------------------------------------------------------------------------

class SciTagClosingTest : public ::testing::Test {
protected:
    void SetUp() override {
        editor_.SetLanguageManager(&languages_);
        editor_.SetSelectedLanguage("hypertext");
        editor_.AutoCloseTags = true;
    }
    TSciLanguageManager languages_;
    TScintilla editor_;
};

TEST_F(SciTagClosingTest, AnOpeningTagGetsItsClosingTagAsOneUndoStep) {
    QTest::keyClicks(&editor_, "<div class=\"a-b\">");
    EXPECT_EQ(editor_.GetText(), "<div class=\"a-b\"></div>");
    EXPECT_EQ(editor_.GetCurrentPos(), 17);
    editor_.Undo();
    EXPECT_EQ(editor_.GetText(), "<div class=\"a-b\">");
}

TEST_F(SciTagClosingTest, SelfClosedTagsCommentsAndOtherLexersGetNothing) {
    QTest::keyClicks(&editor_, "<br/>");
    EXPECT_EQ(editor_.GetText(), "<br/>");
    editor_.ClearDocument();
    QTest::keyClicks(&editor_, "<!-- x -->");
    EXPECT_EQ(editor_.GetText(), "<!-- x -->");

    editor_.ClearDocument();
    editor_.SetSelectedLanguage("xml");
    QTest::keyClicks(&editor_, "<ns:item.x>");
    EXPECT_EQ(editor_.GetText(), "<ns:item.x></ns:item.x>");

    editor_.ClearDocument();
    editor_.SetSelectedLanguage("asm");
    QTest::keyClicks(&editor_, "<p>");
    EXPECT_EQ(editor_.GetText(), "<p>");

    editor_.ClearDocument();
    editor_.SetSelectedLanguage("hypertext");
    editor_.AutoCloseTags = false;
    QTest::keyClicks(&editor_, "<p>");
    EXPECT_EQ(editor_.GetText(), "<p>");
}
