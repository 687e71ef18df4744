// The key command table: the 77 default rows, the translation of shortcuts to the
// control's key definitions, how the table reaches the control, and what keys do.
#include "EditorTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using B = QsciScintillaBase;

namespace {

// The default table as the stored form writes it: command number and shortcut code.
const std::pair<int, int> kStoredTable[77] = {
    {2300, 40},    {2301, 8232},  {2342, 16424}, {2426, 41000}, {2302, 38},    {2303, 8230},  {2343, 16422},
    {2427, 40998}, {2415, 49190}, {2416, 57382}, {2413, 49192}, {2414, 57384}, {2304, 37},    {2305, 8229},
    {2308, 16421}, {2309, 24613}, {2428, 40997}, {2306, 39},    {2307, 8231},  {2310, 16423}, {2311, 24615},
    {2429, 40999}, {2390, 49189}, {2391, 57381}, {2392, 49191}, {2393, 57383}, {2331, 36},    {2332, 8228},
    {2431, 40996}, {2316, 16420}, {2317, 24612}, {2345, 32804}, {2314, 35},    {2315, 8227},  {2318, 16419},
    {2319, 24611}, {2347, 32803}, {2432, 40995}, {2320, 33},    {2321, 8225},  {2433, 40993}, {2322, 34},
    {2323, 8226},  {2434, 40994}, {2180, 46},    {2177, 8238},  {2336, 16430}, {2396, 24622}, {2324, 45},
    {2179, 8237},  {2178, 16429}, {2325, 27},    {2326, 8},     {2326, 8200},  {2335, 16392}, {2176, 32776},
    {2395, 24584}, {2176, 16474}, {2011, 16473}, {2177, 16472}, {2178, 16451}, {2179, 16470}, {2013, 16449},
    {2327, 9},     {2328, 8201},  {2329, 13},    {2329, 8205},  {2333, 16491}, {2334, 16493}, {2373, 16495},
    {2337, 16460}, {2338, 24652}, {2455, 24660}, {2339, 16468}, {2469, 16452}, {2340, 16469}, {2341, 24661},
};

}  // namespace

TEST(SciKeyTableTest, DefaultsAreTheStoredSeventySevenRows) {
    TSciKeyCommandCollection table(nullptr);
    table.ResetToDefaults();
    ASSERT_EQ(table.Count(), 77);
    for (int i = 0; i < 77; ++i) {
        EXPECT_EQ(table.Item(i).Command(), kStoredTable[i].first) << "row " << i + 1;
        EXPECT_EQ(table.Item(i).ShortCut(), kStoredTable[i].second) << "row " << i + 1;
    }
}

TEST(SciKeyTableTest, HomeKeyFlagSelectsHomeOrVCHome) {
    TSciKeyCommandCollection table(nullptr, false);
    table.ResetToDefaults();
    EXPECT_EQ(table.Item(26).Command(), 2312);
    EXPECT_EQ(table.Item(27).Command(), 2313);
    EXPECT_EQ(table.Item(28).Command(), 2430);
    EXPECT_EQ(table.Item(29).Command(), 2316);

    TSciKeyCommandCollection copy(nullptr, true);
    copy.Assign(table);
    EXPECT_FALSE(copy.HomeKeyVCHome());
    EXPECT_EQ(copy.Item(26).Command(), 2312);
}

TEST(SciKeyTableTest, ShortCutsTranslateToControlKeyDefinitions) {
    EXPECT_EQ(ShortCutToSciKeyDefinition(40), B::SCK_DOWN);
    EXPECT_EQ(ShortCutToSciKeyDefinition(41000), (kSciModShift | kSciModAlt) * 65536 + B::SCK_DOWN);
    EXPECT_EQ(ShortCutToSciKeyDefinition(16491), kSciModCtrl * 65536 + B::SCK_ADD);
    EXPECT_EQ(ShortCutToSciKeyDefinition(16474), kSciModCtrl * 65536 + 'Z');
    EXPECT_EQ(ShortCutToSciKeyDefinition(27), B::SCK_ESCAPE);
    EXPECT_EQ(ShortCutToSciKeyDefinition(8), 8);
    EXPECT_EQ(ShortCutToSciKeyDefinition(9), 9);
    EXPECT_EQ(ShortCutToSciKeyDefinition(13), 13);
    EXPECT_EQ(ShortCutToSciKeyDefinition(93), B::SCK_MENU);
    EXPECT_EQ(SciKeyToShortCut(B::SCK_NEXT, kSciModShift | kSciModAlt), 40994);
}

TEST(SciKeyTableTest, QtKeysTranslateToShortCutsAndText) {
    EXPECT_EQ(QtKeyToShortCut(QKeyCombination(Qt::ControlModifier, Qt::Key_Z)), 16474);
    EXPECT_EQ(QtKeyToShortCut(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)), 16491);
    EXPECT_EQ(QtKeyToShortCut(QKeyCombination(Qt::ControlModifier, Qt::Key_Plus)), 0);
    EXPECT_EQ(QtKeyToShortCut(QKeyCombination(Qt::AltModifier | Qt::ShiftModifier, Qt::Key_PageDown)), 40994);
    EXPECT_EQ(QtKeyToShortCut(QKeyCombination(Qt::ShiftModifier, Qt::Key_Backtab)), 8201);
    EXPECT_EQ(ShortCutToText(16474), "Ctrl+Z");
    EXPECT_EQ(ShortCutToText(57382), "Ctrl+Alt+Shift+Up");
    EXPECT_EQ(ShortCutToText(0), "(None)");
}

TEST(SciKeyTableTest, AWholeChangeClearsTheControlMapThenAssignsEveryRow) {
    TScintilla editor;
    editor.StartRecording();
    editor.KeyCommands.ResetToDefaults();
    const auto& m = editor.RecordedMessages();
    ASSERT_EQ(m.size(), 78u);
    EXPECT_EQ(m[0].Msg, unsigned(B::SCI_CLEARALLCMDKEYS));
    for (int i = 0; i < 77; ++i) {
        EXPECT_EQ(m[i + 1].Msg, unsigned(B::SCI_ASSIGNCMDKEY));
        EXPECT_EQ(int(m[i + 1].WParam), ShortCutToSciKeyDefinition(TShortCut(kStoredTable[i].second)));
        EXPECT_EQ(m[i + 1].LParam, kStoredTable[i].first);
    }
}

TEST(SciKeyTableTest, OneChangedRowIsAssignedAlone) {
    TScintilla editor;
    editor.StartRecording();
    editor.KeyCommands.Item(58).SetCommand(B::SCI_UNDO);
    const auto& m = editor.RecordedMessages();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].Msg, unsigned(B::SCI_ASSIGNCMDKEY));
    EXPECT_EQ(int(m[0].WParam), kSciModCtrl * 65536 + 'Y');
    EXPECT_EQ(m[0].LParam, B::SCI_UNDO);
}

TEST(SciKeyTableTest, TheLaterOfTwoRowsWithOneKeyWins) {
    TSciKeyCommandCollection table(nullptr);
    table.Add(B::SCI_UNDO, 16474);
    table.Add(B::SCI_REDO, 16474);
    EXPECT_EQ(table.FindCommand(kSciModCtrl * 65536 + 'Z'), B::SCI_REDO);
    EXPECT_EQ(table.FindCommand(kSciModCtrl * 65536 + 'Q'), -1);
}

// ---- what the keys do -------------------------------------------------------------------

class SciKeysTest : public ::testing::Test {
protected:
    void SetUp() override { editor_.SetText("first\r\nSecond Line\r\nthird"); }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&editor_, Qt::Key(key), modifiers);
    }
    void CaretToLine(int line) { editor_.GotoPos(editor_.PositionFromLine(line)); }

    TScintilla editor_;
};

TEST_F(SciKeysTest, AltBackspaceUndoesAndCtrlYRedoes) {
    editor_.EmptyUndoBuffer();
    editor_.GotoPos(0);
    QTest::keyClicks(&editor_, "x");
    Press(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(editor_.Lines.Get(0), "first");
    Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(editor_.Lines.Get(0), "xfirst");
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor_.Lines.Get(0), "first");
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // not in the table
    Press(Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(editor_.Lines.Get(0), "first");
}

TEST_F(SciKeysTest, LineCutDeleteCopyAndTranspose) {
    CaretToLine(1);
    Press(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(editor_.GetText(), "first\r\nthird");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Second Line\r\n");

    editor_.SetText("first\r\nSecond Line\r\nthird");
    CaretToLine(1);
    Press(Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor_.GetText(), "first\r\nthird");

    CaretToLine(0);
    Press(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "first\r\n");
    EXPECT_EQ(editor_.GetText(), "first\r\nthird");

    CaretToLine(1);
    Press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(editor_.GetText(), "third\r\nfirst");
}

TEST_F(SciKeysTest, CtrlUAndCtrlShiftUChangeTheCaseOfTheSelection) {
    editor_.SetSel(7, 18);
    Press(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(editor_.Lines.Get(1), "second line");
    Press(Qt::Key_U, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor_.Lines.Get(1), "SECOND LINE");
}

TEST_F(SciKeysTest, HomeGoesToTheFirstNonBlankThenToTheLineStart) {
    editor_.SetText("    mov eax, 1");
    editor_.GotoPos(10);
    Press(Qt::Key_Home);
    EXPECT_EQ(editor_.GetCurrentPos(), 4);
    Press(Qt::Key_Home);
    EXPECT_EQ(editor_.GetCurrentPos(), 0);
}

TEST_F(SciKeysTest, ShiftVariantsOfBackspaceAndEnter) {
    editor_.SetText("ab");
    editor_.GotoPos(2);
    Press(Qt::Key_Backspace, Qt::ShiftModifier);
    EXPECT_EQ(editor_.GetText(), "a");
    Press(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(editor_.GetLineCount(), 2);
}

TEST_F(SciKeysTest, TabStaysInTheEditor) {
    editor_.SetUseTabs(true);
    editor_.GotoPos(0);
    Press(Qt::Key_Tab);
    EXPECT_EQ(editor_.Lines.Get(0), "\tfirst");
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(editor_.Lines.Get(0), "first");
}

TEST_F(SciKeysTest, KeypadKeysZoom) {
    Press(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(editor_.Send(B::SCI_GETZOOM), 1);
    Press(Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    Press(Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(editor_.Send(B::SCI_GETZOOM), -1);
    Press(Qt::Key_Slash, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(editor_.Send(B::SCI_GETZOOM), 0);
    Press(Qt::Key_Plus, Qt::KeypadModifier);  // no binding: types "+"
    EXPECT_TRUE(editor_.GetText().contains('+'));
}

TEST_F(SciKeysTest, KeysOutsideTheTableDoNothing) {
    editor_.KeyCommands.Clear();
    editor_.GotoPos(0);
    Press(Qt::Key_End);
    EXPECT_EQ(editor_.GetCurrentPos(), 0);
    editor_.KeyCommands.ResetToDefaults();
    Press(Qt::Key_End);
    EXPECT_EQ(editor_.GetCurrentPos(), 5);
}
