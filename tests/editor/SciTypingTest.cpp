// Typing into the main window's editor with completion attached, as a student does:
// the colouring after Enter and the line ends Enter inserts.
#include "EditorTestSupport.h"

#include "SciAsmLanguage.h"
#include "SciAutoComplete.h"
#include "SciMainWindowEditor.h"

#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using B = QsciScintillaBase;

namespace {

constexpr int kCommentStyle = 1;

class TypingTest : public MainWindowEditorTest {
protected:
    void SetUp() override {
        MainWindowEditorTest::SetUp();
        editor.resize(600, 400);
        editor.show();
    }
    // The style of every character as the control draws it: painting styles lazily.
    std::vector<int> DrawnStyles() {
        editor.viewport()->grab();
        return StylesNow();
    }
    // The style of every character after the whole text is coloured afresh.
    std::vector<int> FreshStyles() {
        editor.Send(B::SCI_CLEARDOCUMENTSTYLE);
        editor.Send(B::SCI_COLOURISE, 0, -1);
        return StylesNow();
    }
    std::vector<int> StylesNow() const {
        std::vector<int> styles;
        for (int at = 0; at < editor.GetTextLength(); ++at) styles.push_back(int(editor.Send(B::SCI_GETSTYLEAT, at)));
        return styles;
    }
    void Type(const QString& keys) { QTest::keyClicks(&editor, keys); }
    void Enter() { QTest::keyClick(&editor, Qt::Key_Return); }
};

}  // namespace

// Enter at the end of a line whose last word is a register, a number, a string, a
// directive or an instruction leaves every later line coloured as it would be coloured
// afresh: the comment stays a comment, the instructions stay instructions.
TEST_F(TypingTest, EnterAtALineEndKeepsTheColouringOfEveryLaterLine) {
    const char* lastLines[] = {"\tmov ecx, edx", "\tmov eax, 10", "msg\tdb 'hi'", ".data",
                               "\tcall crlf",    "\tfld st0",     "start:"};
    for (const char* eol : {"\r\n", "\n"}) {
        for (const char* last : lastLines) {
            SCOPED_TRACE((QByteArray(last) + (eol[0] == '\r' ? " CRLF" : " LF")).toStdString());
            const QByteArray text = QByteArray(last) + eol + "\t; next line" + eol + "\tadd eax, ebx" + eol;
            editor.SetText(text);
            editor.viewport()->grab();
            editor.GotoPos(int(qstrlen(last)));
            Enter();
            Type(QStringLiteral("inc ecx"));
            Enter();
            const std::vector<int> drawn = DrawnStyles();
            const int comment = int(editor.GetText().indexOf("; next"));
            EXPECT_EQ(drawn[size_t(comment)], kCommentStyle);
            EXPECT_EQ(drawn, FreshStyles());
        }
    }
}

TEST(SciLineEndsTest, TheLineEndMostLinesUseWins) {
    const struct {
        const char* text;
        int mode;
    } cases[] = {
        {"", sciEolCRLF},          {"mov eax, 1", sciEolCRLF},  {"a\nb\n", sciEolLF}, {"a\r\nb\r\n", sciEolCRLF},
        {"a\rb\r", sciEolCR},      {"a\r\nb\n", sciEolCRLF},                         // a tie keeps CR LF
        {"a\nb\nc\r\n", sciEolLF}, {"a\r\n\r\n\n", sciEolCRLF}, {"\n\r", sciEolLF},  // one LF, one CR, no pair: LF
                                                                                     // before CR
        {"a\r\rb\n", sciEolCR},
    };
    for (const auto& c : cases) EXPECT_EQ(SciDominantEolMode(c.text, qsizetype(qstrlen(c.text))), c.mode) << c.text;
}

// Enter inserts the line end of the file it is typed in: the one most of its lines
// use when it was loaded or shown, CR LF in a new file.
TEST_F(TypingTest, EnterInsertsTheFilesOwnLineEnd) {
    QTemporaryDir folder;
    editor.SetStreamClass(&TTestStream::StreamClass);
    const struct {
        const char* file;
        const char* lineEnd;
    } cases[] = {
        {"\tmov eax, 1\n\tmov ebx, 2\n", "\n"},
        {"\tmov eax, 1\r\n\tmov ebx, 2\r\n", "\r\n"},
        {"\tmov eax, 1\r\n\tmov ebx, 2\n\tmov ecx, 3\n", "\n"},
        {"\tmov eax, 1\r\tmov ebx, 2\r", "\r"},
    };
    for (const auto& c : cases) {
        const QString path = folder.filePath(QStringLiteral("lab.asm"));
        WriteFile(path, c.file);
        editor.LoadFromFile(path);
        const int afterTwo = int(QByteArray(c.file).indexOf('2') + 1);
        editor.GotoPos(afterTwo);
        Enter();
        EXPECT_EQ(editor.GetText(), QByteArray(c.file).insert(afterTwo, c.lineEnd));
        EXPECT_EQ(SciDominantEolMode(editor.GetText().constData(), editor.GetTextLength()),
                  SciDominantEolMode(c.file, qsizetype(qstrlen(c.file))));
    }

    // An LF file shown again after a new document keeps LF; the new one has CR LF.
    void* lfDocument = editor.GetDocPointer();
    editor.AddRefDocument(lfDocument);
    WriteFile(folder.filePath(QStringLiteral("lf.asm")), "a\nb\n");
    editor.LoadFromFile(folder.filePath(QStringLiteral("lf.asm")));
    void* newDocument = editor.CreateDocument();
    editor.SetDocPointer(newDocument);
    editor.ClearDocument();
    Type(QStringLiteral("x"));
    Enter();
    EXPECT_EQ(editor.GetText(), "x\r\n");
    editor.SetDocPointer(lfDocument);
    editor.ReleaseDocument(lfDocument);
    editor.ReleaseDocument(newDocument);
    editor.GotoPos(1);
    Enter();
    EXPECT_EQ(editor.GetText(), "a\n\nb\n");
}

// The line-number margin keeps its 32 pixels while the numbers fit and widens when
// they do not, whether lines are typed, set, loaded or zoomed; it shrinks back after.
TEST_F(TypingTest, TheLineNumberMarginWidensForNumbersThatDoNotFit) {
    auto numberWidth = [this](const char* digits) {
        return int(editor.Send(B::SCI_TEXTWIDTH, B::STYLE_LINENUMBER, reinterpret_cast<long>(digits)));
    };
    auto marginWidth = [this] { return editor.Gutter0.Width(); };
    ASSERT_EQ(marginWidth(), 32);

    editor.SetText(QByteArray(265492, '\n'));  // 265493 lines
    EXPECT_GT(marginWidth(), numberWidth("265493"));
    editor.SetText("mov eax, 1\r\n");
    EXPECT_EQ(marginWidth(), 32);

    QTemporaryDir folder;
    editor.SetStreamClass(&TTestStream::StreamClass);
    const QString path = folder.filePath(QStringLiteral("long.asm"));
    WriteFile(path, QByteArray(100000, '\n'));
    editor.LoadFromFile(path);
    const int loaded = marginWidth();
    EXPECT_GT(loaded, numberWidth("100001"));
    editor.Send(B::SCI_ZOOMIN);
    editor.Send(B::SCI_ZOOMIN);
    EXPECT_GT(marginWidth(), loaded);
    EXPECT_GT(marginWidth(), numberWidth("100001"));
    editor.Send(B::SCI_SETZOOM, 0);

    // Typing Enter past line 9999 widens the margin by one digit's room.
    editor.SetText(QByteArray(9998, '\n'));
    const int fourDigits = marginWidth();
    editor.GotoPos(editor.GetTextLength());
    Enter();
    EXPECT_GE(marginWidth(), fourDigits);
    EXPECT_GT(marginWidth(), numberWidth("10000"));

    // Only a line-number margin fits its numbers; a hidden one stays hidden.
    editor.Gutter0.SetWidth(0);
    EXPECT_EQ(marginWidth(), 0);
    EXPECT_EQ(editor.Gutter2.Width(), 14);
}
