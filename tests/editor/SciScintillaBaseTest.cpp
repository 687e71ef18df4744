// The control host: library check, message path, font steps, load and save, the Lines
// adapter and the text operations.
#include "EditorTestSupport.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using B = QsciScintillaBase;

// ---- the carried library -------------------------------------------------------------

class SciLibraryTest : public ::testing::Test {
protected:
    void TearDown() override { TSciLibrary::Load(TestProgramFolder()); }
    QTemporaryDir folder_;
};

TEST_F(SciLibraryTest, MissingLibraryFailsConstructionWithTheNotFoundMessage) {
    ASSERT_FALSE(TSciLibrary::Load(folder_.path()));
    const int widgetsBefore = int(QApplication::allWidgets().size());
    try {
        TScintilla editor;
        FAIL() << "an editor was made without the library";
    } catch (const ESciException& e) {
        const QStringList lines = e.Message().split('\n');
        ASSERT_EQ(lines.size(), 4);
        EXPECT_EQ(lines[0], "\"SciLexer.DLL\" wasn't found. Please make sure is located on the System Path.");
        EXPECT_TRUE(lines[1].isEmpty());
        EXPECT_FALSE(lines[2].isEmpty());
        EXPECT_FALSE(lines[3].isEmpty());
    }
    EXPECT_EQ(int(QApplication::allWidgets().size()), widgetsBefore);
}

TEST_F(SciLibraryTest, FoundIgnoringCaseOnlyWhenItIsASharedLibrary) {
    WriteFile(folder_.filePath("SCILEXER.DLL"), "MZ not an ELF file");
    EXPECT_FALSE(TSciLibrary::Load(folder_.path()));
    EXPECT_THROW(TScintilla(), ESciException);

    QFile::remove(folder_.filePath("SCILEXER.DLL"));
    ASSERT_TRUE(QFile::copy(TSciLibrary::SciLinkedLibraryPath(), folder_.filePath("scilexer.Dll")));
    EXPECT_TRUE(TSciLibrary::Load(folder_.path()));
    EXPECT_TRUE(TSciLibrary::Path().endsWith("scilexer.Dll"));
    EXPECT_NO_THROW(TScintilla());
}

TEST_F(SciLibraryTest, TheBuildPutsTheLinkedLibraryBesideTheProgram) {
    EXPECT_TRUE(TSciLibrary::Load(TestProgramFolder()));
    EXPECT_EQ(ReadFile(TSciLibrary::Path()), ReadFile(TSciLibrary::SciLinkedLibraryPath()));
    EXPECT_TRUE(TSciLibrary::SciLinkedLibraryPath().contains("qscintilla2_qt6"));
}

// ---- message path, font and colour -------------------------------------------------

class SciHostTest : public ::testing::Test {
protected:
    TScintilla editor_;
};

TEST_F(SciHostTest, FontChangeSendsStyle32InOrderThenClearsAllStyles) {
    TSciFont font;
    font.Name = "Fixedsys";
    font.Size = 12;
    font.CharSet = 134;
    font.Bold = true;
    font.Color = HexRGB(0x123456);
    editor_.StartRecording();
    editor_.SetFont(font);
    const auto& m = editor_.RecordedMessages();
    ASSERT_EQ(Codes(m), (std::vector<unsigned>{B::SCI_STYLESETFONT, B::SCI_STYLESETSIZE, B::SCI_STYLESETCHARACTERSET,
                                               B::SCI_STYLESETITALIC, B::SCI_STYLESETBOLD, B::SCI_STYLESETUNDERLINE,
                                               B::SCI_STYLESETFORE, B::SCI_STYLECLEARALL}));
    EXPECT_EQ(m[0].WParam, 32u);
    EXPECT_EQ(m[0].Text, "Fixedsys");
    EXPECT_EQ(m[1].LParam, 12);
    EXPECT_EQ(m[2].LParam, 134);
    EXPECT_EQ(m[4].LParam, 1);
    EXPECT_EQ(m[6].LParam, 0x563412);  // blue in the high byte
}

TEST_F(SciHostTest, ColourChangeSendsStyle32BackgroundThenClearsAllStyles) {
    editor_.StartRecording();
    editor_.SetColor(clBtnFace);
    editor_.StopRecording();
    const auto& m = editor_.RecordedMessages();
    ASSERT_EQ(Codes(m), (std::vector<unsigned>{B::SCI_STYLESETBACK, B::SCI_STYLECLEARALL}));
    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(m[0].LParam, long(face.red() | face.green() << 8 | face.blue() << 16));
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETBACK, 12), m[0].LParam);
}

TEST_F(SciHostTest, WindowsFontNamesResolveToInstalledStandIns) {
    EXPECT_EQ(ResolvedFontFamily("Fixedsys"), ResolvedFontFamily("monospace"));
    EXPECT_EQ(ResolvedFontFamily("Comic Sans MS"), ResolvedFontFamily("sans-serif"));
    EXPECT_NE(ResolvedFontFamily(QString::fromUtf8("宋体")), QString::fromUtf8("宋体"));
    EXPECT_TRUE(QFontDatabase::writingSystems(ResolvedFontFamily(QString::fromUtf8("宋体")))
                    .contains(QFontDatabase::SimplifiedChinese));
}

TEST_F(SciHostTest, RecorderKeepsNumbersAndTextsUntilStopped) {
    editor_.StartRecording();
    editor_.AddText("abc");
    editor_.GotoPos(1);
    editor_.StopRecording();
    editor_.GotoPos(2);
    const auto& m = editor_.RecordedMessages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].Msg, unsigned(B::SCI_ADDTEXT));
    EXPECT_EQ(m[0].WParam, 3u);
    EXPECT_TRUE(m[0].HasText);
    EXPECT_EQ(m[0].Text, "abc");
    EXPECT_EQ(m[1].Msg, unsigned(B::SCI_GOTOPOS));
    EXPECT_EQ(m[1].WParam, 1u);
}

TEST_F(SciHostTest, CodePageIsLogicalWhileTheControlStaysUtf8) {
    editor_.SetCodePage(0);
    EXPECT_EQ(editor_.CodePage(), 0);
    EXPECT_EQ(editor_.Send(B::SCI_GETCODEPAGE), 65001);
    editor_.SetCodePage(65001);
    EXPECT_EQ(editor_.CodePage(), 65001);
}

// ---- loading and saving ------------------------------------------------------------------

class SciLoadSaveTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return folder_.filePath(name); }
    QTemporaryDir folder_;
    TScintilla editor_;
};

TEST_F(SciLoadSaveTest, LoadOrdersItsMessagesAndLeavesACleanDocument) {
    WriteFile(Path("a.asm"), "mov eax, 1\r\nret\r\n");
    editor_.SetStreamClass(&TTestStream::StreamClass);
    editor_.AddText("old text");
    int insertions = 0;
    editor_.OnModified = [&](TScintillaBase*, const TSciModification& m) {
        insertions += (m.ModificationType & B::SC_MOD_INSERTTEXT) != 0;
    };
    const long maskBefore = editor_.Send(B::SCI_GETMODEVENTMASK);

    editor_.StartRecording();
    editor_.LoadFromFile(Path("a.asm"));
    const auto steps = Only(editor_.RecordedMessages(), {B::SCI_CLEARALL, B::SCI_SETMODEVENTMASK, B::SCI_ADDTEXT,
                                                         B::SCI_EMPTYUNDOBUFFER, B::SCI_SETSAVEPOINT, B::SCI_GOTOPOS});
    EXPECT_EQ(Codes(steps), (std::vector<unsigned>{B::SCI_CLEARALL, B::SCI_SETMODEVENTMASK, B::SCI_CLEARALL,
                                                   B::SCI_ADDTEXT, B::SCI_EMPTYUNDOBUFFER, B::SCI_SETSAVEPOINT,
                                                   B::SCI_GOTOPOS, B::SCI_SETSAVEPOINT, B::SCI_SETMODEVENTMASK}));
    EXPECT_EQ(steps[1].WParam, 0u);
    EXPECT_EQ(long(steps[8].WParam), maskBefore);

    EXPECT_EQ(editor_.GetText(), "mov eax, 1\r\nret\r\n");
    EXPECT_EQ(insertions, 0) << "the loaded text arrives without modification events";
    EXPECT_FALSE(editor_.CanUndo());
    EXPECT_FALSE(editor_.Modified());
    EXPECT_EQ(editor_.GetCurrentPos(), 0);

    editor_.AddText("x");
    EXPECT_EQ(insertions, 1) << "modification events are back on after the load";
}

TEST_F(SciLoadSaveTest, AFileThatCannotBeOpenedLeavesTheTextAlone) {
    editor_.SetStreamClass(&TTestStream::StreamClass);
    editor_.AddText("keep me");
    EXPECT_THROW(editor_.LoadFromFile(Path("missing.asm")), ESciException);
    EXPECT_EQ(editor_.GetText(), "keep me");
}

TEST_F(SciLoadSaveTest, AStreamFailingHalfWayBringsThePreviousTextBack) {
    WriteFile(Path("a.asm"), "0123456789");
    editor_.SetStreamClass(&TFailingStream::StreamClass);
    editor_.AddText("previous");
    editor_.SetModified(false);
    const long mask = editor_.Send(B::SCI_GETMODEVENTMASK);
    EXPECT_THROW(editor_.LoadFromFile(Path("a.asm")), ESciException);
    EXPECT_EQ(editor_.GetText(), "previous");
    EXPECT_FALSE(editor_.Modified());
    EXPECT_EQ(editor_.Send(B::SCI_GETMODEVENTMASK), mask);
}

TEST_F(SciLoadSaveTest, SaveWritesTheTextAndKeepsUndoUnlessAskedToClearIt) {
    editor_.SetStreamClass(&TTestStream::StreamClass);
    editor_.AddText("mov eax, 1\r\n");
    editor_.SaveToFile(Path("out.asm"));
    EXPECT_EQ(ReadFile(Path("out.asm")), "mov eax, 1\r\n");
    EXPECT_FALSE(editor_.Modified());
    EXPECT_TRUE(editor_.CanUndo());

    editor_.ClearUndoAfterSave = true;
    editor_.AddText("ret");
    editor_.SaveToFile(Path("out.asm"));
    EXPECT_EQ(ReadFile(Path("out.asm")), "mov eax, 1\r\nret");
    EXPECT_FALSE(editor_.CanUndo());
}

TEST_F(SciLoadSaveTest, AFailedSaveLeavesTheExistingFileUntouched) {
    WriteFile(Path("a.asm"), "original contents");
    editor_.SetStreamClass(&TFailingStream::StreamClass);
    editor_.AddText("new contents");
    EXPECT_THROW(editor_.SaveToFile(Path("a.asm")), ESciException);
    EXPECT_EQ(ReadFile(Path("a.asm")), "original contents");
    EXPECT_TRUE(editor_.Modified());
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{"a.asm"});
}

TEST_F(SciLoadSaveTest, SavingIntoAMissingFolderIsReportedWithThePath) {
    editor_.SetStreamClass(&TTestStream::StreamClass);
    try {
        editor_.SaveToFile(Path("no/such/folder/a.asm"));
        FAIL();
    } catch (const ESciException& e) {
        EXPECT_TRUE(e.Message().contains("a.asm"));
    }
}

TEST_F(SciLoadSaveTest, MissingStreamClassAndFailedCreationHaveTheirMessages) {
    WriteFile(Path("a.asm"), "original");
    try {
        editor_.SaveToFile(Path("a.asm"));
        FAIL();
    } catch (const ESciException& e) {
        EXPECT_EQ(e.Message(), "No class is assigned to StreamClass.");
    }
    EXPECT_EQ(ReadFile(Path("a.asm")), "original");
    editor_.AddText("typed");
    EXPECT_THROW(editor_.LoadFromFile(Path("a.asm")), ESciException);
    EXPECT_EQ(editor_.GetText(), "typed");
    EXPECT_TRUE(editor_.CanUndo());

    const TSciStreamClass broken{"TBroken", [](TScintillaBase*) { return std::unique_ptr<TSciStreamBase>(); }};
    editor_.SetStreamClass(&broken);
    try {
        editor_.Streamer();
        FAIL();
    } catch (const ESciException& e) {
        EXPECT_EQ(e.Message(), "The Streamer is nil.. Unassigned StreamClass property or Can't create the class.");
    }
}

TEST_F(SciLoadSaveTest, StreamClassMakesItsStreamerAtOnceAndReplacesTheOldOne) {
    const int before = TTestStream::Alive;
    editor_.SetStreamClass(&TTestStream::StreamClass);
    EXPECT_EQ(TTestStream::Alive, before + 1);
    TSciStreamBase* first = editor_.Streamer();
    EXPECT_EQ(first->Editor(), &editor_);
    editor_.SetStreamClass(&TFailingStream::StreamClass);
    EXPECT_EQ(TTestStream::Alive, before + 1);
    EXPECT_EQ(editor_.StreamClass(), &TFailingStream::StreamClass);
    editor_.SetStreamClass(nullptr);
    EXPECT_EQ(TTestStream::Alive, before);
}

TEST_F(SciLoadSaveTest, ClearDocumentEmptiesTextUndoAndModifiedState) {
    editor_.AddText("abc");
    editor_.StartRecording();
    editor_.ClearDocument();
    EXPECT_EQ(Codes(editor_.RecordedMessages()),
              (std::vector<unsigned>{B::SCI_CLEARALL, B::SCI_EMPTYUNDOBUFFER, B::SCI_SETSAVEPOINT, B::SCI_SETEOLMODE}));
    EXPECT_EQ(editor_.EOLStyle(), sciEolCRLF);
    EXPECT_EQ(editor_.GetTextLength(), 0);
    EXPECT_FALSE(editor_.CanUndo());
    EXPECT_FALSE(editor_.Modified());
}

// ---- the Lines adapter -------------------------------------------------------------------

class SciLinesTest : public ::testing::Test {
protected:
    TScintilla editor_;
};

TEST_F(SciLinesTest, CountLeavesOutAnEmptyLastLine) {
    EXPECT_EQ(editor_.Lines.Count(), 0);
    editor_.SetText("a\r\nb\r\n");
    EXPECT_EQ(editor_.GetLineCount(), 3);
    EXPECT_EQ(editor_.Lines.Count(), 2);
    editor_.SetText("a\r\nb");
    EXPECT_EQ(editor_.Lines.Count(), 2);
}

TEST_F(SciLinesTest, GetPutInsertDeleteWorkOnWholeLines) {
    editor_.SetEOLStyle(sciEolCRLF);
    editor_.Lines.Add("one");
    editor_.Lines.Add("three");
    EXPECT_EQ(editor_.GetText(), "one\r\nthree\r\n");
    editor_.Lines.Insert(1, "two");
    EXPECT_EQ(editor_.Lines.Get(1), "two");
    editor_.Lines.Put(2, "THREE");
    EXPECT_EQ(editor_.GetText(), "one\r\ntwo\r\nTHREE\r\n");
    editor_.Lines.Delete(0);
    EXPECT_EQ(editor_.GetText(), "two\r\nTHREE\r\n");
    editor_.Lines.Delete(1);
    EXPECT_EQ(editor_.GetText(), "two\r\n");
}

TEST_F(SciLinesTest, OutOfRangeLinesAreHarmless) {
    editor_.SetText("a\nb");
    editor_.Lines.Put(7, "x");
    editor_.Lines.Insert(9, "x");
    editor_.Lines.Delete(-1);
    EXPECT_EQ(editor_.Lines.Get(5), "");
    EXPECT_EQ(editor_.GetText(), "a\nb");
}

TEST_F(SciLinesTest, AppendAfterALastLineWithoutLineEnd) {
    editor_.SetEOLStyle(sciEolLF);
    editor_.SetText("a\nb");
    editor_.Lines.Insert(2, "c");
    EXPECT_EQ(editor_.GetText(), "a\nb\nc");
}

TEST_F(SciLinesTest, SettingIdenticalTextTouchesNothing) {
    editor_.SetEOLStyle(sciEolCRLF);
    editor_.SetText("mov eax, 1\r\n");
    editor_.EmptyUndoBuffer();
    editor_.SetModified(false);
    int changes = 0;
    editor_.Lines.OnChange = [&] { ++changes; };

    editor_.StartRecording();
    editor_.Lines.SetText("mov eax, 1\n");  // converted to CR LF first: identical
    EXPECT_TRUE(Only(editor_.RecordedMessages(), {B::SCI_SETTEXT}).empty());
    EXPECT_FALSE(editor_.CanUndo());
    EXPECT_FALSE(editor_.Modified());
    EXPECT_EQ(changes, 0);

    editor_.Lines.SetText("ret\n");
    EXPECT_EQ(editor_.GetText(), "ret\r\n");
    EXPECT_EQ(changes, 1);
}

TEST_F(SciLinesTest, BatchUpdatesPauseDrawingUntilTheOutermostEnd) {
    editor_.Lines.BeginUpdate();
    editor_.Lines.BeginUpdate();
    EXPECT_FALSE(editor_.viewport()->updatesEnabled());
    editor_.Lines.EndUpdate();
    EXPECT_FALSE(editor_.viewport()->updatesEnabled());
    editor_.Lines.EndUpdate();
    EXPECT_TRUE(editor_.viewport()->updatesEnabled());
    editor_.Lines.EndUpdate();  // unbalanced: harmless
    EXPECT_TRUE(editor_.viewport()->updatesEnabled());
}

// ---- text and selection operations -----------------------------------------------------

class SciTextTest : public ::testing::Test {
protected:
    TScintilla editor_;
};

TEST_F(SciTextTest, LineTextCaretLineAndColumn) {
    editor_.SetText("first\r\n  mov eax, 1\r\nlast");
    editor_.GotoPos(editor_.PositionFromLine(1) + 4);
    EXPECT_EQ(editor_.CaretLine(), 1);
    EXPECT_EQ(editor_.CaretColumn(), 4);
    EXPECT_EQ(editor_.GetLineText(), "  mov eax, 1");
    EXPECT_EQ(editor_.GetLineText(2), "last");
    EXPECT_EQ(editor_.GetLineText(3), "");
}

TEST_F(SciTextTest, TextRangeIsClampedToTheText) {
    editor_.SetText("abcdef");
    EXPECT_EQ(editor_.GetTextRange(1, 3), "bc");
    EXPECT_EQ(editor_.GetTextRange(-5, 2), "ab");
    EXPECT_EQ(editor_.GetTextRange(4, 99), "ef");
    EXPECT_EQ(editor_.GetTextRange(4, 2), "");
}

TEST_F(SciTextTest, WordAtCaretUsesTheFixedWordCharacters) {
    editor_.SetText("mov eax_2, [ebx+4]");
    editor_.SetWordChars("abc");  // does not change the word at the caret
    editor_.GotoPos(5);
    EXPECT_EQ(editor_.WordAtCaret(), "eax_2");
    editor_.GotoPos(9);  // right after the word, before ","
    EXPECT_EQ(editor_.WordAtCaret(), "eax_2");
    editor_.GotoPos(11);  // between " " and "["
    EXPECT_EQ(editor_.WordAtCaret(), "");
    editor_.SetSel(0, 3);
    EXPECT_EQ(editor_.WordAtCaret(), "");
}

TEST_F(SciTextTest, RemoveTrailingBlanksStripsEveryLine) {
    editor_.SetText("a  \r\n\tb\t \r\n   \r\nc");
    editor_.RemoveTrailingBlanks();
    EXPECT_EQ(editor_.GetText(), "a\r\n\tb\r\n\r\nc");
}

TEST_F(SciTextTest, SelectionOperations) {
    editor_.SetText("hello world");
    editor_.SetSelStart(6);
    editor_.SetSelLength(5);
    int start = 0, end = 0;
    editor_.GetSelection(start, end);
    EXPECT_EQ(start, 6);
    EXPECT_EQ(end, 11);
    EXPECT_EQ(editor_.SelectedText(), "world");
    EXPECT_EQ(editor_.SelectionLength(), 5);
    editor_.SetSelStart(2);
    EXPECT_EQ(editor_.SelectedText(), "");
}

TEST_F(SciTextTest, RectangularSelectionLengthCountsEveryLine) {
    editor_.SetText("abcdef\nabcdef\nabcdef");
    editor_.Send(B::SCI_SETRECTANGULARSELECTIONANCHOR, 1);
    editor_.Send(B::SCI_SETRECTANGULARSELECTIONCARET, editor_.PositionFromLine(2) + 4);
    EXPECT_EQ(editor_.SelectionLength(), 9);
    EXPECT_EQ(editor_.SelectedText().count("bcd"), 3);
}

TEST_F(SciTextTest, DocumentsAreSharedAndCounted) {
    editor_.SetText("first");
    void* first = editor_.GetDocPointer();
    editor_.AddRefDocument(first);
    void* second = editor_.CreateDocument();
    editor_.SetDocPointer(second);
    EXPECT_EQ(editor_.GetTextLength(), 0);
    editor_.SetDocPointer(first);
    EXPECT_EQ(editor_.GetText(), "first");
    editor_.ReleaseDocument(first);
    editor_.ReleaseDocument(second);
}

TEST_F(SciTextTest, TargetSearchAndReplace) {
    editor_.SetText("mov eax, eax");
    editor_.SetTargetStart(4);
    editor_.SetTargetEnd(editor_.GetTextLength());
    editor_.SetSearchFlags(0);
    EXPECT_EQ(editor_.SearchInTarget("eax"), 4);
    editor_.ReplaceTarget("ebx");
    EXPECT_EQ(editor_.GetText(), "mov ebx, eax");
    int end = 0;
    EXPECT_EQ(editor_.FindText(0, 0, editor_.GetTextLength(), "eax", &end), 9);
    EXPECT_EQ(end, 12);
}

// ---- notifications -------------------------------------------------------------------------

TEST(SciNotificationTest, TypedCharactersAndModificationsReachTheirEvents) {
    TScintilla editor;
    std::vector<int> added;
    std::vector<int> types;
    editor.OnCharAdded = [&](TScintillaBase* sender, int ch) {
        EXPECT_EQ(sender, &editor);
        added.push_back(ch);
    };
    editor.OnModified = [&](TScintillaBase*, const TSciModification& m) { types.push_back(m.ModificationType); };
    QTest::keyClicks(&editor, "ab");
    EXPECT_EQ(added, (std::vector<int>{'a', 'b'}));
    EXPECT_TRUE(std::any_of(types.begin(), types.end(), [](int t) { return t & B::SC_MOD_INSERTTEXT; }));
}

TEST(SciNotificationTest, SavePointEventsAndVerticalScroll) {
    TScintilla editor;
    editor.resize(300, 100);
    editor.show();
    int left = 0, reached = 0;
    editor.OnSavePointLeft = [&](TScintillaBase*) { ++left; };
    editor.OnSavePointReached = [&](TScintillaBase*) { ++reached; };
    editor.AddText("x");
    editor.SetModified(false);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(reached, 1);

    std::vector<int> codes;
    editor.OnVScroll = [&](TScintillaBase*, int code) { codes.push_back(code); };
    editor.SetText(QByteArray(200, '\n'));
    QApplication::processEvents();
    editor.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    editor.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(codes, (std::vector<int>{SB_LINEDOWN, SB_PAGEUP}));
}
