// From a message row of the output list to the line it names: the row's file is
// opened when it is not the current document, the caret goes to the line and the line
// is marked. Linker rows name an object, not a line: for a symbol they name, the first
// line of the current source that uses the symbol is shown.
#include "Unit1.h"

#include "build/OutputList.h"
#include "build/ToolMessages.h"
#include "documents/DocumentCommands.h"
#include "editor/SciScintilla.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRegularExpression>

namespace asmora::app {
namespace {

// The file a message names: as written when it exists, else beside the current
// source, else in the program folder (the tools' working folder).
QString resolveMessageFile(const QString& origin, const QString& currentPath, const QString& programFolder) {
    const QFileInfo written(origin);
    if (written.isAbsolute()) return written.exists() ? written.absoluteFilePath() : QString();
    for (const QString& folder : {QFileInfo(currentPath).absolutePath(), programFolder}) {
        const QFileInfo candidate(QDir(folder), origin);
        if (!folder.isEmpty() && candidate.exists()) return candidate.absoluteFilePath();
    }
    return {};
}

// "_ExitProcess@4" -> "ExitProcess": the name as the source writes it.
QString sourceNameOfSymbol(const QString& symbol) {
    static const QRegularExpression decoration(QStringLiteral(R"(^_?([^@]+)(@\d+)?$)"));
    const QRegularExpressionMatch match = decoration.match(symbol.trimmed());
    return match.hasMatch() ? match.captured(1) : symbol.trimmed();
}

// The symbol a linker message is about, or empty.
QString symbolOfLinkMessage(const build::ToolMessage& message) {
    static const QRegularExpression unresolved(QStringLiteral(R"(^unresolved external symbol (\S+))"));
    static const QRegularExpression defined(QStringLiteral(R"(^(\S+) already defined in )"));
    for (const QRegularExpression* pattern : {&unresolved, &defined}) {
        const QRegularExpressionMatch match = pattern->match(message.text);
        if (match.hasMatch()) return sourceNameOfSymbol(match.captured(1));
    }
    return {};
}

// The first line (0-based) of the editor's text holding `word` as a whole word, or -1.
int lineOfWord(TScintilla& editor, const QString& word) {
    if (word.isEmpty()) return -1;
    constexpr int kWholeWord = QsciScintillaBase::SCFIND_WHOLEWORD;
    const int at = editor.FindText(kWholeWord, 0, editor.GetTextLength(), word.toUtf8());
    return at < 0 ? -1 : editor.LineFromPosition(at);
}

}  // namespace

void TForm1::connectNavigationHandlers() {
    connect(action(MenuId::NextError), &QAction::triggered, this, guardedSlot(&TForm1::NextError1Click));
    connect(action(MenuId::PreviousError), &QAction::triggered, this, guardedSlot(&TForm1::PrevError1Click));
    connect(action(MenuId::GotoLine), &QAction::triggered, this, guardedSlot(&TForm1::GotoLine1Click));
    connect(ListBox1, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { guarded([this, index] { ListBox1DblClick(index.row()); }); });
    ListBox1->installEventFilter(this);
}

void TForm1::openMessageFile(const QString& path) {
    if (QFileInfo(path) != QFileInfo(document_.Path())) openInPlaceOfCurrent(path);
}

void TForm1::ListBox1DblClick(int row) {
    if (row < 0 || row >= ListBox1->count()) return;
    const std::optional<build::ToolMessage> message = build::parseToolMessage(ListBox1->row(row));
    if (!message) return;
    ListBox1->selectRow(row);
    int line = -1;
    if (message->line > 0) {
        const QString file = resolveMessageFile(message->origin, document_.Path(), programFolder_.path());
        if (file.isEmpty()) {
            services_.dialogs.messageBox(this, QStringLiteral("找不到出错的文件：%1").arg(message->origin),
                                         QStringLiteral("错误提示"), platform::MessageIcon::Warning,
                                         platform::MessageButtons::Ok);
            return;
        }
        openMessageFile(file);
        line = message->line - 1;
    } else {
        line = lineOfWord(*Edit3, symbolOfLinkMessage(*message));
    }
    if (line < 0) return;
    Edit3->GotoLineStart(line);
    Edit3->MarkErrorLine(line);
    Edit3->setFocus();
}

// The next message row after the selected one (or before it), going round the list.
void TForm1::stepToMessageRow(int step) {
    const int count = ListBox1->count();
    if (count == 0) return;
    const int from = ListBox1->currentRow() < 0 ? (step > 0 ? count - 1 : 0) : ListBox1->currentRow();
    for (int i = 1; i <= count; ++i) {
        const int row = ((from + step * i) % count + count) % count;
        if (build::parseToolMessage(ListBox1->row(row))) {
            ListBox1DblClick(row);
            return;
        }
    }
}

void TForm1::NextError1Click() { stepToMessageRow(1); }
void TForm1::PrevError1Click() { stepToMessageRow(-1); }

void TForm1::GotoLine1Click() {
    const int lines = Edit3->GetLineCount();
    const std::optional<int> chosen = services_.dialogs.askNumber(
        this,
        {QStringLiteral("转到行"), QStringLiteral("行号（1 - %1）：").arg(lines), Edit3->CaretLine() + 1, 1, lines});
    if (!chosen) return;
    Edit3->GotoLineStart(*chosen - 1);
    Edit3->setFocus();
}

}  // namespace asmora::app
