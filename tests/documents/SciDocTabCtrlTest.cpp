// Tests of the document tabs: tab texts, untitled captions, file names, switching with
// capture and restore of the editing state, hints and detaching.
#include "EditorTestSupport.h"
#include "MyEditFileClasses.h"
#include "SciDocTabCtrl.h"
#include "SciLanguageManager.h"
#include "SciScintilla.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTabBar>
#include <memory>

namespace {

class TabsTest : public DocumentTabsTest {
protected:
    std::string TabText(int index) const { return tabs->TabBar()->tabText(index).toStdString(); }
    std::string Text() const { return editor->GetText().toStdString(); }
};

}  // namespace

TEST_F(TabsTest, TheOneDocumentShowsTheUntitledCaptionOfTheDefaultExtension) {
    int opened = -1;
    tabs->OnOpenedAndInited = [&](TSciDocumentTabControl*, int index, TSciDoc* doc) {
        opened = index;
        EXPECT_EQ(doc->Caption(), QStringLiteral("<Untitled.asm>"));
    };
    tabs->SetDefaultExt(QStringLiteral(".asm"));
    tabs->SetEditor(editor);
    EXPECT_EQ(opened, 0);
    ASSERT_EQ(tabs->Count(), 1);
    EXPECT_EQ(TabText(0), "&1 <Untitled.asm>");
    TSciDoc* doc = tabs->Document(0);
    EXPECT_EQ(doc->FileName(), QStringLiteral("Untitled.asm"));
    EXPECT_EQ(doc->LastChanged(), -1);
    EXPECT_EQ(doc->DocumentHandle(), editor->GetDocPointer());
    EXPECT_EQ(tabs->ActiveDocument(), doc);
    EXPECT_EQ(tabs->Document(1), nullptr);
    EXPECT_EQ(editor->parentWidget(), tabs);
}

TEST_F(TabsTest, ChangingTheDefaultExtensionRenamesUntitledDocumentsOnly) {
    tabs->SetEditor(editor);
    EXPECT_EQ(TabText(0), "&1 <Untitled.txt>");
    TSciDoc* titled = tabs->AddDocument();
    titled->SetCaption(QStringLiteral("/home/student/prog.asm"));

    tabs->SetDefaultExt(QStringLiteral("asm"));
    EXPECT_EQ(tabs->DefaultExt(), QStringLiteral(".asm"));
    EXPECT_EQ(TabText(0), "&1 <Untitled.asm>");
    EXPECT_EQ(tabs->Document(0)->FileName(), QStringLiteral("Untitled.asm"));
    EXPECT_EQ(TabText(1), "&2 /home/student/prog.asm");
}

TEST_F(TabsTest, CaptionsAndFileNamesReachTheTabText) {
    tabs->SetDefaultExt(QStringLiteral(".asm"));
    tabs->SetEditor(editor);
    TSciDoc* doc = tabs->Document(0);
    doc->SetCaption(QStringLiteral("未命名.asm"));
    EXPECT_EQ(TabText(0), "&1 未命名.asm");
    doc->SetCaption(doc->Caption() + QStringLiteral(" *"));
    EXPECT_EQ(TabText(0), "&1 未命名.asm *");

    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("prog.asm"), "mov ax, bx\r\n");
    doc->SetFileName(path);
    EXPECT_EQ(TabText(0), "&1 prog.asm") << "the file-name part only";
    EXPECT_EQ(doc->LastChanged(), QFileInfo(path).lastModified().toSecsSinceEpoch());
    doc->SetFileName(folder.Path(QStringLiteral("missing.asm")));
    EXPECT_EQ(doc->LastChanged(), -1);
    doc->SetFileName(QStringLiteral("<Untitled.inc>"));
    EXPECT_EQ(doc->Caption(), QStringLiteral("<Untitled.inc>"));
    EXPECT_EQ(doc->FileName(), QStringLiteral("Untitled.inc"));
}

TEST_F(TabsTest, TabsFromTheTenthOnHaveNoMnemonic) {
    EXPECT_EQ(TSciDocumentTabControl::TabText(8, QStringLiteral("a")), QStringLiteral("&9 a"));
    EXPECT_EQ(TSciDocumentTabControl::TabText(9, QStringLiteral("a")), QStringLiteral("10 a"));
    tabs->SetEditor(editor);
    for (int i = 1; i < 10; ++i) tabs->AddDocument();
    tabs->RefreshTabTexts();
    EXPECT_EQ(TabText(8), "&9 <Untitled.txt>");
    EXPECT_EQ(TabText(9), "10 <Untitled.txt>");
}

TEST_F(TabsTest, ASwitchIsRefusedWithoutAnEditorOrWhenOnChangingSaysNo) {
    EXPECT_FALSE(tabs->CanChange());
    tabs->SetEditor(editor);
    tabs->AddDocument();
    editor->SetText("first");
    tabs->OnChanging = [](TSciDocumentTabControl*, bool& allow) { allow = false; };
    tabs->TabBar()->setCurrentIndex(1);
    EXPECT_EQ(tabs->CurrentIndex(), 0) << "the selection moves back";
    EXPECT_EQ(Text(), "first");
}

TEST_F(TabsTest, SwitchingTabsSwapsBufferSelectionAndEncoding) {
    TestFolder folder;
    tabs->SetEditor(editor);
    editor->LoadFromFile(folder.Write(QStringLiteral("u8.asm"),
                                      "\xEF\xBB\xBF"
                                      "mov ax, bx\r\nret\r\n"));
    editor->SetSel(4, 6);
    TSciDoc* second = tabs->AddDocument();
    int changes = 0;
    tabs->OnChange = [&](TSciDocumentTabControl*) { ++changes; };

    tabs->TabBar()->setCurrentIndex(1);
    EXPECT_EQ(editor->GetDocPointer(), second->DocumentHandle());
    EXPECT_EQ(Text(), "");
    editor->SetText("xyz");
    editor->Streamer()->SetEncoding(ekUtf16LE);

    tabs->TabBar()->setCurrentIndex(0);
    EXPECT_EQ(Text(), "mov ax, bx\r\nret\r\n");
    EXPECT_EQ(editor->SelStart(), 4);
    EXPECT_EQ(editor->SelLength(), 2);
    EXPECT_EQ(editor->Streamer()->GetEncoding(), ekUtf8) << "the kind goes with its document";

    second->Activate();
    EXPECT_EQ(tabs->CurrentIndex(), 1);
    EXPECT_EQ(Text(), "xyz");
    EXPECT_EQ(editor->Streamer()->GetEncoding(), ekUtf16LE);
    EXPECT_EQ(changes, 2) << "Activate selects its tab without the user's change event";
}

TEST_F(TabsTest, FoldStatesAreCapturedAndRestored) {
    tabs->SetEditor(editor);
    tabs->AddDocument();  // creating a buffer expands every fold of the view, so first
    TSciDoc* first = tabs->Document(0);
    first->SetHighlighter(QStringLiteral("ASM"));  // fold states are kept only with a language
    editor->SetText("a\nb\nc\n");
    editor->Send(QsciScintillaBase::SCI_SETFOLDLEVEL, 0, kSciFoldLevelBase | kSciFoldLevelHeaderFlag);
    editor->Send(QsciScintillaBase::SCI_SETFOLDLEVEL, 1, kSciFoldLevelBase + 1);
    editor->Send(QsciScintillaBase::SCI_SETFOLDLEVEL, 2, kSciFoldLevelBase + 1);
    editor->ToggleFold(0);
    ASSERT_FALSE(editor->GetFoldExpanded(0));

    tabs->TabBar()->setCurrentIndex(1);
    ASSERT_EQ(first->FoldStates().size(), 1u);
    EXPECT_EQ(first->FoldStates()[0], std::make_pair(0, false));
    tabs->TabBar()->setCurrentIndex(0);
    EXPECT_FALSE(editor->GetFoldExpanded(0));
}

TEST_F(TabsTest, OptionSettersReachTheEditorOnlyForTheShownDocument) {
    tabs->SetEditor(editor);
    TSciDoc* shown = tabs->Document(0);
    TSciDoc* hidden = tabs->AddDocument();
    shown->SetTabWidth(3);
    EXPECT_EQ(editor->TabWidth(), 3);
    hidden->SetTabWidth(6);
    EXPECT_EQ(editor->TabWidth(), 3);
    shown->SetUseTabs(true);
    EXPECT_TRUE(editor->UseTabs());
    shown->SetWordChars("abc");
    EXPECT_EQ(editor->WordChars(), QByteArray("abc"));

    editor->AddText("x", 1);
    ASSERT_TRUE(editor->Modified());
    shown->SetModified(true);
    EXPECT_TRUE(editor->Modified());
    shown->SetModified(false);
    EXPECT_FALSE(editor->Modified()) << "unmodified marks the save point";

    tabs->TabBar()->setCurrentIndex(1);
    EXPECT_EQ(editor->TabWidth(), 6) << "restored from the document";
}

TEST_F(TabsTest, TheFullEditorAsksForTheLanguageAndShowsItInTheHint) {
    auto* full = new TScintilla();
    QString askedFor;
    tabs->OnDetectHighlighter = [&](TSciDocumentTabControl*, const QString& ext, QString& language) {
        askedFor = ext;
        EXPECT_EQ(language, QStringLiteral("null"));
        language = QStringLiteral("ASM");
    };
    tabs->SetDefaultExt(QStringLiteral(".ASM"));
    tabs->SetEditor(full);
    EXPECT_EQ(askedFor, QStringLiteral(".asm"));
    EXPECT_EQ(tabs->Document(0)->Highlighter(), QStringLiteral("ASM"));
    EXPECT_EQ(tabs->TabHint(0), QStringLiteral("Language: ASM"));

    tabs->OnTabHint = [](TSciDocumentTabControl*, int, QString& hint, TSciDoc*) { hint += QStringLiteral("!"); };
    EXPECT_EQ(tabs->TabHint(0), QStringLiteral("Language: ASM!"));
    tabs->ShowHint = false;
    EXPECT_EQ(tabs->TabHint(0), QString());
}

TEST_F(TabsTest, APlainEditorHasNoLanguageHint) {
    tabs->SetEditor(editor);
    EXPECT_EQ(tabs->TabHint(0), QString());
    EXPECT_EQ(tabs->Document(0)->Highlighter(), QStringLiteral("null"));
}

TEST_F(TabsTest, DetachingMovesTheEditorOutAndDropsTheDocuments) {
    tabs->SetEditor(editor);
    tabs->AddDocument();
    tabs->SetEditor(nullptr);
    EXPECT_EQ(tabs->Count(), 0);
    EXPECT_EQ(tabs->TabBar()->count(), 0);
    EXPECT_EQ(editor->parentWidget(), window.get());
    EXPECT_FALSE(tabs->CanChange());
    editor->SetText("still works");
    EXPECT_EQ(Text(), "still works");
}

TEST_F(TabsTest, ADestroyedEditorLeavesNoDocuments) {
    tabs->SetEditor(editor);
    tabs->AddDocument();
    delete editor;
    editor = nullptr;
    EXPECT_EQ(tabs->Count(), 0);
    EXPECT_EQ(tabs->Editor(), nullptr);
    EXPECT_FALSE(tabs->CanChange());
}
