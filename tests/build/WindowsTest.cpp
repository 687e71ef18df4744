// The listing window with its command, and the console template editor `TForm2`.
#include "BuildFixture.h"

#include "build/ConsoleColumns.h"
#include "build/ConsoleTemplate.h"
#include "build/ListingCommand.h"
#include "build/TextLines.h"
#include "build/Unit2.h"
#include "build/Unit4.h"

#include "platform/Cp936.h"
#include "platform/FileAttributes.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

using namespace asmora::build;

class ListingTest : public BuildFixture {
protected:
    TForm4 window;
    QString listing;
    void SetUp() override {
        listing = openHello(QStringLiteral("my asm")) + ".lst";
        output.addRow(QStringLiteral("kept"));
    }
};

TEST_F(ListingTest, AMissingListingIsReportedAfterTheRowAndThePause) {
    showListing(context(), window);
    EXPECT_EQ(output.rows(), (QStringList{"kept", "\r\n显示List文件内容。"}));
    EXPECT_EQ(pause.pauses, QList<int>{300});
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "lst文件不存在，请重新汇编后再尝试打开。");
    EXPECT_EQ(dialogs.shown[0].caption, "操作中断-2");
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Warning);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ListingTest, TheListingIsShownModallyWithItsPathAsCaption) {
    writeFile(listing, "Microsoft (R) Macro Assembler\r\n 00000000  B8 00000001  mov eax, 1\r\n; 注释\r\n");
    window.Memo1->setPlainText(QStringLiteral("an earlier listing"));
    bool wasModal = false;
    QTimer::singleShot(0, &window, [&] {
        wasModal = window.isVisible() && window.isModal();
        window.close();
    });
    showListing(context(), window);
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(window.windowTitle(), listing);
    EXPECT_EQ(window.Memo1->toPlainText(), "Microsoft (R) Macro Assembler\n 00000000  B8 00000001  mov eax, 1\n; 注释");
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(ListingTest, TheWindowIsATextAreaFillingIt) {
    EXPECT_EQ(window.size(), QSize(696, 480));
    EXPECT_EQ(window.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window.Memo1->font().pixelSize(), 16);
    window.show();
    EXPECT_EQ(window.Memo1->geometry(), window.rect());
    window.hide();
}

class TemplateEditorTest : public BuildFixture {
protected:
    std::unique_ptr<TForm2> editor;
    QString templateFile() const { return program.path() + "/bin/ExecM.dll"; }
    QString batch() const { return program.path() + "/bin/ml.bat"; }
    void SetUp() override { editor = std::make_unique<TForm2>(programFolder(), dialogs, shell, pause); }
    void TearDown() override { editor.reset(); }
    void showEditor() {
        editor->FormCreate();
        editor->show();
    }
};

TEST_F(TemplateEditorTest, TheTextAreaShowsWhiteTextOnDarkBlueNotOnBlack) {
    showEditor();
    editor->Memo1->ensurePolished();
    const QPalette colours = editor->Memo1->palette();
    EXPECT_EQ(colours.color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(colours.color(QPalette::Base), QColor("navy"));
}

TEST_F(TemplateEditorTest, CreationWritesAMissingTemplateAndKeepsAnExistingOne) {
    editor->FormCreate();
    EXPECT_EQ(readFile(templateFile()), encodeTextLines(defaultTemplate()));
    writeFile(templateFile(), "@echo off\r\necho mine\r\npause>NUL\r\n");
    TForm2 second(programFolder(), dialogs, shell, pause);
    second.FormCreate();
    EXPECT_EQ(readFile(templateFile()), "@echo off\r\necho mine\r\npause>NUL\r\n");
}

TEST_F(TemplateEditorTest, ShowingFillsTheTextAreaWithTheEditableForm) {
    showEditor();
    EXPECT_EQ(editor->editableLines(), fileToEditable(defaultTemplate()));
    writeFile(templateFile(),
              platform::cp936::encode(QStringLiteral("@echo off\r\necho 你好\r\nColor 0A\r\npause>NUL\r\n")));
    editor->hide();
    editor->show();
    EXPECT_EQ(editor->Memo1->toPlainText(), "你好\n;;Color 0A");
}

TEST_F(TemplateEditorTest, SavingTheUnchangedDefaultWritesTheDefaultAndDeletesTheBatch) {
    showEditor();
    writeFile(templateFile(), encodeTextLines(defaultTemplate()) + "echo extra\r\n");
    writeFile(batch(), "old");
    editor->Button2Click();
    EXPECT_EQ(readFile(templateFile()), encodeTextLines(defaultTemplate()));
    EXPECT_FALSE(QFile::exists(batch()));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "数据保存成功!");
    EXPECT_EQ(dialogs.shown[0].caption, "提示");
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Information);
}

TEST_F(TemplateEditorTest, AnEmptyTextAreaSavesTwoLinesAndAFinalLineBreakAddsNoLine) {
    showEditor();
    editor->Memo1->clear();
    editor->Button2Click();
    EXPECT_EQ(readFile(templateFile()), "@echo off\r\npause>NUL\r\n");
    editor->Memo1->setPlainText(QStringLiteral("abc;;def\n"));
    editor->Button2Click();
    EXPECT_EQ(readFile(templateFile()), "@echo off\r\nabcdef\r\npause>NUL\r\n");
}

TEST_F(TemplateEditorTest, TheTestBatchShowsTheFrameRunsNoProgramAndDeletesItselfQuoted) {
    showEditor();
    editor->Button1Click();
    QStringList want = defaultTemplate();
    want.append("del /A:H /Q \"" + batch() + "\"");
    EXPECT_EQ(readFile(batch()), encodeTextLines(want));
    EXPECT_TRUE(platform::isMarkedHidden(batch()));
    EXPECT_EQ(pause.pauses, QList<int>{500});
    EXPECT_EQ(shell.openedBatches, QStringList{batch()});
    EXPECT_EQ(readFile(templateFile()), encodeTextLines(defaultTemplate()));
}

TEST_F(TemplateEditorTest, RestoreAsksFirstAndOnYesRewritesTheDefaultAndRefills) {
    showEditor();
    writeFile(templateFile(), "@echo off\r\necho mine\r\npause>NUL\r\n");
    editor->Memo1->setPlainText(QStringLiteral("edited"));
    dialogs.answers.enqueue(platform::IdNo);
    editor->Button3Click();
    EXPECT_EQ(readFile(templateFile()), "@echo off\r\necho mine\r\npause>NUL\r\n");
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "该操作会将现有的数据文件进行覆盖，该操作不可逆，请问是否继续？!");
    EXPECT_EQ(dialogs.shown[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Information);

    dialogs.answers.enqueue(platform::IdYes);
    editor->Button3Click();
    EXPECT_EQ(readFile(templateFile()), encodeTextLines(defaultTemplate()));
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[2].text, "数据恢复，窗口将会关闭几秒钟，请您稍等。");
    EXPECT_EQ(dialogs.shown[2].caption, "系统提示");
    EXPECT_EQ(pause.pauses, QList<int>{3000});
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->editableLines(), fileToEditable(defaultTemplate()));
}

TEST_F(TemplateEditorTest, BackupWritesTheTextAreaUnchanged) {
    showEditor();
    editor->Memo1->setPlainText(QStringLiteral("你好\n\n;;%FILENAME%\nBye"));
    editor->Button4Click();
    EXPECT_EQ(readFile(program.path() + "/Backup.dat"),
              platform::cp936::encode(QStringLiteral("你好\r\n\r\n;;%FILENAME%\r\nBye\r\n")));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "Recovery");
    EXPECT_EQ(dialogs.shown[0].text, "备份成功，已成功备份到文件Backup.dat，与程序放在同目录下即可使用。");
}

TEST_F(TemplateEditorTest, AFailedSaveIsShownAndEndsTheSave) {
    showEditor();
    // A folder where the template should be: the file cannot be written.
    QFile::remove(templateFile());
    writeFile(templateFile() + "/inside", "x");
    editor->Memo1->setPlainText(QStringLiteral("changed"));
    editor->Button4->click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(templateFile()));
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Error);
    EXPECT_TRUE(QFile::exists(templateFile() + "/inside"));
}

TEST_F(TemplateEditorTest, TheWindowCarriesItsTextsAndTheRulerLinesUpWithTheText) {
    showEditor();
    EXPECT_EQ(editor->windowTitle(), "Dos运行界面修改器");
    EXPECT_EQ(editor->size(), QSize(676, 436));
    EXPECT_EQ(editor->minimumSize(), editor->maximumSize());
    EXPECT_EQ(editor->GroupBox1->title(), "符号说明");
    const QString ruler = editor->Label8->text();
    EXPECT_EQ(ruler.size(), 83);
    EXPECT_EQ(ruler.indexOf("80"), 78);
    EXPECT_EQ(ruler.indexOf(u'7'), 70);
    const struct {
        QPushButton* button;
        const char* caption;
    } buttons[] = {
        {editor->Button2, "恢复预留界面"},
        {editor->Button5, "备份当前DOS界面"},
        {editor->Button3, "DOS测试"},
        {editor->Button4, "保  存"},
    };
    for (const auto& row : buttons) EXPECT_EQ(row.button->text(), QString::fromUtf8(row.caption));
    // Column 0 of the ruler stands over column 0 of the text, and the two share a font.
    const QPoint textOrigin = editor->Memo1->viewport()->mapTo(editor.get(), QPoint(0, 0)) +
                              QPoint(static_cast<int>(editor->Memo1->document()->documentMargin()), 0);
    EXPECT_EQ(editor->Label8->x(), textOrigin.x());
    EXPECT_EQ(editor->Label8->fontMetrics().horizontalAdvance(QString(10, u'0')),
              editor->Memo1->fontMetrics().horizontalAdvance(QString(10, u'0')));
    EXPECT_EQ(editor->Label8->geometry().bottom() + 1, editor->Memo1->y());
}

TEST_F(TemplateEditorTest, TheBannerLinesUpInConsoleColumns) {
    showEditor();
    // Rows 2 (79 stars) and 3 (stars, blanks, 24 two-column cells, blanks, stars)
    // of the editable default are both 79 console columns wide.
    const QTextDocument* document = editor->Memo1->document();
    const auto width = [&](int number) {
        const QTextBlock block = document->findBlockByNumber(number);
        document->documentLayout()->blockBoundingRect(block);  // lays the block out
        return block.layout()->lineCount() > 0 ? block.layout()->lineAt(0).naturalTextWidth() : -1.0;
    };
    ASSERT_EQ(editor->editableLines()[3].left(8), "********");
    EXPECT_NEAR(width(3), width(2), 1.0);
    EXPECT_NEAR(width(8), width(2), 1.0);
    EXPECT_TRUE(takesTwoColumns(u'汇'));
    EXPECT_TRUE(takesTwoColumns(u'╔'));
    EXPECT_TRUE(takesTwoColumns(QChar(0x3000)));
    EXPECT_FALSE(takesTwoColumns(u'*'));
}
