// Search and replace on a real editor: ranges and find-next, the replacement loop with
// its answers, undo grouping, empty regular-expression matches, Chinese text in UTF-8
// and code page 936 documents, and the dialogs driven through the component.
#include "EditorTestSupport.h"

#include "MyEditFileClasses.h"
#include "SciConfirmReplaceDlg.h"
#include "SciReplaceTextDlg.h"
#include "SciSearchReplace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using B = QsciScintillaBase;

namespace {

// Plays the user: each dialog the component shows goes to OnDialog, which returns
// the dialog's result.
class TScriptedSearchReplace : public TSciSearchReplace {
public:
    using TSciSearchReplace::TSciSearchReplace;
    std::function<int(QDialog&)> OnDialog;
    int DialogsShown = 0;

protected:
    int ExecuteDialog(QDialog& dialog) override {
        ++DialogsShown;
        EXPECT_EQ(OpenDialog(), &dialog);
        return OnDialog ? OnDialog(dialog) : int(QDialog::Rejected);
    }
};

// Clicks a button of the dialog and returns the result it closed with.
int Press(QDialog& dialog, const char* button) {
    QPushButton* b = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
    EXPECT_NE(b, nullptr) << button;
    if (b) b->click();
    return dialog.result();
}

QComboBox* Box(QDialog& dialog, const char* name) { return dialog.findChild<QComboBox*>(QString::fromLatin1(name)); }
QCheckBox* Check(QDialog& dialog, const char* name) { return dialog.findChild<QCheckBox*>(QString::fromLatin1(name)); }

class SearchReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        search.SetEditor(&editor);
        search.OnTextFound = [this](TSciSearchReplaceBase*) { ++found; };
        search.OnTextNotFound = [this](TSciSearchReplaceBase*) { ++notFound; };
        search.OnTextReplaced = [this](TSciSearchReplaceBase*) { ++replaced; };
    }
    void Text(const char* text, int caret = 0) {
        editor.SetText(text);
        editor.EmptyUndoBuffer();
        editor.SetSelStart(caret);
    }
    void Find(const QString& text) {
        search.SearchText = text;
        search.SearchReplace(false, search.SearchBackwards, srmAsk);
    }
    void ReplaceAll(const QString& text, const QString& replacement) {
        search.SearchText = text;
        search.ReplaceText = replacement;
        search.SearchReplace(true, search.SearchBackwards, srmReplaceAll);
    }
    std::pair<int, int> Selection() const {
        int start = 0, end = 0;
        editor.GetSelection(start, end);
        return {start, end};
    }
    // Answers the confirm dialogs in turn with the named buttons.
    void Answer(std::vector<const char*> buttons) {
        search.OnDialog = [this, buttons](QDialog& dialog) {
            auto* confirm = dynamic_cast<TConfirmReplaceDialog*>(&dialog);
            EXPECT_NE(confirm, nullptr);
            questions.push_back(confirm ? confirm->Question() : QString());
            const size_t turn = questions.size() - 1;
            return turn < buttons.size() ? Press(dialog, buttons[turn]) : int(QDialog::Rejected);
        };
    }

    TScintilla editor;
    TScriptedSearchReplace search;
    int found = 0, notFound = 0, replaced = 0;
    QStringList questions;
};

}  // namespace

// ---- find and find-next --------------------------------------------------------------------

TEST_F(SearchReplaceTest, FromTheCaretAMatchStartingAtTheCaretIsPassedOver) {
    Text("abc abc", 0);
    Find(QStringLiteral("abc"));
    EXPECT_EQ(Selection(), std::make_pair(4, 7));
    EXPECT_EQ(found, 1);
    EXPECT_EQ(search.LastFoundText(), QStringLiteral("abc"));
}

TEST_F(SearchReplaceTest, FindNextStartsOnePastTheMatchSoAnAdjacentMatchIsSkipped) {
    Text("xabcabc abc", 0);
    Find(QStringLiteral("abc"));
    EXPECT_EQ(Selection(), std::make_pair(1, 4));
    search.SearchReplace(false, false, srmAsk);  // F3
    EXPECT_EQ(Selection(), std::make_pair(8, 11));
}

TEST_F(SearchReplaceTest, WithoutFromCaretFindNextFindsTheFirstOrLastMatchAgain) {
    Text("abc abc abc", 5);
    search.SearchFromCaret = false;
    Find(QStringLiteral("abc"));
    EXPECT_EQ(Selection(), std::make_pair(0, 3));
    search.SearchReplace(false, false, srmAsk);
    EXPECT_EQ(Selection(), std::make_pair(0, 3));

    search.SearchBackwards = true;
    search.SearchReplace(false, true, srmAsk);
    EXPECT_EQ(Selection(), std::make_pair(8, 11));
    search.SearchReplace(false, true, srmAsk);
    EXPECT_EQ(Selection(), std::make_pair(8, 11));
}

TEST_F(SearchReplaceTest, BackwardFromTheCaretFindsTheMatchesBeforeItInTurn) {
    Text("abc abc abc", 11);
    search.SearchBackwards = true;
    Find(QStringLiteral("abc"));
    EXPECT_EQ(Selection(), std::make_pair(4, 7));  // the match touching the caret is passed over
    search.SearchReplace(false, true, srmAsk);
    EXPECT_EQ(Selection(), std::make_pair(0, 3));
    search.SearchReplace(false, true, srmAsk);
    EXPECT_EQ(notFound, 1);
    EXPECT_EQ(Selection(), std::make_pair(0, 3));  // no wrap-around
}

TEST_F(SearchReplaceTest, NoMatchOnlyReportsAndLeavesTheSelection) {
    Text("abc abc", 0);
    editor.SetSel(1, 2);
    Find(QStringLiteral("xyz"));
    EXPECT_EQ(notFound, 1);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(Selection(), std::make_pair(1, 2));
}

TEST_F(SearchReplaceTest, NothingHappensWithoutTextOrEditor) {
    Text("abc", 0);
    editor.StartRecording();
    Find(QString());
    EXPECT_TRUE(editor.RecordedMessages().empty());

    TScriptedSearchReplace unbound;
    unbound.SearchText = QStringLiteral("abc");
    unbound.SearchReplace(false, false, srmAsk);
    unbound.ShowSearchDialog();
    unbound.ShowReplaceDialog();
    EXPECT_EQ(unbound.DialogsShown, 0);
}

TEST_F(SearchReplaceTest, TheTargetSearchGetsRangeThenFlagsThenText) {
    Text("one Two two", 0);
    search.SearchCaseSensitive = true;
    search.SearchWholeWords = true;
    search.SearchRegex = true;
    editor.StartRecording();
    Find(QStringLiteral("two"));
    const auto m = Only(editor.RecordedMessages(),
                        {B::SCI_SETTARGETSTART, B::SCI_SETTARGETEND, B::SCI_SETSEARCHFLAGS, B::SCI_SEARCHINTARGET});
    ASSERT_EQ(Codes(m), (std::vector<unsigned>{B::SCI_SETTARGETSTART, B::SCI_SETTARGETEND, B::SCI_SETSEARCHFLAGS,
                                               B::SCI_SEARCHINTARGET}));
    EXPECT_EQ(m[0].WParam, 1u);
    EXPECT_EQ(m[1].WParam, 11u);
    EXPECT_EQ(m[2].WParam, 0x200006u);
    EXPECT_EQ(m[3].Text, "two");
    EXPECT_EQ(Selection(), std::make_pair(8, 11));
}

TEST_F(SearchReplaceTest, TheEditorBeingFreedClearsTheReference) {
    auto* other = new TScintilla;
    search.SetEditor(other);
    delete other;
    EXPECT_EQ(search.Editor(), nullptr);
    Find(QStringLiteral("abc"));
    EXPECT_EQ(found + notFound, 0);
}

// ---- replacing -------------------------------------------------------------------------------

TEST_F(SearchReplaceTest, ReplaceAllCountsEachReplacementAndKeepsGoingWhenTheTextGrows) {
    Text("aa", 0);
    search.SearchFromCaret = false;
    ReplaceAll(QStringLiteral("a"), QStringLiteral("xyz"));
    EXPECT_EQ(editor.GetText(), "xyzxyz");
    EXPECT_EQ(search.ReplacedCount(), 2);
    EXPECT_EQ(replaced, 2);
}

TEST_F(SearchReplaceTest, ReplaceAllIsOneUndoStep) {
    Text("a a a a", 0);
    search.SearchFromCaret = false;
    ReplaceAll(QStringLiteral("a"), QStringLiteral("bb"));
    EXPECT_EQ(editor.GetText(), "bb bb bb bb");
    editor.Undo();
    EXPECT_EQ(editor.GetText(), "a a a a");
    EXPECT_FALSE(editor.CanUndo());
}

TEST_F(SearchReplaceTest, EachReplacementOfModeOneIsItsOwnUndoStep) {
    Text("a a", 0);
    search.SearchFromCaret = false;
    search.SearchText = QStringLiteral("a");
    search.ReplaceText = QStringLiteral("b");
    search.SearchReplace(true, false, srmReplace);
    EXPECT_EQ(editor.GetText(), "b b");
    editor.Undo();
    EXPECT_EQ(editor.GetText(), "b a");
}

TEST_F(SearchReplaceTest, AnEmptyRegexMatchAdvancesOnePositionAndTheLoopEndsAtTheRangeEnd) {
    Text("abc", 0);
    search.SearchFromCaret = false;
    search.SearchRegex = true;
    ReplaceAll(QStringLiteral("x*"), QString());
    EXPECT_EQ(editor.GetText(), "abc");
    EXPECT_EQ(search.ReplacedCount(), 3);

    Text("abc", 0);
    ReplaceAll(QStringLiteral("x*"), QStringLiteral("-"));
    EXPECT_EQ(editor.GetText(), "-a-b-c");
    EXPECT_EQ(search.ReplacedCount(), 3);
}

TEST_F(SearchReplaceTest, AnEmptyMatchBeforeALineEndStepsOverTheLineEnd) {
    Text("ab\r\ncd", 0);
    search.SearchFromCaret = false;
    search.SearchRegex = true;
    ReplaceAll(QStringLiteral("$"), QStringLiteral(";"));
    EXPECT_EQ(editor.GetText(), "ab;\r\ncd;");
    EXPECT_EQ(search.ReplacedCount(), 2);
}

TEST_F(SearchReplaceTest, RegexReplacementExpandsGroups) {
    Text("mov eax, 1\r\nmov ebx, 2", 0);
    search.SearchFromCaret = false;
    search.SearchRegex = true;
    search.SearchCaseSensitive = true;
    ReplaceAll(QStringLiteral("mov \\(e[a-d]x\\)"), QStringLiteral("xchg \\1"));
    EXPECT_EQ(editor.GetText(), "xchg eax, 1\r\nxchg ebx, 2");
}

TEST_F(SearchReplaceTest, SelectionOnlyReplacesInsideAndSelectsTheGrownRangeAgain) {
    Text("a a a a", 0);
    editor.SetSel(2, 5);
    search.SearchSelectionOnly = true;
    ReplaceAll(QStringLiteral("a"), QStringLiteral("bb"));
    EXPECT_EQ(editor.GetText(), "a bb bb a");
    EXPECT_EQ(Selection(), std::make_pair(2, 7));
    EXPECT_EQ(editor.GetCurrentPos(), 7);
}

TEST_F(SearchReplaceTest, BackwardSelectionOnlyReplacesFromTheEndAndSelectsTheGrownRange) {
    Text("a a a", 0);
    editor.SetSel(0, 3);
    search.SearchSelectionOnly = true;
    search.SearchBackwards = true;
    ReplaceAll(QStringLiteral("a"), QStringLiteral("bb"));
    EXPECT_EQ(editor.GetText(), "bb bb a");
    EXPECT_EQ(search.ReplacedCount(), 2);
    EXPECT_EQ(Selection(), std::make_pair(0, 5));
    EXPECT_EQ(editor.GetCurrentPos(), 5);  // the selection runs from the range end to its start
}

TEST_F(SearchReplaceTest, TheFourAnswersOfTheConfirmDialog) {
    Text("a a a a a", 0);
    search.SearchFromCaret = false;
    search.SearchText = QStringLiteral("a");
    search.ReplaceText = QStringLiteral("b");
    Answer({"btnReplace", "btnSkip", "btnReplaceAll"});
    search.SearchReplace(true, false, srmAsk);
    EXPECT_EQ(editor.GetText(), "b a b b b");
    EXPECT_EQ(search.ReplacedCount(), 4);
    ASSERT_EQ(questions.size(), 3);  // replace-all asks no more
    EXPECT_EQ(questions[0], QStringLiteral("请问是否真的要替换\"a\"?"));
    editor.Undo();  // the replace-all part is one step
    EXPECT_EQ(editor.GetText(), "b a a a a");

    Text("a a a", 0);
    questions.clear();
    Answer({"btnReplace", "btnCancel"});
    search.SearchReplace(true, false, srmAsk);
    EXPECT_EQ(editor.GetText(), "b a a");
    EXPECT_EQ(search.ReplacedCount(), 1);
    EXPECT_EQ(Selection(), std::make_pair(2, 3));  // the match where it stopped
}

TEST_F(SearchReplaceTest, ClosingTheConfirmDialogWithoutAButtonStops) {
    Text("a a", 0);
    search.SearchFromCaret = false;
    search.SearchText = QStringLiteral("a");
    search.OnDialog = [](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    };
    search.SearchReplace(true, false, srmAsk);
    EXPECT_EQ(editor.GetText(), "a a");
    EXPECT_EQ(search.ReplacedCount(), 0);
    EXPECT_EQ(search.DialogsShown, 1);
}

TEST_F(SearchReplaceTest, ASkippedMatchPassesOverAnAdjacentOne) {
    Text("aaa", 0);
    search.SearchFromCaret = false;
    search.SearchText = QStringLiteral("a");
    Answer({"btnSkip", "btnSkip", "btnSkip"});
    search.SearchReplace(true, false, srmAsk);
    EXPECT_EQ(questions.size(), 2);  // at 0 and at 2
    EXPECT_EQ(editor.GetText(), "aaa");
}

// ---- Chinese text ------------------------------------------------------------------------

class ChineseSearchTest : public SearchReplaceTest {
protected:
    void Load(const QByteArray& bytes) {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath(QStringLiteral("汉字.asm"));
        WriteFile(path, bytes);
        editor.SetStreamClass(&TSciMyStream::StreamClass);
        editor.LoadFromFile(path);
        search.SearchFromCaret = false;
    }
    QTemporaryDir folder;
    QString path;
};

TEST_F(ChineseSearchTest, FindsAndReplacesInADocumentLoadedFromCodePage936) {
    // "; 中文注释\r\nmov eax, 1 ; 中文\r\n" in code page 936
    Load("; \xD6\xD0\xCE\xC4\xD7\xA2\xCA\xCD\r\nmov eax, 1 ; \xD6\xD0\xCE\xC4\r\n");
    Find(QStringLiteral("中文"));
    EXPECT_EQ(Selection(), std::make_pair(2, 8));  // UTF-8 bytes in the control
    EXPECT_EQ(search.LastFoundText(), QStringLiteral("中文"));

    ReplaceAll(QStringLiteral("中文"), QStringLiteral("汉字"));
    EXPECT_EQ(search.ReplacedCount(), 2);
    editor.SaveToFile(path);
    EXPECT_EQ(ReadFile(path), QByteArray("; \xBA\xBA\xD7\xD6\xD7\xA2\xCA\xCD\r\nmov eax, 1 ; \xBA\xBA\xD7\xD6\r\n"));
}

TEST_F(ChineseSearchTest, FindsAndReplacesInADocumentLoadedFromUtf8) {
    Load("\xEF\xBB\xBF; \xE4\xB8\xAD\xE6\x96\x87 \xE4\xB8\xAD\xE6\x96\x87\r\n");  // BOM "; 中文 中文"
    editor.SetSelStart(2);
    search.SearchFromCaret = true;
    Find(QStringLiteral("中文"));
    EXPECT_EQ(Selection(), std::make_pair(9, 15));  // the match at the caret is passed over
    search.SearchFromCaret = false;
    ReplaceAll(QStringLiteral("中文"), QStringLiteral("汉"));
    EXPECT_EQ(editor.GetText(), QStringLiteral("; 汉 汉\r\n").toUtf8());
    EXPECT_EQ(search.ReplacedCount(), 2);
}

// ---- the dialogs through the component ------------------------------------------------------

TEST_F(SearchReplaceTest, AMultiLineSelectionPreChecksSelectionOnlyAndFindNextLooksBeyondIt) {
    Text("abc\r\nabc\r\nxyz abc", 0);
    editor.SetSel(0, 8);
    search.OnDialog = [](QDialog& dialog) {
        EXPECT_TRUE(Check(dialog, "cbSearchSelectedOnly")->isChecked());
        Box(dialog, "cbSearchText")->setEditText(QStringLiteral("abc"));
        return Press(dialog, "btnOK");
    };
    search.ShowSearchDialog();
    EXPECT_EQ(Selection(), std::make_pair(0, 3));
    EXPECT_FALSE(search.SearchSelectionOnly);
    search.SearchReplace(false, false, srmAsk);
    EXPECT_EQ(Selection(), std::make_pair(5, 8));
    search.SearchReplace(false, false, srmAsk);
    EXPECT_EQ(Selection(), std::make_pair(14, 17));  // beyond the former selection
}

TEST_F(SearchReplaceTest, ASingleLineSelectionUnchecksSelectionOnly) {
    Text("abc abc", 0);
    editor.SetSel(0, 3);
    search.SearchSelectionOnly = true;
    bool checked = true;
    search.OnDialog = [&](QDialog& dialog) {
        checked = Check(dialog, "cbSearchSelectedOnly")->isChecked();
        return Press(dialog, "btnCancel");
    };
    search.ShowSearchDialog();
    EXPECT_FALSE(checked);
}

TEST_F(SearchReplaceTest, TheDialogTakesTheOptionsAndTheWordAtTheCaret) {
    Text("push hello", 7);
    search.SearchText = QStringLiteral("old");
    search.SearchCaseSensitive = true;
    search.SearchWholeWords = true;
    search.SearchFromCaret = false;
    search.SearchForSelWord = true;
    int hooks = 0;
    search.BeforeShow = [&](TSciSearchReplaceBase*) { hooks += 1; };
    search.AfterShow = [&](TSciSearchReplaceBase*) { hooks += 10; };
    search.OnDialog = [&](QDialog& dialog) {
        auto& d = static_cast<TTextSearchDialog&>(dialog);
        EXPECT_EQ(hooks, 1);
        EXPECT_EQ(d.SearchText(), QStringLiteral("hello"));
        EXPECT_TRUE(d.SearchCaseSensitive());
        EXPECT_TRUE(d.SearchWholeWords());
        EXPECT_FALSE(d.SearchFromCaret());
        EXPECT_FALSE(d.SearchBackwards());
        d.SetSearchBackwards(true);
        return Press(dialog, "btnOK");
    };
    search.ShowSearchDialog();
    EXPECT_EQ(hooks, 11);
    EXPECT_EQ(search.SearchText, QStringLiteral("hello"));
    EXPECT_TRUE(search.SearchBackwards);
    EXPECT_EQ(Selection(), std::make_pair(5, 10));  // backward without from-caret: the last match
    EXPECT_EQ(search.OpenDialog(), nullptr);
}

TEST_F(SearchReplaceTest, ClosingTheDialogChangesNothing) {
    Text("abc abc", 0);
    search.SearchText = QStringLiteral("abc");
    search.OnDialog = [](QDialog& dialog) {
        Box(dialog, "cbSearchText")->setEditText(QStringLiteral("xyz"));
        Check(dialog, "cbSearchCaseSensitive")->setChecked(true);
        return Press(dialog, "btnCancel");
    };
    search.ShowSearchDialog();
    EXPECT_EQ(search.SearchText, QStringLiteral("abc"));
    EXPECT_FALSE(search.SearchCaseSensitive);
    EXPECT_TRUE(search.SearchHistory().isEmpty());
    EXPECT_EQ(found + notFound, 0);
}

TEST_F(SearchReplaceTest, TheHistoryKeepsTenEntriesNewestFirstWithoutCaseDuplicates) {
    Text("mov MOV", 0);
    auto searchFor = [this](const QString& text) {
        search.OnDialog = [text](QDialog& dialog) {
            Box(dialog, "cbSearchText")->setEditText(text);
            return Press(dialog, "btnOK");
        };
        search.ShowSearchDialog();
    };
    searchFor(QStringLiteral("mov"));
    searchFor(QStringLiteral("eax"));
    searchFor(QStringLiteral("MOV"));
    EXPECT_EQ(search.SearchHistory(), (QStringList{QStringLiteral("MOV"), QStringLiteral("eax")}));
    EXPECT_EQ(search.SearchText, QStringLiteral("MOV"));

    for (int i = 0; i < 12; ++i) searchFor(QStringLiteral("w%1").arg(i));
    ASSERT_EQ(search.SearchHistory().size(), kSciHistorySize);
    EXPECT_EQ(search.SearchHistory().front(), QStringLiteral("w11"));
    EXPECT_EQ(search.SearchHistory().back(), QStringLiteral("w2"));

    search.OnDialog = [](QDialog& dialog) {
        EXPECT_EQ(Box(dialog, "cbSearchText")->count(), kSciHistorySize);
        EXPECT_EQ(Box(dialog, "cbSearchText")->currentText(), QStringLiteral("w11"));
        return Press(dialog, "btnCancel");
    };
    search.ShowSearchDialog();
}

TEST_F(SearchReplaceTest, TheReplaceDialogStoresBothTextsAndAsksForEachMatch) {
    Text("a a a", 0);
    search.SearchFromCaret = false;
    search.OnDialog = [this](QDialog& dialog) {
        if (auto* replaceDialog = dynamic_cast<TTextReplaceDialog*>(&dialog)) {
            replaceDialog->SetSearchText(QStringLiteral("a"));
            replaceDialog->SetReplaceText(QStringLiteral("中"));
            return Press(dialog, "btnOK");
        }
        questions.push_back(static_cast<TConfirmReplaceDialog&>(dialog).Question());
        return Press(dialog, questions.size() == 1 ? "btnSkip" : "btnReplaceAll");
    };
    search.ShowReplaceDialog();
    EXPECT_EQ(editor.GetText(), QStringLiteral("a 中 中").toUtf8());
    EXPECT_EQ(search.ReplacedCount(), 2);
    EXPECT_EQ(search.ReplaceText, QStringLiteral("中"));
    EXPECT_EQ(search.ReplaceHistory(), QStringList{QStringLiteral("中")});
    EXPECT_EQ(search.SearchHistory(), QStringList{QStringLiteral("a")});

    search.OnDialog = [](QDialog& dialog) {
        EXPECT_EQ(Box(dialog, "cbReplaceText")->currentText(), QStringLiteral("中"));
        EXPECT_EQ(Box(dialog, "cbReplaceText")->count(), 1);
        return Press(dialog, "btnCancel");
    };
    search.ShowReplaceDialog();
}

TEST_F(SearchReplaceTest, TheConfirmDialogStandsBesideTheMatch) {
    editor.resize(600, 400);
    editor.show();
    Text("line 1\r\nline 2\r\nfind me\r\n", 0);
    search.SearchFromCaret = false;
    search.SearchText = QStringLiteral("me");
    QPoint placed, expected;
    search.OnDialog = [&](QDialog& dialog) {
        const int matchStart = editor.GetTargetStart();
        QWidget* client = editor.viewport();
        const QPoint match =
            client->mapToGlobal(QPoint(editor.PointXFromPosition(matchStart), editor.PointYFromPosition(matchStart)));
        expected = SciConfirmDialogPosition(QRect(client->mapToGlobal(QPoint(0, 0)), client->size()), dialog.size(),
                                            match, editor.TextHeight(2));
        placed = dialog.pos();
        return Press(dialog, "btnCancel");
    };
    search.SearchReplace(true, false, srmAsk);
    EXPECT_EQ(placed, expected);
    EXPECT_GT(placed.y(),
              editor.viewport()->mapToGlobal(QPoint(0, editor.PointYFromPosition(editor.GetTargetStart()))).y());
}
