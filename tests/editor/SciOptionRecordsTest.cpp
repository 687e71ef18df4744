// The option records and properties: what each setter sends, what reads back, and the
// main window's editor values.
#include "EditorTestSupport.h"

#include "SciAsmLanguage.h"
#include "SciMainWindowEditor.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using B = QsciScintillaBase;

namespace {

long PaletteRGB(QPalette::ColorRole role) {
    const QColor c = QApplication::palette().color(QPalette::Active, role);
    return c.red() | c.green() << 8 | c.blue() << 16;
}

}  // namespace

class SciOptionTest : public ::testing::Test {
protected:
    const std::vector<TSciMessage>& Recorded() const { return editor_.RecordedMessages(); }
    TScintilla editor_;
};

TEST_F(SciOptionTest, SelectionAlphaAbove256IsKeptAndSentAs256) {
    editor_.StartRecording();
    editor_.Colors.SetSelAlpha(300);
    EXPECT_EQ(editor_.Colors.SelAlpha(), 256);
    ASSERT_EQ(Recorded().size(), 1u);
    EXPECT_EQ(Recorded()[0].Msg, unsigned(B::SCI_SETSELALPHA));
    EXPECT_EQ(Recorded()[0].WParam, 256u);
    editor_.Colors.SetSelAlpha(100);
    EXPECT_EQ(editor_.Send(B::SCI_GETSELALPHA), 100);
}

TEST_F(SciOptionTest, EmptyWordCharsBecomeLettersAndUnderscore) {
    editor_.StartRecording();
    editor_.SetWordChars("");
    EXPECT_EQ(editor_.WordChars(), "_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    ASSERT_EQ(Recorded().size(), 1u);
    EXPECT_EQ(Recorded()[0].Msg, unsigned(B::SCI_SETWORDCHARS));
    EXPECT_EQ(Recorded()[0].Text, editor_.WordChars());
    editor_.SetText("ab12cd");
    EXPECT_EQ(editor_.Send(B::SCI_WORDENDPOSITION, 0, 1), 2);  // digits are no longer word characters
}

TEST_F(SciOptionTest, EOLStyleConvertsTheExistingLineEnds) {
    editor_.SetText("a\r\nb\rc\n");
    editor_.StartRecording();
    editor_.SetEOLStyle(sciEolLF);
    EXPECT_EQ(Codes(Recorded()), (std::vector<unsigned>{B::SCI_SETEOLMODE, B::SCI_CONVERTEOLS}));
    EXPECT_EQ(editor_.GetText(), "a\nb\nc\n");
    EXPECT_EQ(editor_.EOLStyle(), sciEolLF);
}

TEST_F(SciOptionTest, FoldMarkerTypeSetToItsValueSendsNothing) {
    editor_.StartRecording();
    editor_.FoldMarkers.SetMarkerType(sciMarkBox);
    EXPECT_TRUE(Recorded().empty());

    editor_.FoldMarkers.SetMarkerType(sciMarkCircle);
    const auto& m = Recorded();
    ASSERT_EQ(m.size(), 7u);
    const int numbers[] = {31, 30, 29, 28, 25, 26, 27};
    const int circleShapes[] = {20, 18, 9, 10, 16, 19, 17};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(m[i].Msg, unsigned(B::SCI_MARKERDEFINE));
        EXPECT_EQ(int(m[i].WParam), numbers[i]);
        EXPECT_EQ(m[i].LParam, circleShapes[i]);
    }
    editor_.StartRecording();
    editor_.FoldMarkers.SetMarkerType(sciMarkCustom);
    EXPECT_TRUE(Recorded().empty());
    EXPECT_EQ(editor_.FoldMarkers.FoldOpen().MarkerType(), 20);
}

TEST_F(SciOptionTest, MarkerColoursLeftAtDefaultFollowTheEditorColours) {
    editor_.Colors.SetMarkerFore(HexRGB(0xFF0000));
    editor_.StartRecording();
    editor_.Bookmark.SetForeColor(clDefault);
    ASSERT_EQ(Recorded().size(), 1u);
    EXPECT_EQ(Recorded()[0].Msg, unsigned(B::SCI_MARKERSETFORE));
    EXPECT_EQ(Recorded()[0].WParam, 1u);
    EXPECT_EQ(Recorded()[0].LParam, 0x0000FF);

    editor_.Colors.SetMarkerBack(clDefault);
    editor_.StartRecording();
    editor_.Bookmark.SetBackColor(clDefault);
    EXPECT_TRUE(Recorded().empty());
    editor_.Bookmark.SetBackColor(HexRGB(0x00FF00));
    EXPECT_EQ(Recorded().back().LParam, 0x00FF00);
}

TEST_F(SciOptionTest, MarkerColoursGoToTheSevenFoldMarkersInOrder) {
    editor_.StartRecording();
    editor_.Colors.SetMarkerBack(HexRGB(0x00FFFF));
    const auto& m = Recorded();
    ASSERT_EQ(m.size(), 7u);
    const int numbers[] = {31, 30, 29, 28, 25, 26, 27};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(m[i].Msg, unsigned(B::SCI_MARKERSETBACK));
        EXPECT_EQ(int(m[i].WParam), numbers[i]);
        EXPECT_EQ(m[i].LParam, 0xFFFF00);
    }
    editor_.StartRecording();
    editor_.Colors.SetMarkerFore(clDefault);
    EXPECT_TRUE(Recorded().empty());
}

TEST_F(SciOptionTest, FlaggedColoursSendTheUseFlag) {
    editor_.StartRecording();
    editor_.Colors.SetSelBack(clHighlight);
    editor_.Colors.SetWhiteSpaceFore(clDefault);
    editor_.ActiveHotSpot.SetForeColor(HexRGB(0x0000FF));
    const auto& m = Recorded();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].Msg, unsigned(B::SCI_SETSELBACK));
    EXPECT_EQ(m[0].WParam, 1u);
    EXPECT_EQ(m[0].LParam, PaletteRGB(QPalette::Highlight));
    EXPECT_EQ(m[1].Msg, unsigned(B::SCI_SETWHITESPACEFORE));
    EXPECT_EQ(m[1].WParam, 0u);
    EXPECT_EQ(m[2].Msg, unsigned(B::SCI_SETHOTSPOTACTIVEFORE));
    EXPECT_EQ(m[2].LParam, 0xFF0000);
}

TEST_F(SciOptionTest, RetiredPaletteMessageIsSentAndTheValueKept) {
    editor_.StartRecording();
    editor_.OtherOptions.SetUsePalette(true);
    ASSERT_EQ(Recorded().size(), 1u);
    EXPECT_EQ(Recorded()[0].Msg, 2039u);
    EXPECT_TRUE(editor_.OtherOptions.UsePalette());
}

TEST_F(SciOptionTest, PropertiesWithoutFieldsReadTheControl) {
    editor_.Caret.SetLineBackColor(HexRGB(0xD8EBEB));
    editor_.Caret.SetPeriod(500);
    editor_.Caret.SetLineBackAlpha(256);
    editor_.OtherOptions.SetEndAtLastLine(false);
    editor_.OtherOptions.SetViewWSpace(sciWsVisibleAfterIndent);
    editor_.Gutter2.SetWidth(14);
    editor_.Gutter2.SetSensitive(true);
    editor_.Gutter0.SetMarginType(gutLineNumber);
    editor_.SetTabWidth(4);
    editor_.SetIndentation(KeepIndent | BackSpaceUnIndents);
    EXPECT_EQ(editor_.Caret.LineBackColor(), HexRGB(0xD8EBEB));
    EXPECT_EQ(editor_.Caret.Period(), 500);
    EXPECT_EQ(editor_.Caret.LineBackAlpha(), 256);
    EXPECT_FALSE(editor_.OtherOptions.EndAtLastLine());
    EXPECT_EQ(editor_.OtherOptions.ViewWSpace(), sciWsVisibleAfterIndent);
    EXPECT_EQ(editor_.Gutter(2).Width(), 14);
    EXPECT_TRUE(editor_.Gutter2.Sensitive());
    EXPECT_EQ(editor_.Gutter0.MarginType(), gutLineNumber);
    EXPECT_EQ(editor_.TabWidth(), 4);
    EXPECT_EQ(editor_.Indentation(), KeepIndent | BackSpaceUnIndents);
}

TEST_F(SciOptionTest, PixmapFileDefinesTheMarkerFromTheFileBytes) {
    QTemporaryDir folder;
    const QByteArray xpm = "/* XPM */\nstatic char *m[] = {\"1 1 1 1\", \". c #FF0000\", \".\"};\n";
    WriteFile(folder.filePath("m.xpm"), xpm);
    editor_.StartRecording();
    editor_.Bookmark.SetPixmapFile(folder.filePath("m.xpm"));
    ASSERT_EQ(Recorded().size(), 1u);
    EXPECT_EQ(Recorded()[0].Msg, unsigned(B::SCI_MARKERDEFINEPIXMAP));
    EXPECT_EQ(Recorded()[0].Text, xpm + QByteArray(1, '\0'));
    EXPECT_EQ(editor_.Bookmark.MarkerType(), sciMPixMap);

    editor_.StartRecording();
    editor_.Bookmark.SetPixmapText("text");  // a named file exists: the text is only kept
    EXPECT_TRUE(Recorded().empty());
}

TEST_F(SciOptionTest, CopyingAMarkerSendsColoursThenTheTypeOnly) {
    TSciMarker stored(nullptr, 30, sciMArrow);
    stored.SetForeColor(HexRGB(0x112233));
    stored.SetAlpha(100);
    editor_.StartRecording();
    editor_.FoldMarkers.FoldClosed().Assign(stored);
    EXPECT_EQ(Codes(Recorded()),
              (std::vector<unsigned>{B::SCI_MARKERSETFORE, B::SCI_MARKERSETBACK, B::SCI_MARKERDEFINE}));
    EXPECT_EQ(Recorded().back().LParam, sciMArrow);
    EXPECT_EQ(editor_.FoldMarkers.FoldClosed().Alpha(), 100);
}

// ---- the main window's editor ---------------------------------------------------------

class SciMainWindowEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillMainWindowLanguages(languages_);
        editor_.StartRecording();
        ApplyMainWindowEditorForm(editor_, &languages_);
        editor_.StopRecording();
    }
    TSciLanguageManager languages_;
    TScintilla editor_;
};

TEST_F(SciMainWindowEditorTest, ValuesReachTheControl) {
    EXPECT_EQ(editor_.toolTip(), QString::fromUtf8("提示：一个中文相当于两个字符。"));
    EXPECT_EQ(editor_.Gutter0.Width(), 32);
    EXPECT_EQ(editor_.Gutter0.MarginType(), gutLineNumber);
    EXPECT_EQ(editor_.Gutter1.Width(), 0);
    EXPECT_EQ(editor_.Gutter2.Width(), 14);
    EXPECT_TRUE(editor_.Gutter2.Sensitive());
    EXPECT_EQ(editor_.Send(B::SCI_GETMARGINMASKN, 2) & 0xFFFFFFFF, 0xFE000000);
    EXPECT_EQ(editor_.Caret.LineBackColor(), HexRGB(0xD8EBEB));
    EXPECT_TRUE(editor_.Caret.LineVisible());
    EXPECT_EQ(editor_.Caret.Period(), 500);
    EXPECT_EQ(editor_.EOLStyle(), sciEolCRLF);
    EXPECT_EQ(editor_.TabWidth(), 4);
    EXPECT_FALSE(editor_.UseTabs());
    EXPECT_EQ(editor_.Indentation(), unsigned(TabIndents));
    EXPECT_EQ(editor_.CodePage(), 65001);
    EXPECT_EQ(editor_.LayoutCache(), sciCacheCaret);
    EXPECT_TRUE(editor_.OtherOptions.EndAtLastLine());
    EXPECT_TRUE(editor_.OtherOptions.PasteConvertEndings());
    EXPECT_EQ(editor_.WordChars(), kSciDefaultWordChars);
    EXPECT_EQ(editor_.KeyCommands.Count(), 77);
    EXPECT_EQ(editor_.SelectedLanguage(), "ASM");
    EXPECT_EQ(editor_.Send(B::SCI_GETLEXER), 34);  // the asm lexer
    EXPECT_TRUE(editor_.Controller().Installed());
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETSIZE, 32), 12);
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETBACK, 32), PaletteRGB(QPalette::Button));
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 32), PaletteRGB(QPalette::WindowText));
}

TEST_F(SciMainWindowEditorTest, StepsComeInTheStoredOrder) {
    const std::vector<TSciMessage>& m = editor_.RecordedMessages();
    auto indexOf = [&](unsigned msg, long wParam = -1) {
        for (size_t i = 0; i < m.size(); ++i)
            if (m[i].Msg == msg && (wParam < 0 || long(m[i].WParam) == wParam)) return int(i);
        return -1;
    };
    const int order[] = {
        indexOf(B::SCI_STYLESETBACK, 32),  // 1 colour, then font
        indexOf(B::SCI_STYLESETFONT, 32),
        indexOf(B::SCI_SETEOLMODE),            // 2
        indexOf(B::SCI_SETCARETFORE),          // 3
        indexOf(B::SCI_SETVIEWWS),             // 4
        indexOf(B::SCI_SETHOTSPOTACTIVEBACK),  // 5
        indexOf(B::SCI_SETSELFORE),            // 6
        indexOf(B::SCI_MARKERDEFINE, 1),       // 7 bookmark
        indexOf(B::SCI_SETMARGINWIDTHN, 0),    // 8
        indexOf(B::SCI_SETWRAPVISUALFLAGS),    // 9
        indexOf(B::SCI_SETPROPERTY),           // 10 folding
        indexOf(B::SCI_CLEARALLCMDKEYS),       // 11 keys, then the language
        indexOf(B::SCI_SETLEXERLANGUAGE),
        indexOf(B::SCI_SETBUFFEREDDRAW),  // loaded
    };
    for (size_t i = 0; i < std::size(order); ++i) {
        EXPECT_GE(order[i], 0) << "step " << i;
        if (i > 0) {
            EXPECT_LT(order[i - 1], order[i]) << "step " << i;
        }
    }
    const auto loaded = Only(m, {B::SCI_SETBUFFEREDDRAW, B::SCI_SETSAVEPOINT, B::SCI_SETMOUSEDOWNCAPTURES});
    ASSERT_GE(loaded.size(), 3u);
    EXPECT_EQ(Codes(std::vector<TSciMessage>(loaded.end() - 3, loaded.end())),
              (std::vector<unsigned>{B::SCI_SETBUFFEREDDRAW, B::SCI_SETSAVEPOINT, B::SCI_SETMOUSEDOWNCAPTURES}));
}

TEST_F(SciMainWindowEditorTest, FoldMarkersAreBoxesInTheMarkerColours) {
    const auto backs = Only(editor_.RecordedMessages(), {B::SCI_MARKERSETBACK});
    const auto fores = Only(editor_.RecordedMessages(), {B::SCI_MARKERSETFORE});
    for (int number : {31, 30, 29, 28, 25, 26, 27}) {
        bool back = false, fore = false;
        for (const TSciMessage& m : backs) back |= int(m.WParam) == number && m.LParam == 0xFFFF00;
        for (const TSciMessage& m : fores) fore |= int(m.WParam) == number && m.LParam == 0xFF0000;
        EXPECT_TRUE(back && fore) << "marker " << number;
    }
    EXPECT_EQ(editor_.FoldMarkers.MarkerType(), sciMarkBox);
    EXPECT_EQ(editor_.FoldMarkers.FoldOpen().MarkerType(), sciMBoxMinus);
    EXPECT_EQ(editor_.FoldMarkers.FoldClosed().MarkerType(), sciMBoxPlus);
}

TEST(SciIdentTest, CodePagesAndMarkerShapesHaveTheirStoredNames) {
    EXPECT_EQ(kSciCodePageIdents.size(), 22u);
    EXPECT_EQ(SciIdentToValue(kSciCodePageIdents, "cpUTF8"), 65001);
    EXPECT_EQ(SciIdentToValue(kSciCodePageIdents, "CPGB2312"), 134);
    EXPECT_EQ(SciIdentToValue(kSciCodePageIdents, "cpNone"), std::nullopt);
    EXPECT_EQ(SciValueToIdent(kSciCodePageIdents, 0), "cpAnsi");
    EXPECT_EQ(SciValueToIdent(kSciCodePageIdents, 936), "");

    ASSERT_EQ(kSciMarkerShapeIdents.size(), 27u);
    for (int value = 0; value < 27; ++value) EXPECT_EQ(kSciMarkerShapeIdents[value].Value, value);
    EXPECT_EQ(SciValueToIdent(kSciMarkerShapeIdents, 25), "sciMPixMap");
    EXPECT_EQ(SciIdentToValue(kSciMarkerShapeIdents, "sciMBoxPlusConnected"), 13);
}
