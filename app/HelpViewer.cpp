// The help viewer window and the help file format it reads.
#include "HelpViewer.h"

#include "platform/Cp936.h"
#include "platform/DialogService.h"
#include "platform/Paths.h"
#include "platform/SystemReasons.h"
#include "skins/WindowFonts.h"

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace asmora::app {
namespace {

const QString kContentsHeading = QStringLiteral("目录");
const QString kCaption = QStringLiteral("帮助");

int indentOf(const QString& line) {
    int spaces = 0;
    while (spaces < line.size() && (line[spaces] == u' ' || line[spaces] == u'\t' || line[spaces] == u'\u3000'))
        ++spaces;
    return spaces;
}

bool isBlank(const QString& line) { return line.trimmed().isEmpty(); }

// The line at or after `from` that starts at column 0 and reads `title`; -1 if none.
int findSection(const QStringList& lines, const QString& title, int from) {
    for (int line = from; line < lines.size(); ++line)
        if (indentOf(lines[line]) == 0 && lines[line].trimmed() == title) return line;
    return -1;
}

QFont helpFont() {
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei Mono"), QStringLiteral("Noto Sans Mono CJK SC"),
                      QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
    font.setPixelSize(14);
    return font;
}

}  // namespace

QString decodeHelpText(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) view = view.sliced(3);
    QString text = platform::cp936::decodeUtf8OrCp936(std::string_view(view.data(), static_cast<size_t>(view.size())));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

HelpDocument parseHelp(const QString& text) {
    HelpDocument document;
    document.lines = text.split(u'\n');
    const QStringList& lines = document.lines;
    for (const QString& line : lines)
        if (!isBlank(line)) {
            document.title = line.trimmed();
            break;
        }
    int line = 0;
    while (line < lines.size() && lines[line].trimmed() != kContentsHeading) ++line;
    if (line == lines.size()) return document;
    ++line;
    while (line < lines.size() && isBlank(lines[line])) ++line;
    const int baseIndent = line < lines.size() ? indentOf(lines[line]) : 0;
    for (; line < lines.size() && !isBlank(lines[line]); ++line) {
        const int extra = indentOf(lines[line]) - baseIndent;
        document.contents.append({lines[line].trimmed(), extra > 0 ? (extra + 1) / 2 : 0, -1});
    }
    // Sections follow the contents in order; an entry whose section comes out of
    // order is still found by a search from the end of the contents.
    const int afterContents = line;
    int from = afterContents;
    for (HelpEntry& entry : document.contents) {
        entry.line = findSection(lines, entry.title, from);
        if (entry.line < 0) entry.line = findSection(lines, entry.title, afterContents);
        if (entry.line >= 0) from = entry.line + 1;
    }
    return document;
}

THelpViewer::THelpViewer(platform::DialogService& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint), dialogs_(dialogs) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(kCaption);
    setFont(skins::songTi(12));
    resize(820, 580);

    auto* fileLabel = new QLabel(QStringLiteral("帮助文件："), this);
    files_ = new QComboBox(this);
    files_->setObjectName(QStringLiteral("HelpFiles"));
    files_->setMinimumWidth(220);
    contents_ = new QListWidget(this);
    contents_->setObjectName(QStringLiteral("HelpContents"));
    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("HelpText"));
    text_->setFont(helpFont());
    text_->setLineWrapMode(QTextEdit::WidgetWidth);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(contents_);
    splitter->addWidget(text_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 600});
    auto* top = new QHBoxLayout;
    top->addWidget(fileLabel);
    top->addWidget(files_);
    top->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);

    connect(contents_, &QListWidget::currentRowChanged, this, &THelpViewer::showSection);
    connect(files_, &QComboBox::activated, this,
            [this](int index) { openContents(platform::folderOf(path_) + u'/' + files_->itemText(index)); });
}

bool THelpViewer::openContents(const QString& path) {
    QWidget* owner = isVisible() ? this : parentWidget();
    if (!platform::fileExists(path)) {
        dialogs_.messageBox(
            owner,
            QStringLiteral("找不到帮助文件：\n%1\n\n可以用“设置”菜单中的“手动修复汇编器”重新导出帮助文件。").arg(path),
            kCaption, platform::MessageIcon::Warning, platform::MessageButtons::Ok);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        dialogs_.messageBox(owner, QStringLiteral("无法读取帮助文件：\n%1\n%2").arg(path, platform::reasonOf(file)),
                            kCaption, platform::MessageIcon::Warning, platform::MessageButtons::Ok);
        return false;
    }
    path_ = path;
    document_ = parseHelp(decodeHelpText(file.readAll()));
    listHelpFiles();
    showDocument();
    show();
    raise();
    activateWindow();
    return true;
}

void THelpViewer::listHelpFiles() {
    const QSignalBlocker quiet(files_);
    files_->clear();
    const QString folder = platform::folderOf(path_);
    files_->addItems(QDir(folder).entryList({QStringLiteral("*.hlp")}, QDir::Files, QDir::Name));
    files_->setCurrentIndex(files_->findText(platform::fileNameOf(path_)));
}

// Puts the text in the view with the title and the section headings in bold, and
// the contents in the list; the view starts at the top, where the contents stand.
void THelpViewer::showDocument() {
    setWindowTitle(kCaption + QStringLiteral(" - ") + platform::fileNameOf(path_));
    text_->setPlainText(document_.lines.join(u'\n'));
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    heading.setForeground(QColor(0, 0, 128));
    for (const HelpEntry& entry : std::as_const(document_.contents)) {
        if (entry.line < 0) continue;
        QTextCursor cursor(text_->document()->findBlockByNumber(entry.line));
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(heading);
    }
    const QSignalBlocker quiet(contents_);
    contents_->clear();
    for (const HelpEntry& entry : std::as_const(document_.contents)) {
        auto* row = new QListWidgetItem(QString(entry.level * 2, u' ') + entry.title, contents_);
        if (entry.line < 0) row->setFlags(row->flags() & ~Qt::ItemIsEnabled);
    }
    text_->verticalScrollBar()->setValue(0);
}

void THelpViewer::showSection(int index) {
    if (index < 0 || index >= document_.contents.size() || document_.contents[index].line < 0) return;
    const QTextBlock block = text_->document()->findBlockByNumber(document_.contents[index].line);
    const QRectF place = text_->document()->documentLayout()->blockBoundingRect(block);
    text_->verticalScrollBar()->setValue(static_cast<int>(place.top()));
}

}  // namespace asmora::app
