// The document commands against a real editor, document tabs and the scripted
// dialogs: New and its template, the caption states, Open with its two questions,
// Save, Save as, Delete, and writes that fail.
#include "DocumentCommands.h"
#include "EditorTestSupport.h"
#include "MyEditFileClasses.h"
#include "SciDocTabCtrl.h"
#include "SciScintillaMemo.h"

#include "platform/Errors.h"
#include "platform/doubles/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <functional>
#include <QLineEdit>
#include <QTabBar>

#include <memory>

#include <sys/stat.h>

namespace {

using platform::IdCancel;
using platform::IdNo;
using platform::IdYes;
using platform::ScriptedDialogs;

const QString kUntitled = QStringLiteral("未命名.asm");

class DocumentCommandsTest : public DocumentTabsTest {
protected:
    void SetUp() override {
        DocumentTabsTest::SetUp();
        editor->SetCodePage(0);
        editor->SetEOLStyle(sciEolCRLF);
        tabs->SetDefaultExt(QStringLiteral(".asm"));
        tabs->SetEditor(editor);
        directoryBox = new QLineEdit(window.get());
        commands = std::make_unique<TDocumentCommands>(
            TDocumentContext{window.get(), *editor, *tabs, *directoryBox, dialogs, document,
                             [this](const QString& source) { records.append(source); }});
        commands->E1Click();
    }

    std::string Text() const { return editor->GetText().toStdString(); }
    QString TabText() const { return tabs->TabBar()->tabText(0); }
    // A key press that inserts `text` at the start of the document.
    void Type(const char* text) {
        commands->Edit3KeyDown();
        editor->SetSel(0, 0);
        editor->ReplaceSel(QByteArray(text));
    }
    // Opens `path` through the dialog, answering the questions with `answers`.
    void OpenThroughDialog(const QString& path, std::initializer_list<int> answers = {}) {
        for (int answer : answers) dialogs.answers.enqueue(answer);
        dialogs.fileResults.enqueue(ScriptedDialogs::chosen(path));
        commands->FileOpenBClick();
    }
    QStringList ShownTexts() const {
        QStringList texts;
        for (const platform::ShownMessage& message : dialogs.shown) texts.append(message.text);
        return texts;
    }

    TestFolder folder;
    ScriptedDialogs dialogs;
    QLineEdit* directoryBox = nullptr;
    TDocumentState document;
    QStringList records;
    std::unique_ptr<TDocumentCommands> commands;
};

// ---- New and its template --------------------------------------------------------------------

TEST_F(DocumentCommandsTest, NewGivesTheTemplateLinesEndedByLfThenAnEmptyLineEndedByCrLf) {
    const std::string text = Text();
    ASSERT_EQ(text.size(), 591u + 2u);
    ASSERT_EQ(text.substr(589), "e\n\r\n");
    const std::string body = text.substr(0, 591);
    EXPECT_EQ(std::count(body.begin(), body.end(), '\n'), 28);
    EXPECT_EQ(body.find('\r'), std::string::npos);
    EXPECT_EQ(body.find('\t'), std::string::npos);

    std::vector<std::string> lines;
    for (size_t start = 0; start < body.size();) {
        const size_t end = body.find('\n', start);
        lines.push_back(body.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines[0], ";Program: ");
    EXPECT_EQ(lines[1], ";Author: ");
    EXPECT_EQ(lines[2], ";Date: ");
    EXPECT_EQ(lines[7], "ExitProcess PROTO NEAR32 stdcall, dwExitCode:DWORD");
    EXPECT_EQ(lines[20], "_start:");
    // Comments start in column 25 (lines 10, 12, 13, 15, 17) or 33 (20, 25, 26, 28).
    for (int line : {10, 12, 13, 15, 17}) EXPECT_EQ(lines[line - 1].find(';'), 24u) << line;
    for (int line : {20, 25, 26, 28}) EXPECT_EQ(lines[line - 1].find(';'), 32u) << line;
    EXPECT_EQ(lines[11], "cr      EQU     0dh     ; carriage return character");
    EXPECT_EQ(lines[24], "        INVOKE  ExitProcess, 0  ; exit with return code 0");
    EXPECT_EQ(lines[27], "END                             ; end of source code");
    for (int empty : {4, 7, 9, 11, 14, 16, 18, 19, 22, 23, 24, 27}) EXPECT_EQ(lines[empty - 1], "") << empty;

    EXPECT_EQ(TabText(), "&1 " + kUntitled);
    EXPECT_TRUE(document.Path().isEmpty());
    EXPECT_FALSE(document.Modified());
}

TEST_F(DocumentCommandsTest, NewOnAChangedDocumentAsksWithThePathAndSavesOnYes) {
    const QString path = folder.Write("a.asm", "old\r\n");
    commands->OpenDocument(path);
    Type("new");
    dialogs.answers.enqueue(IdYes);
    commands->E1Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "当前文件" + path + "已被更改，请问是否保存？");
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("系统提示"));
    EXPECT_EQ(dialogs.shown[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(ReadBytes(path), "newold\r\n");
    EXPECT_EQ(Text().size(), 593u);
    EXPECT_TRUE(document.Path().isEmpty());

    Type("x");
    commands->E1Click();  // answered No: nothing written, the template replaces the text
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("当前文件已被更改，请问是否保存？"));
    EXPECT_EQ(ReadBytes(path), "newold\r\n");
    EXPECT_EQ(Text().size(), 593u);
}

// ---- the caption states ----------------------------------------------------------------------

TEST_F(DocumentCommandsTest, AnyKeyMarksTheDocumentChangedOnceAndSaveClearsTheMark) {
    commands->Edit3KeyDown();  // an arrow key changes no text but marks the document
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(TabText(), "&1 " + kUntitled + " *");
    commands->Edit3KeyDown();
    EXPECT_EQ(TabText(), "&1 " + kUntitled + " *");

    const QString path = folder.Write("b.asm", "mov ax, bx\r\n");
    commands->OpenDocument(path);
    EXPECT_EQ(TabText(), "&1 " + path);
    EXPECT_FALSE(document.Modified());
    commands->Edit3KeyDown();
    EXPECT_EQ(TabText(), "&1 " + path + " *");
    commands->SaveBClick();
    EXPECT_EQ(TabText(), "&1 " + path);
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(document.Path(), path);
}

TEST_F(DocumentCommandsTest, ACaptionThatAlreadyEndsWithAnAsteriskGetsNoSecondMark) {
    const QString path = folder.Write("star*", "x");
    commands->OpenDocument(path);
    commands->Edit3KeyDown();
    EXPECT_EQ(commands->Caption(), path);
    EXPECT_TRUE(document.Modified());
}

// ---- Save ----------------------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, SaveOnAnUnchangedDocumentWritesNothing) {
    const QString path = folder.Write("c.asm", "mov ax, bx   \r\n");
    commands->OpenDocument(path);
    folder.Write("c.asm", "changed elsewhere");
    commands->SaveBClick();
    EXPECT_EQ(ReadBytes(path), "changed elsewhere");
    EXPECT_TRUE(dialogs.saveRequests.isEmpty());
}

TEST_F(DocumentCommandsTest, SaveStripsTrailingBlanksAndWritesAUtf8FileInTheAnsiCodePage) {
    // "中文" in UTF-8 with BOM, a line with three trailing blanks and one with a tab.
    const QString path = folder.Write("d.asm", "\xEF\xBB\xBF; \xE4\xB8\xAD\xE6\x96\x87\r\nmov ax, bx   \r\nret\t\r\n");
    commands->OpenDocument(path);
    Type("");
    commands->SaveBClick();
    EXPECT_EQ(ReadBytes(path), "; \xD6\xD0\xCE\xC4\r\nmov ax, bx\r\nret\r\n");
    EXPECT_FALSE(document.Modified());
}

TEST_F(DocumentCommandsTest, SaveWritesAnsiUnlessThatWouldLoseACharacterOfAUtf8FileWithoutBom) {
    const struct {
        const char* name;
        std::string file;
        std::string saved;
    } cases[] = {
        {"UTF-8 without BOM, all in code page 936", "; \xE4\xB8\xAD\xE6\x96\x87\r\n", "; \xD6\xD0\xCE\xC4\r\n"},
        {"UTF-8 without BOM, Thai letter", "; \xE4\xB8\xAD\xE0\xB8\x81\r\n", "; \xE4\xB8\xAD\xE0\xB8\x81\r\n"},
        {"UTF-8 without BOM, emoji", "; \xF0\x9F\x98\x80\r\n", "; \xF0\x9F\x98\x80\r\n"},
        {"coding cookie, Thai letter", "; coding: utf-8 \xE0\xB8\x81\r\n", "; coding: utf-8 \xE0\xB8\x81\r\n"},
        {"UTF-8 with BOM, Thai letter", "\xEF\xBB\xBF; \xE4\xB8\xAD\xE0\xB8\x81\r\n", "; \xD6\xD0?\r\n"},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        const QString path = folder.Write("s.asm", item.file);
        commands->OpenDocument(path);
        Type("");
        commands->SaveBClick();
        EXPECT_EQ(ReadBytes(path), item.saved);
        EXPECT_FALSE(document.Modified());
    }
}

TEST_F(DocumentCommandsTest, AFileThatCannotBeOpenedIsExplainedInChinese) {
    try {
        commands->OpenDocument(folder.Path("vanished.asm"));
        ADD_FAILURE() << "no error raised";
    } catch (const ESciException& error) {
        EXPECT_TRUE(error.Message().startsWith(QStringLiteral("无法打开文件"))) << error.Message().toStdString();
        EXPECT_TRUE(error.Message().endsWith(QStringLiteral("文件或文件夹不存在"))) << error.Message().toStdString();
    }
}

TEST_F(DocumentCommandsTest, SavingAnUntitledDocumentAsksForANameTitledSave) {
    Type("; hello   ");
    commands->SaveDialog1.fileName = QStringLiteral("kept");
    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path("first")));
    commands->SaveBClick();
    ASSERT_EQ(dialogs.saveRequests.size(), 1);
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("保存"));
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("kept"));
    EXPECT_EQ(document.Path(), folder.Path("first.asm"));
    EXPECT_EQ(TabText(), "&1 " + folder.Path("first.asm"));
    EXPECT_FALSE(document.Modified());
    // The lines as they are, each with CR LF, the final empty line left out.
    const std::string saved = ReadBytes(folder.Path("first.asm"));
    EXPECT_EQ(saved.substr(0, 20), "; hello   ;Program: ");
    EXPECT_EQ(saved.size(), 591u + 28u + 10u + 2u);  // each LF becomes CR LF; then the empty line
    EXPECT_EQ(saved.substr(saved.size() - 8), "code\r\n\r\n");
}

TEST_F(DocumentCommandsTest, AFailedSaveKeepsTheDocumentChangedAndTheTarget) {
    // A target that is a folder cannot be replaced: nothing is written over it.
    const QString path = folder.Path("sub.asm");
    ASSERT_TRUE(QDir().mkpath(path));
    document.SetPath(path);
    commands->SetCaption(path);
    Type("x");
    EXPECT_ANY_THROW(commands->SaveBClick());
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(TabText(), "&1 " + path + " *");
    EXPECT_TRUE(QFileInfo(path).isDir());

    // A file whose folder has gone.
    document.SetPath(folder.Path("gone/e.asm"));
    EXPECT_ANY_THROW(commands->SaveBClick());
    EXPECT_TRUE(document.Modified());
    EXPECT_FALSE(QFile::exists(folder.Path("gone")));
    // No temporary file is left behind.
    EXPECT_TRUE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// ---- Save as -------------------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, SaveAsAddsTheFilterExtensionOnlyWhenTheNameLacksIt) {
    struct Case {
        const char* entered;
        int filter;
        const char* written;
    } const cases[] = {
        {"prog", 1, "prog.asm"},   {"prog.asm", 1, "prog.asm"},       {"PROG2.ASM", 1, "PROG2.ASM"},
        {"notes", 2, "notes.txt"}, {"prog3.asm", 2, "prog3.asm.txt"},
    };
    for (const Case& c : cases) {
        dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path(c.entered), c.filter));
        commands->A2Click();
        EXPECT_EQ(document.Path(), folder.Path(c.written)) << c.entered;
        EXPECT_TRUE(QFile::exists(folder.Path(c.written))) << c.entered;
    }
    EXPECT_FALSE(QFile::exists(folder.Path("prog.asm.asm")));
    const platform::FileDialogRequest& request = dialogs.saveRequests.back();
    EXPECT_EQ(request.title, QStringLiteral("另存为"));
    EXPECT_TRUE(request.fileName.isEmpty());
    EXPECT_EQ(request.filter, QStringLiteral("汇编源文件(*.asm)|*.asm|文本文件(*.txt)|*.txt"));
    EXPECT_TRUE(request.overwritePrompt);
}

TEST_F(DocumentCommandsTest, SaveAsLeavesTheOriginalUntouchedAndWritesTheLinesUnchanged) {
    const QString path = folder.Write("f.asm", "a  \r\nb\r\n");
    commands->OpenDocument(path);
    Type("; ");
    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path("g"), 1));
    commands->A2Click();
    EXPECT_EQ(ReadBytes(path), "a  \r\nb\r\n");  // the original keeps its text, blanks and all
    EXPECT_EQ(ReadBytes(folder.Path("g.asm")), "; a  \r\nb\r\n");
    EXPECT_EQ(document.Path(), folder.Path("g.asm"));
    EXPECT_EQ(TabText(), "&1 " + folder.Path("g.asm"));
    EXPECT_FALSE(document.Modified());
    // Only the one dialog is shown, titled Save as.
    ASSERT_EQ(dialogs.saveRequests.size(), 1);
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("另存为"));

    editor->SetText("x  \ny");
    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path("h"), 2));
    commands->A2Click();  // unchanged: no Save first; blanks kept, LF becomes CR LF
    EXPECT_EQ(ReadBytes(folder.Path("h.txt")), "x  \r\ny\r\n");

    editor->SetText("");
    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path("empty"), 1));
    commands->A2Click();
    EXPECT_EQ(ReadBytes(folder.Path("empty.asm")), "");

    // Writing over an existing file keeps its permissions.
    const auto privateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(folder.Path("h.txt"), privateFile));
    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path("h.txt"), 2));
    commands->A2Click();
    EXPECT_EQ(ReadBytes(folder.Path("h.txt")), "");
    const auto others = QFileDevice::ReadGroup | QFileDevice::ReadOther;
    EXPECT_EQ(QFile::permissions(folder.Path("h.txt")) & (privateFile | others), privateFile);
}

TEST_F(DocumentCommandsTest, TheDirectoryBoxFollowsSaveAsToANewFolder) {
    const QString opened = folder.Write("a.asm", "; a\r\n");
    OpenThroughDialog(opened);
    ASSERT_EQ(directoryBox->text(), QFileInfo(opened).path());
    const QString newFolder = folder.Path("新 文件夹");
    ASSERT_TRUE(QDir().mkpath(newFolder));

    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(newFolder + "/b", 1));
    commands->A2Click();
    EXPECT_EQ(directoryBox->text(), newFolder);
    commands->FileOpenBClick();  // cancelled
    EXPECT_EQ(dialogs.openRequests.back().initialFolder, newFolder) << "Open starts in the folder saved to";

    // A Save As that fails leaves the box where it was.
    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path("missing/c"), 1));
    EXPECT_ANY_THROW(commands->A2Click());
    EXPECT_EQ(directoryBox->text(), newFolder);
}

TEST_F(DocumentCommandsTest, SaveAsWritesTheBytesOfTheEditorsCodePage) {
    // ANSI text stays in code page 936.
    const QString ansi = folder.Write("ansi.asm", "; \xD6\xD0\r\n");
    commands->OpenDocument(ansi);
    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path("ansi2"), 1));
    commands->A2Click();
    EXPECT_EQ(ReadBytes(folder.Path("ansi2.asm")), "; \xD6\xD0\r\n");

    // After a UTF-8 file the editor works in UTF-8: written as UTF-8 without BOM.
    const QString utf8 = folder.Write("u.asm", "\xEF\xBB\xBF; \xE4\xB8\xAD\r\n");
    commands->OpenDocument(utf8);
    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path("u2"), 1));
    commands->A2Click();
    EXPECT_EQ(ReadBytes(folder.Path("u2.asm")), "; \xE4\xB8\xAD\r\n");
}

TEST_F(DocumentCommandsTest, AFailedSaveAsKeepsCaptionMarkPathAndTheOriginal) {
    const QString path = folder.Write("keep.asm", "keep\r\n");
    ASSERT_TRUE(QDir().mkpath(folder.Path("dir.asm")));
    const struct {
        const char* entered;
        const char* written;  // the path the message names
    } failures[] = {
        {"missing/prog", "missing/prog.asm"},  // a folder that does not exist
        {"dir.asm", "dir.asm"},                // a folder in the file's place
    };
    for (const auto& failure : failures) {
        commands->OpenDocument(path);
        Type("new ");
        dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path(failure.entered), 1));
        try {
            commands->A2Click();
            ADD_FAILURE() << failure.entered << ": the write must fail";
        } catch (const platform::Error& error) {
            EXPECT_TRUE(error.message().contains(folder.Path(failure.written))) << error.message().toStdString();
        }
        EXPECT_EQ(TabText(), "&1 " + path + " *") << failure.entered;
        EXPECT_EQ(document.Path(), path) << failure.entered;
        EXPECT_TRUE(document.Modified()) << failure.entered;
        EXPECT_EQ(ReadBytes(path), "keep\r\n") << failure.entered;
        EXPECT_EQ(Text(), "new keep\r\n") << failure.entered;
    }
    EXPECT_FALSE(QFile::exists(folder.Path("missing")));
    EXPECT_TRUE(QFileInfo(folder.Path("dir.asm")).isDir());
}

TEST_F(DocumentCommandsTest, SaveAsOverAFolderLeavesTheFolderAndTheDocumentAsTheyWere) {
    ASSERT_TRUE(QDir().mkpath(folder.Path("dir.asm")));
    Type("x");
    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(folder.Path("dir.asm"), 1));
    // Save of the untitled document shows the dialog first and fails the same way.
    EXPECT_THROW(commands->SaveBClick(), platform::Error);
    EXPECT_TRUE(QFileInfo(folder.Path("dir.asm")).isDir());
    EXPECT_TRUE(document.Path().isEmpty());
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(TabText(), "&1 " + kUntitled + " *");
}

// ---- Open ------------------------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, OpenShowsTheDialogWithItsFilterAndLoadsTheChosenFile) {
    ASSERT_TRUE(QDir().mkpath(folder.Path("src")));
    const QString path = folder.Write("src/lab.asm", "\xD6\xD0\r\n");
    OpenThroughDialog(path);
    ASSERT_EQ(dialogs.openRequests.size(), 1);
    const platform::FileDialogRequest& request = dialogs.openRequests[0];
    EXPECT_EQ(request.filter,
              QStringLiteral("汇编源文件(*.asm)|*.asm|文本文件(*.txt)|*.txt|所有支持的类型(*.asm;*.txt)|*.asm;*.txt"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("*.asm"));
    EXPECT_TRUE(request.fileName.isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(document.Path(), path);
    EXPECT_EQ(TabText(), "&1 " + path);
    EXPECT_EQ(Text(), "\xE4\xB8\xAD\r\n");
    EXPECT_EQ(directoryBox->text(), folder.Path("src"));
    EXPECT_EQ(records, QStringList{path});

    const QString text = folder.Write("notes.txt", "t");
    OpenThroughDialog(text);
    EXPECT_EQ(dialogs.openRequests[1].initialFolder, folder.Path("src"));
    EXPECT_TRUE(dialogs.openRequests[1].fileName.isEmpty());
    EXPECT_EQ(records.size(), 1);  // a .txt file adds no record
    const QString upper = folder.Write("LAB2.ASM", "u");
    OpenThroughDialog(upper);
    EXPECT_EQ(records.back(), upper);
}

TEST_F(DocumentCommandsTest, CancellingTheOpenDialogChangesNothing) {
    Type("x");
    commands->FileOpenBClick();  // the first question is answered No, the dialog cancelled
    EXPECT_EQ(ShownTexts(), QStringList{QStringLiteral("当前文件已被修改，但尚未保存，请问是否保存？")});
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("系统提示"));
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(Text().substr(0, 11), "x;Program: ");
}

TEST_F(DocumentCommandsTest, OpeningTheFileThatIsAlreadyOpenDoesNothing) {
    const QString path = folder.Write("same.asm", "disk\r\n");
    commands->OpenDocument(path);
    Type("edit ");
    OpenThroughDialog(path, {IdNo});
    EXPECT_EQ(dialogs.shown.size(), 1);  // only the first question
    EXPECT_EQ(Text(), "edit disk\r\n");
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(TabText(), "&1 " + path + " *");
    EXPECT_TRUE(directoryBox->text().isEmpty());
}

TEST_F(DocumentCommandsTest, CancelAtTheSecondQuestionKeepsTheDocumentButShowsTheNewFolder) {
    const QString path = folder.Write("one.asm", "one\r\n");
    ASSERT_TRUE(QDir().mkpath(folder.Path("two")));
    const QString other = folder.Write("two/two.asm", "two\r\n");
    commands->OpenDocument(path);
    Type("changed ");
    OpenThroughDialog(other, {IdNo, IdCancel});
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[1].text, "文件" + path + "已经修改，但尚未保存，请问是否保存？");
    EXPECT_EQ(dialogs.shown[1].caption, QStringLiteral("提示"));
    EXPECT_EQ(dialogs.shown[1].buttons, platform::MessageButtons::YesNoCancel);
    EXPECT_EQ(Text(), "changed one\r\n");
    EXPECT_EQ(document.Path(), path);
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(directoryBox->text(), folder.Path("two"));
    EXPECT_TRUE(records.isEmpty());
    EXPECT_EQ(ReadBytes(path), "one\r\n");
}

TEST_F(DocumentCommandsTest, YesAtTheSecondQuestionWritesTheOldFileAsItStands) {
    // UTF-16 LE with BOM, written back in its own encoding with its blanks.
    const QString path = folder.Write("w.asm", std::string("\xFF\xFE"
                                                           "a\0 \0\r\0\n\0",
                                                           10));
    const QString other = folder.Write("x.asm", "x\r\n");
    commands->OpenDocument(path);
    Type("b");
    OpenThroughDialog(other, {IdNo, IdYes});
    EXPECT_EQ(ReadBytes(path), std::string("\xFF\xFE"
                                           "b\0a\0 \0\r\0\n\0",
                                           12));
    EXPECT_EQ(document.Path(), other);
    EXPECT_FALSE(document.Modified());

    // No at the second question loads without writing; with no path there is no second question.
    Type("y");
    const QString third = folder.Write("y.asm", "y\r\n");
    OpenThroughDialog(third, {IdNo, IdNo});
    EXPECT_EQ(ReadBytes(other), "x\r\n");
    EXPECT_EQ(Text(), "y\r\n");
    commands->E1Click();
    Type("z");
    dialogs.shown.clear();
    OpenThroughDialog(other, {IdNo});
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(Text(), "x\r\n");
}

TEST_F(DocumentCommandsTest, AFileThatCannotBeLoadedLeavesAnEmptyUntitledDocument) {
    const QString missing = folder.Path("vanished.asm");
    dialogs.fileResults.enqueue(ScriptedDialogs::chosen(missing));
    EXPECT_ANY_THROW(commands->FileOpenBClick());
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(document.Path().isEmpty());
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(TabText(), "&1 " + kUntitled);
    EXPECT_EQ(directoryBox->text(), QFileInfo(missing).path());
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(DocumentCommandsTest, SpecialFilesAreRefusedAtOnceInChineseAndNothingIsLoaded) {
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), folder.Path("zero.asm")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.Path("fifo.asm")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(folder.Path("folder.asm")));
    const struct {
        const char* name;
        const char16_t* reason;
    } cases[] = {
        {"zero.asm", u"它不是普通文件，而是设备文件，不能打开。"},
        {"fifo.asm", u"它不是普通文件，而是管道（FIFO），不能打开。"},
        {"folder.asm", u"它不是普通文件，而是文件夹，不能打开。"},
    };
    for (const auto& c : cases) {
        const QString path = folder.Path(c.name);
        try {
            commands->OpenDocument(path);
            ADD_FAILURE() << c.name << " was loaded";
        } catch (const ESciException& error) {
            EXPECT_EQ(error.Message(), QStringLiteral("无法打开文件 %1\n%2").arg(path, QString::fromUtf16(c.reason)));
        }
        EXPECT_EQ(Text(), "") << c.name;
        EXPECT_TRUE(document.Path().isEmpty()) << c.name;
        // A Save afterwards asks for a name instead of writing over the special file.
        Type("x");
        commands->SaveBClick();
        EXPECT_EQ(dialogs.saveRequests.size(), 1) << c.name;
        dialogs.saveRequests.clear();
        commands->E1Click();
    }
}

// ---- Delete -----------------------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, DeleteWithoutASavedFileOrRefusedChangesNothing) {
    Type("x");
    commands->N3Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("删除文件失败，当前文件未存盘！"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("删除提示"));
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Warning);
    EXPECT_TRUE(document.Modified());

    const QString path = folder.Write("del.asm", "d");
    commands->OpenDocument(path);
    commands->N3Click();  // answered No
    EXPECT_EQ(ShownTexts().mid(1),
              (QStringList{QStringLiteral("该删除操作将会直接删除原文件，不可恢复！请问是否删除？"),
                           QStringLiteral("删除文件失败，用户取消删除操作！")}));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(document.Path(), path);
}

TEST_F(DocumentCommandsTest, ConfirmedDeleteRemovesTheFileAndStartsANewDocument) {
    const QString path = folder.Write("del.asm", "d");
    commands->OpenDocument(path);
    Type("x");
    dialogs.answers.enqueue(IdYes);
    commands->N3Click();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(ShownTexts(), (QStringList{QStringLiteral("该删除操作将会直接删除原文件，不可恢复！请问是否删除？"),
                                         QStringLiteral("文件删除成功！")}));
    EXPECT_EQ(dialogs.shown[1].icon, platform::MessageIcon::Information);
    EXPECT_EQ(Text().size(), 593u);
    EXPECT_TRUE(document.Path().isEmpty());
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(TabText(), "&1 " + kUntitled);
}

}  // namespace

// The state tells its readers once for every change of the path or the mark, and
// not for a value set again.
TEST(DocumentState, SignalsEachChangeOnce) {
    TDocumentState state;
    int changes = 0;
    QObject::connect(&state, &TDocumentState::Changed, [&changes] { ++changes; });
    const struct {
        std::function<void()> step;
        int changes;
    } steps[] = {
        {[&] { state.SetPath(QStringLiteral("/a/b.asm")); }, 1},
        {[&] { state.SetPath(QStringLiteral("/a/b.asm")); }, 1},
        {[&] { state.SetModified(true); }, 2},
        {[&] { state.SetModified(true); }, 2},
        {[&] { state.SetModified(false); }, 3},
        {[&] { state.SetPath(QString()); }, 4},
    };
    for (const auto& step : steps) {
        step.step();
        EXPECT_EQ(changes, step.changes);
    }
    EXPECT_TRUE(state.Untitled());
    EXPECT_FALSE(state.Modified());
}
