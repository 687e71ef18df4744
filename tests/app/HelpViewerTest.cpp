// The help viewer: the help file format, the program's own help files, and the
// window that shows them.
#include "app/HelpViewer.h"

#include "platform/doubles/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>

using namespace asmora::app;

namespace {

const QString kSample = QStringLiteral(
    "调试器帮助\n"
    "==========\n"
    "\n"
    "目录\n"
    "  1. 按键\n"
    "    1.1 单步\n"
    "  2. 内存\n"
    "  3. 没有这一节\n"
    "\n"
    "1. 按键\n"
    "-------\n"
    "  1. 按键 (an indented line is no heading)\n"
    "1.1 单步\n"
    "F10 单步执行。\n"
    "2. 内存\n"
    "Alt+5 查看内存。\n");

QByteArray sourceFile(const QString& tail) {
    QFile file(QStringLiteral(ASMORA_SOURCE_DIR_PATH) + u'/' + tail);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(HelpFormat, ReadsTheTitleTheContentsAndWhereEachSectionStarts) {
    const HelpDocument help = parseHelp(kSample);
    EXPECT_EQ(help.title, QStringLiteral("调试器帮助"));
    ASSERT_EQ(help.contents.size(), 4);
    const struct {
        const char16_t* title;
        int level;
        int line;
    } want[] = {{u"1. 按键", 0, 9}, {u"1.1 单步", 1, 12}, {u"2. 内存", 0, 14}, {u"3. 没有这一节", 0, -1}};
    for (int entry = 0; entry < 4; ++entry) {
        EXPECT_EQ(help.contents[entry].title, QString::fromUtf16(want[entry].title)) << entry;
        EXPECT_EQ(help.contents[entry].level, want[entry].level) << entry;
        EXPECT_EQ(help.contents[entry].line, want[entry].line) << entry;
    }
}

TEST(HelpFormat, AFileWithoutContentsHasATitleAndNoEntries) {
    const HelpDocument help = parseHelp(QStringLiteral("\n  标题\n正文\n"));
    EXPECT_EQ(help.title, QStringLiteral("标题"));
    EXPECT_TRUE(help.contents.isEmpty());
    EXPECT_TRUE(parseHelp(QString()).contents.isEmpty());
}

TEST(HelpFormat, DecodesUtf8WithOrWithoutBomAndCodePage936) {
    EXPECT_EQ(decodeHelpText("\xEF\xBB\xBF"
                             "目录\r\n  1. 界面\r\n"),
              QStringLiteral("目录\n  1. 界面\n"));
    EXPECT_EQ(decodeHelpText("\xB0\xEF\xD6\xFA\r\n"), QStringLiteral("帮助\n"));  // 帮助 in code page 936
    EXPECT_EQ(decodeHelpText("a\rb"), QStringLiteral("a\nb"));
}

// The help files the program carries: every contents entry has its section.
TEST(HelpFormat, EveryEntryOfTheCarriedHelpFilesLeadsToItsSection) {
    for (const char* file : {"resources/help/Asmora帮助.hlp", "toolkit/debugger/support/WINDBG.HLP"}) {
        const QByteArray bytes = sourceFile(QString::fromUtf8(file));
        ASSERT_FALSE(bytes.isEmpty()) << file;
        const HelpDocument help = parseHelp(decodeHelpText(bytes));
        EXPECT_FALSE(help.title.isEmpty()) << file;
        EXPECT_GE(help.contents.size(), 4) << file;
        for (const HelpEntry& entry : help.contents)
            EXPECT_GE(entry.line, 0) << file << ": " << entry.title.toStdString();
    }
}

class HelpViewerTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    platform::ScriptedDialogs dialogs;
    THelpViewer viewer{dialogs};

    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(folder.path() + u'/' + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
};

TEST_F(HelpViewerTest, OpensAtTheContentsAndBringsAChosenSectionToTheTop) {
    QByteArray longHelp = kSample.toUtf8();
    for (int line = 0; line < 200; ++line) longHelp += "说明文字 " + QByteArray::number(line) + "\n";
    longHelp += "3. 没有这一节\n最后一节。\n";
    const QString file = write("Asmora帮助.hlp", longHelp);
    ASSERT_TRUE(viewer.openContents(file));
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("帮助 - Asmora帮助.hlp"));
    EXPECT_EQ(viewer.textView()->verticalScrollBar()->value(), 0);
    ASSERT_EQ(viewer.contentsList()->count(), 4);
    EXPECT_EQ(viewer.contentsList()->item(1)->text(), QStringLiteral("  1.1 单步"));

    viewer.contentsList()->setCurrentRow(2);
    const QTextBlock top = viewer.textView()->cursorForPosition(QPoint(4, 4)).block();
    EXPECT_EQ(top.text(), QStringLiteral("2. 内存"));
    EXPECT_EQ(top.begin().fragment().charFormat().fontWeight(), QFont::Bold);
}

TEST_F(HelpViewerTest, ListsTheOtherHelpFilesOfTheFolderAndOpensThem) {
    const QString own = write("Asmora帮助.hlp", kSample.toUtf8());
    write("WINDBG.HLP", "调试器\n目录\n  1. 按键\n\n1. 按键\nF10\n");
    write("notes.txt", "not help");
    ASSERT_TRUE(viewer.openContents(own));
    QComboBox* files = viewer.fileList();
    ASSERT_EQ(files->count(), 2);
    EXPECT_EQ(files->currentText(), QStringLiteral("Asmora帮助.hlp"));
    const int other = files->findText("WINDBG.HLP");
    ASSERT_GE(other, 0);
    emit files->activated(other);
    EXPECT_EQ(viewer.path(), folder.path() + "/WINDBG.HLP");
    EXPECT_EQ(viewer.document().title, QStringLiteral("调试器"));
    EXPECT_EQ(files->currentText(), QStringLiteral("WINDBG.HLP"));
}

TEST_F(HelpViewerTest, AMissingFileIsReportedAndTheShownFileStays) {
    const QString own = write("Asmora帮助.hlp", kSample.toUtf8());
    ASSERT_TRUE(viewer.openContents(own));
    // The entry whose section the file lacks cannot be chosen.
    EXPECT_FALSE(viewer.contentsList()->item(3)->flags() & Qt::ItemIsEnabled);
    EXPECT_FALSE(viewer.openContents(folder.path() + "/gone.hlp"));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].text.contains(folder.path() + "/gone.hlp"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("帮助"));
    EXPECT_EQ(viewer.path(), own);
    EXPECT_EQ(viewer.contentsList()->count(), 4);
}
