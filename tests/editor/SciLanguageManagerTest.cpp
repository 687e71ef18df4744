// The language manager: applying a language in its order, find-or-create with the
// "null" rule, the main window's languages and the colouring they give.
#include "EditorTestSupport.h"

#include "SciAsmLanguage.h"

#include <gtest/gtest.h>

using B = QsciScintillaBase;

class SciLanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillMainWindowLanguages(languages_);
        editor_.SetLanguageManager(&languages_);
    }
    int StyleOf(const QByteArray& word) const {
        const int at = int(editor_.GetText().indexOf(word));
        EXPECT_GE(at, 0) << word.constData();
        return int(editor_.Send(B::SCI_GETSTYLEAT, at));
    }

    TSciLanguageManager languages_;
    TScintilla editor_;
};

TEST_F(SciLanguageTest, ApplyingAsmSendsLexerStylesKeywordsAndColourises) {
    editor_.StartRecording();
    editor_.SetSelectedLanguage("ASM");
    const auto& m = editor_.RecordedMessages();
    ASSERT_GE(m.size(), 6u);
    EXPECT_EQ(m[0].Msg, unsigned(B::SCI_SETLEXERLANGUAGE));
    EXPECT_EQ(m[0].Text, "asm");
    EXPECT_EQ(Codes(std::vector<TSciMessage>(m.begin() + 1, m.begin() + 4)),
              (std::vector<unsigned>{B::SCI_CLEARDOCUMENTSTYLE, B::SCI_SETSTYLEBITS, B::SCI_STYLECLEARALL}));
    EXPECT_EQ(m[2].WParam, 5u);
    EXPECT_EQ(m.back().Msg, unsigned(B::SCI_COLOURISE));
    EXPECT_EQ(m.back().WParam, 0u);
    EXPECT_EQ(m.back().LParam, -1);

    // Style 1, the comment, with every message of a style in its order.
    std::vector<TSciMessage> comment;
    for (const TSciMessage& msg : m)
        if (msg.Msg >= B::SCI_STYLESETFORE && msg.Msg != B::SCI_SETKEYWORDS && msg.WParam == 1 &&
            msg.Msg != B::SCI_COLOURISE)
            comment.push_back(msg);
    EXPECT_EQ(Codes(comment),
              (std::vector<unsigned>{B::SCI_STYLESETCHARACTERSET, B::SCI_STYLESETFONT, B::SCI_STYLESETSIZE,
                                     B::SCI_STYLESETFORE, B::SCI_STYLESETBOLD, B::SCI_STYLESETITALIC,
                                     B::SCI_STYLESETUNDERLINE, B::SCI_STYLESETCASE, B::SCI_STYLESETVISIBLE,
                                     B::SCI_STYLESETCHANGEABLE, B::SCI_STYLESETHOTSPOT, B::SCI_STYLESETEOLFILLED}));
    EXPECT_EQ(comment[1].Text, "Comic Sans MS");
    EXPECT_EQ(comment[2].LParam, 11);
    EXPECT_EQ(comment[3].LParam, 0x008000);
    EXPECT_EQ(comment.back().LParam, 1);

    // The styles go out in list order 0 to 14, each starting with its first message.
    const auto eolFilled = Only(m, {B::SCI_STYLESETEOLFILLED});
    ASSERT_EQ(eolFilled.size(), 15u);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(int(eolFilled[i].WParam), i);
}

TEST_F(SciLanguageTest, KeywordListsAreSentWordForWordWithSingleBlanks) {
    editor_.StartRecording();
    editor_.SetSelectedLanguage("ASM");
    const auto lists = Only(editor_.RecordedMessages(), {B::SCI_SETKEYWORDS});
    ASSERT_EQ(lists.size(), 7u);
    const int words[] = {304, 108, 70, 283, 124, 247, 88};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(int(lists[i].WParam), i);
        EXPECT_FALSE(lists[i].Text.contains("  "));
        EXPECT_FALSE(lists[i].Text.startsWith(' ') || lists[i].Text.endsWith(' '));
        EXPECT_EQ(lists[i].Text.split(' ').size(), words[i]) << "list " << i;
    }
    EXPECT_TRUE(lists[0].Text.startsWith("aaa aad aam"));
    EXPECT_TRUE(lists[0].Text.endsWith("xbts wrmsr wrshr"));
    EXPECT_EQ(lists[5].Text.count(" pf2iw "), 2);
    EXPECT_TRUE(lists[3].Text.contains(" .data? "));
    EXPECT_TRUE(lists[4].Text.startsWith("$ ? @b @f"));
    EXPECT_TRUE(lists[6].Text.startsWith(QString::fromUtf8("啊 阿 埃").toUtf8()));
    EXPECT_TRUE(lists[6].Text.endsWith(QString::fromUtf8("镑 傍").toUtf8()));
}

TEST_F(SciLanguageTest, AsmColoursEachLexicalClass) {
    editor_.SetSelectedLanguage("ASM");
    editor_.SetText("aaa wrshr MOV movsd pf2iw fld eax .data dword 123 \"str\" ; note\n");
    editor_.Send(B::SCI_COLOURISE, 0, -1);
    EXPECT_EQ(StyleOf("aaa"), 6);
    EXPECT_EQ(StyleOf("wrshr"), 6);
    EXPECT_EQ(StyleOf("MOV"), 6);
    EXPECT_EQ(StyleOf("movsd"), 6);  // in lists 0 and 5: the lower list wins
    EXPECT_EQ(StyleOf("pf2iw"), 14);
    EXPECT_EQ(StyleOf("fld"), 7);
    EXPECT_EQ(StyleOf("eax"), 8);
    EXPECT_EQ(StyleOf(".data"), 9);
    EXPECT_EQ(StyleOf("dword"), 10);
    EXPECT_EQ(StyleOf("123"), 2);
    EXPECT_EQ(StyleOf("str"), 3);
    EXPECT_EQ(StyleOf("note"), 1);

    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 6), 0xFF8000);  // #0080FF
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 7), 0x0000FF);
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 8), 0x0080FF);  // #FF8000
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 9), 0x800000);  // navy
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 2), 0xB700B7);
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETSIZE, 6), 9);
}

TEST_F(SciLanguageTest, FontChangeDropsTheStylesUntilTheLanguageIsApplied) {
    editor_.SetSelectedLanguage("ASM");
    TSciFont font;
    font.Color = HexRGB(0x000000);
    editor_.SetFont(font);
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 6), 0);
    EXPECT_EQ(languages_.UpdateCount(), 0);
    editor_.SetSelectedLanguage("ASM");
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 6), 0xFF8000);
}

TEST_F(SciLanguageTest, ContainerSwitchesTheLexerOffWhateverTheCase) {
    editor_.SetSelectedLanguage("ASM");
    for (const char* name : {"container", "CONTAINER"}) {
        SCOPED_TRACE(name);
        editor_.StartRecording();
        editor_.SetSelectedLanguage(name);
        EXPECT_EQ(Codes(editor_.RecordedMessages()), (std::vector<unsigned>{B::SCI_SETLEXER, B::SCI_STYLECLEARALL}));
        EXPECT_EQ(editor_.Send(B::SCI_GETLEXER), B::SCLEX_CONTAINER);
        EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 6), editor_.Send(B::SCI_STYLEGETFORE, 32));
    }
}

TEST_F(SciLanguageTest, EmptyNameSelectsNull) {
    editor_.SetSelectedLanguage("");
    EXPECT_EQ(editor_.SelectedLanguage(), "null");
    EXPECT_EQ(editor_.Send(B::SCI_GETLEXER), 34);
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 34), 0x00FFFF);  // yellow "Ok Braces"
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 35), 0x0000FF);
    EXPECT_EQ(editor_.Send(B::SCI_STYLEGETFORE, 6), editor_.Send(B::SCI_STYLEGETFORE, 32));
}

TEST_F(SciLanguageTest, AnUnknownNameIsAddedWithTheNullStyles) {
    const int before = languages_.LanguageList.Count();
    editor_.SetSelectedLanguage("nosuchlexer");
    ASSERT_EQ(languages_.LanguageList.Count(), before + 1);
    const TSciLangItem* added = languages_.LanguageList.Find("nosuchlexer");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Lexer, "nosuchlexer");
    ASSERT_EQ(added->Styles.size(), 6u);
    EXPECT_EQ(added->Styles[1].Name, "Ok Braces");
    EXPECT_EQ(editor_.Send(B::SCI_GETLEXER), B::SCLEX_NULL);
    editor_.SetText("mov eax, 1");
    editor_.Send(B::SCI_COLOURISE, 0, -1);
    EXPECT_EQ(editor_.Send(B::SCI_GETSTYLEAT, 0), 0);
}

TEST_F(SciLanguageTest, WithoutAManagerOnlyTheNameIsStored) {
    TScintilla alone;
    alone.StartRecording();
    alone.SetSelectedLanguage("ASM");
    EXPECT_TRUE(alone.RecordedMessages().empty());
    alone.SetLanguageManager(&languages_);
    EXPECT_EQ(First(alone.RecordedMessages(), B::SCI_SETLEXERLANGUAGE).Text, "asm");
}

TEST_F(SciLanguageTest, TheEditorForgetsAManagerThatIsFreed) {
    auto* manager = new TSciLanguageManager;
    editor_.SetLanguageManager(manager);
    delete manager;
    EXPECT_EQ(editor_.LanguageManager(), nullptr);
    EXPECT_NO_THROW(editor_.SetSelectedLanguage("ASM"));
}

TEST(SciLanguageListTest, FindOrCreateMakesNullFirst) {
    TSciLangList list;
    TSciLangItem& pascal = list.FindOrCreate("Pascal");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0).Name, "null");
    EXPECT_EQ(list.Item(0).Lexer, "null");
    EXPECT_EQ(&list.Item(1), &pascal);
    EXPECT_EQ(pascal.Lexer, "Pascal");

    list.FindOrCreate("Pascal", "pascal");
    EXPECT_EQ(pascal.Lexer, "pascal");
    EXPECT_EQ(list.FindOrCreate("null").Name, "null");
    EXPECT_EQ(list.Count(), 2);

    TSciLangItem& bare = list.FindOrCreate("Bare", "cpp", true);
    EXPECT_TRUE(bare.Styles.empty());
    EXPECT_EQ(list.Add().Name, "Language[3]");
}

TEST(SciLanguageListTest, LexerLookupSortAndTheKnownLexers) {
    TSciLanguageManager manager;
    FillMainWindowLanguages(manager);
    EXPECT_EQ(manager.LexerOf("ASM"), "asm");
    EXPECT_EQ(manager.LexerOf("asm"), "asm");  // not found: the name itself
    EXPECT_EQ(manager.LexerOf("container"), "container");

    manager.Sort();
    EXPECT_EQ(manager.LanguageList.Item(0).Name, "ASM");
    EXPECT_EQ(manager.LanguageList.Item(1).Name, "container");
    const auto& nullStyles = manager.LanguageList.Item(2).Styles;
    EXPECT_EQ(nullStyles.front().StyleNumber, 5);
    EXPECT_EQ(nullStyles.back().StyleNumber, 37);

    ASSERT_EQ(manager.LexerNames().size(), 88);
    EXPECT_EQ(manager.LexerNames().front(), "abaqus");
    EXPECT_EQ(manager.LexerNames().back(), "yaml");
    EXPECT_TRUE(manager.LexerNames().contains("PL/M"));

    manager.Reset();
    ASSERT_EQ(manager.LanguageList.Count(), 1);
    EXPECT_EQ(manager.LanguageList.Item(0).Lexer, "null");
}

TEST(SciLanguageListTest, NewStylesAndKeywordListsAreNamedByIndex) {
    TSciLangItem item(0);
    EXPECT_EQ(item.Name, "Language[0]");
    item.AddStyle();
    TSciStyle& second = item.AddStyle();
    EXPECT_EQ(second.Name, "Style[1]");
    EXPECT_EQ(second.StyleNumber, 1);
    EXPECT_EQ(second.CharSet, -1);
    EXPECT_EQ(second.ForeColor, clDefault);
    EXPECT_EQ(item.AddKeywords().Name, "Keywords[0]");
}
