// A student's road with the real tool kit, in the window: open a source, assemble,
// link, run through the console host, look at the listing, close; and linking
// before assembling.
#include "AppFixture.h"

#include "app/CleanupList.h"
#include "build/OutputList.h"
#include "build/Unit4.h"

#include <QDirIterator>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>

using namespace asmora;
using app::MenuId;

namespace {

QByteArray newFileTemplate() {
    QFile file(QStringLiteral(NEW_FILE_TEMPLATE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << NEW_FILE_TEMPLATE;
    return file.readAll();
}

// The rows after the echo row of the execute button: what the tool printed.
QStringList toolOutput(const QStringList& rows) {
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (rows[i].startsWith(QStringLiteral("运行指令："))) return rows.mid(i + 2);
    return {};
}

}  // namespace

class ToolKitScenarioTest : public AppFixture {
protected:
    QString source;
    QString debug;

    void SetUp() override {
        AppFixture::SetUp();
        start();  // the tool-kit check writes the carried tools into bin/
        source = path("my asm/实验 50%&1/lab1.asm");
        debug = path("my asm/实验 50%&1/Debug/");
        writeFile("my asm/实验 50%&1/lab1.asm", newFileTemplate());
        // Opening the file: what the open command does with the window.
        window->document().SetPath(source);
        asmora::app::TCleanupList(programFolder()).addRecord(source);
        dialogs.shown.clear();
    }

    // Presses Run, checks that it hands bin/ml.bat to the shell, and runs that batch
    // in the console host as the console window would: what the window shows.
    QString runShown() {
        window->action(MenuId::Run)->trigger();
        EXPECT_EQ(shell.openedBatches, QStringList{path("bin/ml.bat")});
        QProcess host;
        host.setWorkingDirectory(folder.path());
        host.setStandardInputFile(QProcess::nullDevice());
        host.start(QStringLiteral(CONSOLE_HOST_RUN), {QStringLiteral("--console-host"), path("bin/ml.bat")});
        EXPECT_TRUE(host.waitForFinished(60000));
        return QString::fromUtf8(host.readAllStandardOutput() + host.readAllStandardError());
    }
};

TEST_F(ToolKitScenarioTest, AssembleLinkRunAndCloseLeaveTheProgramAndItsListing) {
    window->action(MenuId::Assemble)->trigger();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(QFile::exists(path("my asm/实验 50%&1/io.h")));
    EXPECT_TRUE(QFile::exists(debug + "lab1.obj"));
    EXPECT_TRUE(QFile::exists(debug + "lab1.lst"));
    const QStringList assembled = window->outputList().rows();
    ASSERT_GE(assembled.size(), 10);
    EXPECT_TRUE(assembled[8].startsWith(QStringLiteral("运行指令：") + folder.path() + ">bin/ml.exe /c /coff "));
    // The assembler names the source it assembles.
    EXPECT_TRUE(toolOutput(assembled).join(u'\n').contains(source)) << assembled.join(u'\n').toStdString();

    window->action(MenuId::Link)->trigger();
    EXPECT_TRUE(QFile::exists(debug + "lab1.exe"));
    const QStringList linked = window->outputList().rows();
    EXPECT_TRUE(linked.contains(QStringLiteral("输出目录：") + path("my asm/实验 50%&1/Debug")));
    EXPECT_TRUE(dialogs.shown.isEmpty());

    const QString shown = runShown();
    EXPECT_TRUE(shown.contains(QStringLiteral("程序开始运行"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("╔╮╔══╗╭\u3000╔═╮"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("【按任意键可退出程序】")));
    EXPECT_FALSE(shown.contains(QStringLiteral("不是内部或外部命令"))) << shown.toStdString();
    EXPECT_FALSE(QFile::exists(path("bin/ml.bat"))) << "the run batch deletes itself";

    QString listingCaption;
    QTimer::singleShot(0, window.get(), [&] {
        listingCaption = window->listingWindow()->windowTitle();
        EXPECT_TRUE(window->listingWindow()->Memo1->toPlainText().contains(QStringLiteral("ExitProcess")));
        window->listingWindow()->close();
    });
    window->action(MenuId::ShowListing)->trigger();
    EXPECT_EQ(listingCaption, debug + "lab1.lst");

    window->close();
    EXPECT_FALSE(QFile::exists(debug + "lab1.obj"));
    EXPECT_FALSE(QFile::exists(path("my asm/实验 50%&1/io.h")));
    EXPECT_TRUE(QFile::exists(debug + "lab1.exe"));
    EXPECT_TRUE(QFile::exists(debug + "lab1.lst"));
    EXPECT_TRUE(QFile::exists(source));
}

TEST_F(ToolKitScenarioTest, LinkingBeforeAssemblingShowsOnlyTheLinkersComplaint) {
    window->action(MenuId::Link)->trigger();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(debug + "lab1.exe"));
    const QStringList complaint = toolOutput(window->outputList().rows());
    EXPECT_FALSE(complaint.join(QString()).trimmed().isEmpty()) << "the linker printed nothing";
    EXPECT_TRUE(complaint.join(u'\n').contains(QStringLiteral("lab1.obj"))) << complaint.join(u'\n').toStdString();
}

TEST_F(ToolKitScenarioTest, AssemblingAgainRemovesTheProgramSoRunRefuses) {
    window->action(MenuId::Assemble)->trigger();
    window->action(MenuId::Link)->trigger();
    ASSERT_TRUE(QFile::exists(debug + "lab1.exe"));
    window->action(MenuId::Assemble)->trigger();
    EXPECT_FALSE(QFile::exists(debug + "lab1.exe"));
    window->action(MenuId::Run)->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "错误");
    EXPECT_TRUE(shell.openedBatches.isEmpty());
}

// A quote in the file name must not end the argument: the file named
//   a" -Fo "evil.asm
// beside a file named "a" is assembled, linked and run as itself, and nothing
// is written anywhere but its own work files.
TEST_F(ToolKitScenarioTest, AQuoteInTheFileNameAssemblesLinksAndRunsThatFileAndWritesNothingElsewhere) {
    const QString odd = QStringLiteral("odd");
    const QString name = QStringLiteral("a\" -Fo \"evil.asm");
    writeFile(odd + "/a", newFileTemplate());
    writeFile(odd + u'/' + name, newFileTemplate());
    window->document().SetPath(path(odd + u'/' + name));
    const auto allFiles = [this] {
        QStringList files;
        QDirIterator it(folder.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) files.append(it.next());
        files.sort();
        return files;
    };
    const QStringList before = allFiles();

    window->action(MenuId::Assemble)->trigger();
    window->action(MenuId::Link)->trigger();
    EXPECT_TRUE(dialogs.shown.isEmpty());

    const QString base = path(odd + QStringLiteral("/Debug/a\" -Fo \"evil"));
    QStringList expected = before;
    expected << base + ".obj" << base + ".lst" << base + ".exe" << path(odd + "/io.h");
    expected.sort();
    EXPECT_EQ(allFiles().join(u'\n').toStdString(), expected.join(u'\n').toStdString())
        << window->outputList().rows().join(u'\n').toStdString();
    QFile listing(base + ".lst");
    ASSERT_TRUE(listing.open(QIODevice::ReadOnly));
    EXPECT_TRUE(listing.readAll().contains("ExitProcess"));

    // The run batch names the program with its quote, and the console host starts it.
    const QString shown = runShown();
    EXPECT_TRUE(shown.contains(QStringLiteral("程序开始运行"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("【按任意键可退出程序】"))) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("不是内部或外部命令"))) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("系统找不到"))) << shown.toStdString();
}
