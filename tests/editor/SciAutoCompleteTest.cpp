// Auto-completion typed into the main window's editor: when the document list opens,
// what it holds, the fixed list, the options sent to the control and the binding.
#include "EditorTestSupport.h"

#include "SciAsmLanguage.h"
#include "SciAutoComplete.h"
#include "SciMainWindowEditor.h"

#include <QtTest/QTest>
#include <gtest/gtest.h>

using B = QsciScintillaBase;

namespace {

class AutoCompleteTest : public MainWindowEditorTest {
protected:
    void SetUp() override {
        MainWindowEditorTest::SetUp();
        editor.resize(500, 300);
    }
    // The document, with the caret at its end.
    void Text(const char* text) {
        editor.AutoCCancel();
        editor.SetText(text);
        editor.GotoPos(editor.GetTextLength());
    }
    // Types `keys` and returns the SCI_AUTOCSHOW messages they caused.
    std::vector<TSciMessage> Type(const char* keys) {
        editor.StartRecording();
        QTest::keyClicks(&editor, QString::fromLatin1(keys));
        editor.StopRecording();
        return Only(editor.RecordedMessages(), {B::SCI_AUTOCSHOW});
    }
    // The list of the last SCI_AUTOCSHOW, or "<none>".
    QByteArray Shown(const char* keys) {
        const std::vector<TSciMessage> shows = Type(keys);
        return shows.empty() ? QByteArray("<none>") : shows.back().Text;
    }
};

}  // namespace

// ---- the document list -----------------------------------------------------------------------

TEST_F(AutoCompleteTest, TheSecondLetterOfALongerWordOpensTheListTheFirstDoesNot) {
    Text("mov eax, 1\r\n");
    EXPECT_EQ(Shown("m"), "<none>");
    const std::vector<TSciMessage> shows = Type("o");
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0].WParam, 2u);
    EXPECT_EQ(shows[0].Text, "mov");
    EXPECT_TRUE(editor.AutoCActive());
}

TEST_F(AutoCompleteTest, TypingOnRebuildsTheDocumentList) {
    Text("movzx eax, bl\r\nmov ebx, 2\r\nmovsx ecx, al\r\n");
    EXPECT_EQ(Shown("mo"), "movzx mov movsx");
    EXPECT_EQ(Shown("v"), "movzx movsx");
    EXPECT_TRUE(editor.AutoCActive());
}

TEST_F(AutoCompleteTest, CandidatesComeInOrderOfFirstOccurrenceOnce) {
    Text("push ebp\r\npop ebp\r\npush eax\r\npopad\r\npushad\r\n");
    EXPECT_EQ(Shown("pu"), "push pushad");
    Text("ababc abc ababc\r\n");
    EXPECT_EQ(Shown("ab"), "ababc abc");  // "abc" is not mistaken for the end of "ababc"
}

TEST_F(AutoCompleteTest, InsideACommentNothingOpens) {
    Text("mov eax, 1 ; ");
    EXPECT_EQ(Shown("mo"), "<none>");
    EXPECT_FALSE(editor.AutoCActive());
}

TEST_F(AutoCompleteTest, AWordOnlyAtTheCaretGivesAnEmptyList) {
    Text("mov eax, 1\r\n");
    const std::vector<TSciMessage> shows = Type("qq");
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0].Text, "");
}

TEST_F(AutoCompleteTest, LetterCaseMakesDifferentCandidates) {
    Text("MOVZX eax, bl\r\nmov ebx, 2\r\n");
    EXPECT_EQ(Shown("mo"), "mov");
    Text("MOVZX eax, bl\r\nmov ebx, 2\r\n");
    EXPECT_EQ(Shown("MO"), "MOVZX");
    complete.SetIgnoreCase(true);
    Text("MOVZX eax, bl\r\nmov ebx, 2\r\n");
    EXPECT_EQ(Shown("mo"), "MOVZX mov");
}

TEST_F(AutoCompleteTest, ASpaceOrPunctuationClosesTheList) {
    for (const char* closer : {" ", ",", "["}) {
        Text("mov eax, 1\r\n");
        Type("mo");
        ASSERT_TRUE(editor.AutoCActive());
        editor.StartRecording();
        QTest::keyClicks(&editor, QString::fromLatin1(closer));
        EXPECT_FALSE(Only(editor.RecordedMessages(), {B::SCI_AUTOCCANCEL}).empty()) << closer;
        EXPECT_FALSE(editor.AutoCActive()) << closer;
    }
}

TEST_F(AutoCompleteTest, DigitsBeforeTheTypedLetterGiveNothing) {
    Text("12abc 1abc\r\n");
    EXPECT_EQ(Shown("12a"), "<none>");
    Text("a1b a1bc\r\n");
    EXPECT_EQ(Shown("a1b"), "a1bc");
}

TEST_F(AutoCompleteTest, OnlyOneShowsASingleCandidateAndNothingForTwo) {
    complete.FromDocumentOnlyOne = true;
    Text("movzx eax, bl\r\n");
    EXPECT_EQ(Shown("mo"), "movzx");
    Text("movzx eax, bl\r\nmovsx ebx, al\r\n");
    EXPECT_EQ(Shown("mo"), "<none>");
    Text("eax\r\n");
    editor.StartRecording();
    QTest::keyClicks(&editor, QStringLiteral("xy"));
    EXPECT_FALSE(Only(editor.RecordedMessages(), {B::SCI_AUTOCCANCEL}).empty());
}

TEST_F(AutoCompleteTest, BeforeShowMayCancelAndSeesTheTypedLength) {
    int typed = 0;
    const QStringList* words = &complete.AStrings();
    complete.OnBeforeShow = [&](TSciAutoComplete*, int, bool& cancel, const QStringList* list, int length) {
        typed = length;
        words = list;
        cancel = true;
    };
    Text("mov eax, 1\r\n");
    EXPECT_EQ(Shown("mo"), "<none>");
    EXPECT_EQ(typed, 2);
    EXPECT_EQ(words, nullptr);
}

TEST_F(AutoCompleteTest, NothingOpensWhenDisabled) {
    complete.Disabled = true;
    Text("mov eax, 1\r\n");
    EXPECT_EQ(Shown("mo"), "<none>");
}

// ---- the fixed list ----------------------------------------------------------------------------

TEST_F(AutoCompleteTest, WithoutTheDocumentTheFixedListOpensAtTheFirstLetter) {
    complete.FromDocument = false;
    complete.SetAStrings({QStringLiteral("push"), QStringLiteral("movzx"), QStringLiteral("Mov")});
    EXPECT_EQ(complete.AStrings(),
              (QStringList{QStringLiteral("Mov"), QStringLiteral("movzx"), QStringLiteral("push")}));
    Text("");
    EXPECT_EQ(Shown("m"), "movzx");
    EXPECT_EQ(Shown("o"), "<none>");  // the control filters the list it shows
    complete.SetIgnoreCase(true);
    Text("");
    EXPECT_EQ(Shown("m"), "Mov movzx");
}

TEST_F(AutoCompleteTest, AStartCharacterOpensTheFixedList) {
    complete.StartChars = ".";
    complete.SetAStrings({QStringLiteral(".data"), QStringLiteral(".code"), QStringLiteral("data")});
    Text("x ");
    EXPECT_EQ(Shown("."), ".code .data");
    const std::vector<TSciMessage> shows = Type("d");  // a document list replaces nothing here
    EXPECT_TRUE(shows.empty());
}

// ---- options and binding ----------------------------------------------------------------------

TEST_F(AutoCompleteTest, LoadedSendsTheFiveOptionsThenTheStopCharacters) {
    complete.SetStopChars("()");
    complete.SetChooseSingle(true);
    editor.StartRecording();
    complete.Loaded();
    const auto& m = editor.RecordedMessages();
    ASSERT_EQ(Codes(m),
              (std::vector<unsigned>{B::SCI_AUTOCSETIGNORECASE, B::SCI_AUTOCSETCHOOSESINGLE, B::SCI_AUTOCSETAUTOHIDE,
                                     B::SCI_AUTOCSETDROPRESTOFWORD, B::SCI_AUTOCSETCANCELATSTART, B::SCI_AUTOCSTOPS}));
    EXPECT_EQ((std::vector<unsigned long>{m[0].WParam, m[1].WParam, m[2].WParam, m[3].WParam, m[4].WParam}),
              (std::vector<unsigned long>{0, 1, 1, 0, 1}));
    EXPECT_EQ(m[5].Text, "()");
}

TEST_F(AutoCompleteTest, MainWindowValuesReachTheControl) {
    EXPECT_FALSE(editor.AutoCIgnoreCase());
    EXPECT_FALSE(editor.AutoCChooseSingle());
    EXPECT_TRUE(editor.AutoCAutoHide());
    EXPECT_FALSE(editor.AutoCDropRestOfWord());
    EXPECT_TRUE(editor.AutoCCancelAtStart());
    EXPECT_EQ(editor.AutoCTypeSeparator(), '?');
    EXPECT_EQ(editor.AutoCMaxWidth(), 0);
    EXPECT_EQ(editor.AutoCMaxHeight(), 5);
    EXPECT_EQ(complete.WordCharacters, QByteArray(kSciDefaultWordChars));
}

TEST(SciAutoCompleteTest, WithoutAnEditorTheOptionsAreKeptAndAnEmptyWordSetIsTaken) {
    TSciAutoComplete complete;
    EXPECT_TRUE(complete.AutoHide());
    EXPECT_EQ(complete.TypeSeparator(), '?');
    complete.SetIgnoreCase(true);
    complete.SetMaxHeight(9);
    EXPECT_TRUE(complete.IgnoreCase());
    EXPECT_EQ(complete.MaxHeight(), 9);

    TScintilla editor;
    editor.SetWordChars("abc_");
    complete.SetEditor(&editor);
    EXPECT_EQ(complete.WordCharacters, "abc_");
    EXPECT_FALSE(complete.IgnoreCase());  // read from the control once bound
    complete.Loaded();
    EXPECT_TRUE(editor.AutoCIgnoreCase());
}

TEST_F(AutoCompleteTest, ANewEditorTakesTheHandlersAndAFreedOneIsDropped) {
    auto* other = new TScintilla;
    other->Loaded();
    complete.SetEditor(other);
    Text("mov eax, 1\r\n");
    EXPECT_EQ(Shown("mo"), "<none>");

    other->SetText("mov eax, 1\r\n");
    other->GotoPos(other->GetTextLength());
    other->StartRecording();
    QTest::keyClicks(other, QStringLiteral("mo"));
    EXPECT_EQ(Only(other->RecordedMessages(), {B::SCI_AUTOCSHOW}).size(), 1u);

    delete other;
    EXPECT_EQ(complete.Editor(), nullptr);
}

TEST_F(AutoCompleteTest, SelectionAndCancelEventsAreForwarded) {
    QByteArray chosen;
    int cancelled = 0;
    complete.OnAutoCSelection = [&](TScintillaBase* sender, const QByteArray& text) {
        EXPECT_EQ(sender, &editor);
        chosen = text;
    };
    complete.OnAutoCCancelled = [&](TScintillaBase*) { ++cancelled; };
    Text("movzx eax, bl\r\n");
    Type("mo");
    ASSERT_TRUE(editor.AutoCActive());
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_EQ(chosen, "movzx");
    EXPECT_EQ(editor.GetText(), "movzx eax, bl\r\nmovzx");

    Type(" mo");
    ASSERT_TRUE(editor.AutoCActive());
    QTest::keyClick(&editor, Qt::Key_Escape);
    EXPECT_EQ(cancelled, 1);
}
