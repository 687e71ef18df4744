// The document commands: New with its template, Open, Save, Save as, Delete and the
// "changed" mark.
#include "DocumentCommands.h"

#include "AnsiPieces.h"
#include "SciDocTabCtrl.h"
#include "SciScintillaMemo.h"

#include "platform/Cp936.h"
#include "platform/Errors.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/SystemReasons.h"

#include <QFile>
#include <QLineEdit>

namespace {

using platform::MessageButtons;
using platform::MessageIcon;

// The new-file template: the program's resource ":/templates/template.asm"
// (resources/templates/template.asm), 28 lines each ended by LF, the bytes New puts
// into the editor.
QByteArray NewFileTemplate() {
    QFile file(QStringLiteral(":/templates/template.asm"));
    const bool opened = file.open(QIODevice::ReadOnly);
    Q_ASSERT_X(opened, "NewFileTemplate", "the template is compiled into the program");
    return opened ? file.readAll() : QByteArray();
}

enum class Message {
    SaveBeforeOpen,
    SaveChosenFile,
    SaveBeforeNew,
    NothingToDelete,
    ConfirmDelete,
    Deleted,
    DeleteRefused,
    DeleteFailed,
};

struct MessageRow {
    Message id;
    const char16_t* text;  // %1, %2: the paths and reasons inserted
    const char16_t* caption;
    MessageButtons buttons;
    MessageIcon icon;
};

// The message boxes of the file commands, in the order of Message.
constexpr MessageRow kMessages[] = {
    {Message::SaveBeforeOpen, u"当前文件已被修改，但尚未保存，请问是否保存？", u"系统提示", MessageButtons::YesNo,
     MessageIcon::Information},
    {Message::SaveChosenFile, u"文件%1已经修改，但尚未保存，请问是否保存？", u"提示", MessageButtons::YesNoCancel,
     MessageIcon::Information},
    {Message::SaveBeforeNew, u"当前文件%1已被更改，请问是否保存？", u"系统提示", MessageButtons::YesNo,
     MessageIcon::Information},
    {Message::NothingToDelete, u"删除文件失败，当前文件未存盘！", u"删除提示", MessageButtons::Ok,
     MessageIcon::Warning},
    {Message::ConfirmDelete, u"该删除操作将会直接删除原文件，不可恢复！请问是否删除？", u"删除提示",
     MessageButtons::YesNo, MessageIcon::Warning},
    {Message::Deleted, u"文件删除成功！", u"删除提示", MessageButtons::Ok, MessageIcon::Information},
    {Message::DeleteRefused, u"删除文件失败，用户取消删除操作！", u"删除提示", MessageButtons::Ok,
     MessageIcon::Warning},
    {Message::DeleteFailed, u"删除文件失败，无法删除%1\n%2", u"删除提示", MessageButtons::Ok, MessageIcon::Warning},
};

const MessageRow& Row(Message id) {
    const MessageRow& row = kMessages[static_cast<int>(id)];
    Q_ASSERT(row.id == id && "kMessages follows the order of Message");
    return row;
}

int Show(const TDocumentContext& context, Message id, const QStringList& inserted = {}) {
    const MessageRow& row = Row(id);
    QString text = QString::fromUtf16(row.text);
    if (inserted.size() == 1) text = text.arg(inserted[0]);
    if (inserted.size() == 2) text = text.arg(inserted[0], inserted[1]);
    return context.dialogs.messageBox(context.window, text, QString::fromUtf16(row.caption), row.icon, row.buttons);
}

// The extension of SaveDialog1's chosen filter (1: ".asm", 2: ".txt"), added unless
// the entered name already ends with it: "prog" and "prog.asm" both give prog.asm.
QString WithFilterExtension(const QString& entered, int filterIndex) {
    const QString extension = filterIndex == 1   ? QStringLiteral(".asm")
                              : filterIndex == 2 ? QStringLiteral(".txt")
                                                 : QString();
    if (extension.isEmpty() || entered.endsWith(extension, Qt::CaseInsensitive)) return entered;
    return entered + extension;
}

constexpr SciEncodingKind kAnsiKind = 0;
constexpr SciEncodingKind kUtf8WithoutBomKind = 4;
constexpr int kUtf8CodePage = 65001;
const QString kModifiedMark = QStringLiteral(" *");

}  // namespace

const QString TDocumentCommands::kUntitledCaption = QStringLiteral("未命名.asm");

TDocumentCommands::TDocumentCommands(TDocumentContext context) : context_(std::move(context)) {
    OpenDialog1.filter =
        QStringLiteral("汇编源文件(*.asm)|*.asm|文本文件(*.txt)|*.txt|所有支持的类型(*.asm;*.txt)|*.asm;*.txt");
    OpenDialog1.defaultExtension = QStringLiteral("*.asm");
    SaveDialog1.filter = QStringLiteral("汇编源文件(*.asm)|*.asm|文本文件(*.txt)|*.txt");
    // The accept step adds the chosen filter's extension itself, so the dialog is given
    // no default extension of its own to add.
    SaveDialog1.overwritePrompt = true;
}

void TDocumentCommands::SetCaption(const QString& caption) { context_.tabs.Document(0)->SetCaption(caption); }

QString TDocumentCommands::Caption() const { return context_.tabs.Document(0)->Caption(); }

void TDocumentCommands::Edit3KeyDown() {
    if (context_.document.Modified()) return;
    context_.document.SetModified(true);
    const QString caption = Caption();
    if (!caption.endsWith(u'*')) SetCaption(caption + kModifiedMark);
}

void TDocumentCommands::E1Click() {
    if (context_.document.Modified() &&
        Show(context_, Message::SaveBeforeNew, {context_.document.Path()}) == platform::IdYes)
        SaveBClick();
    context_.editor.ClearDocument();
    context_.editor.Lines.Add(NewFileTemplate());
    SetCaption(kUntitledCaption);
    context_.document.SetPath(QString());
    context_.document.SetModified(false);
}

void TDocumentCommands::FileOpenBClick() {
    if (context_.document.Modified() && Show(context_, Message::SaveBeforeOpen) == platform::IdYes) SaveBClick();
    OpenDialog1.fileName.clear();
    const platform::FileDialogResult result = context_.dialogs.openFile(context_.window, OpenDialog1);
    if (!result.accepted) return;
    OpenDialog1.fileName = result.path;
    OpenDialog1.filterIndex = result.filterIndex;
    OpenDialog1CanClose(result.path);
}

void TDocumentCommands::OpenDialog1CanClose(const QString& chosen) {
    if (chosen == context_.document.Path()) return;
    ShowFolderOf(chosen);
    if (!context_.document.Untitled() && context_.document.Modified()) {
        const int answer = Show(context_, Message::SaveChosenFile, {context_.document.Path()});
        if (answer == platform::IdCancel) return;
        // Written with the encoding it was loaded in, blanks and all.
        if (answer == platform::IdYes) context_.editor.SaveToFile(context_.document.Path());
    }
    if (platform::extensionOf(chosen).toLower() == u".asm") context_.addCleanupRecord(chosen);
    OpenDocument(chosen);
}

void TDocumentCommands::OpenDocument(const QString& path) {
    context_.document.SetPath(path);
    SetCaption(path);
    context_.document.SetModified(false);
    try {
        context_.editor.ClearDocument();
        context_.editor.LoadFromFile(path);
    } catch (...) {
        BecomeUntitledAndEmpty();
        throw;
    }
}

void TDocumentCommands::BecomeUntitledAndEmpty() {
    context_.editor.ClearDocument();
    SetCaption(kUntitledCaption);
    context_.document.SetPath(QString());
    context_.document.SetModified(false);
}

void TDocumentCommands::ShowFolderOf(const QString& path) {
    OpenDialog1.fileName = path;
    FollowFolderOf(path);
}

void TDocumentCommands::FollowFolderOf(const QString& path) {
    context_.directoryBox.setText(platform::folderOf(path));
    OpenDialog1.initialFolder = context_.directoryBox.text();
}

void TDocumentCommands::SaveBClick() {
    if (!context_.document.Modified()) return;
    if (context_.document.Untitled()) {
        SaveDialog1.title = QStringLiteral("保存");
        RunSaveDialog();
        return;
    }
    context_.editor.Streamer()->SetEncoding(EncodingForSave());
    context_.editor.RemoveTrailingBlanks();
    context_.editor.SaveToFile(context_.document.Path());
    SetCaption(context_.document.Path());
    context_.document.SetModified(false);
}

// Save writes code page 936. A document in UTF-8 without BOM (found by its cookie or
// by its bytes) that holds a character code page 936 lacks stays UTF-8 without BOM
// instead, so the character is not lost.
SciEncodingKind TDocumentCommands::EncodingForSave() const {
    if (context_.editor.Streamer()->GetEncoding() != kUtf8WithoutBomKind) return kAnsiKind;
    const QByteArray text = context_.editor.GetTextRange(0, context_.editor.GetTextLength());
    const bool fits = platform::cp936::fitsCp936(std::string_view(text.constData(), static_cast<size_t>(text.size())));
    return fits ? kAnsiKind : kUtf8WithoutBomKind;
}

// The edits go to the new file only: the file the document came from keeps the
// text it had, so a Save as never changes two files, and a failed one changes none.
void TDocumentCommands::A2Click() {
    SaveDialog1.fileName.clear();
    SaveDialog1.title = QStringLiteral("另存为");
    RunSaveDialog();
}

void TDocumentCommands::RunSaveDialog() {
    const platform::FileDialogResult result = context_.dialogs.saveFile(context_.window, SaveDialog1);
    if (!result.accepted) return;
    SaveDialog1.fileName = result.path;
    SaveDialog1.filterIndex = result.filterIndex;
    SaveDialog1CanClose(result.path, result.filterIndex);
}

// The new name takes effect only when the whole file is written: a failed write
// leaves the caption, CurrentPath, FileModified and any old file as they were.
void TDocumentCommands::SaveDialog1CanClose(const QString& entered, int filterIndex) {
    const QString target = WithFilterExtension(entered, filterIndex);
    platform::writeFileAtomically(target, TextAsLines());
    SetCaption(target);
    context_.document.SetPath(target);
    context_.document.SetModified(false);
    FollowFolderOf(target);  // the next Open starts in the folder saved to
}

// Every line of the text followed by CR LF, a final empty line left out, in the
// bytes of the editor's code page: code page 936 while it is ANSI (0), UTF-8 once it
// is 65001. No BOM, no stripping of blanks.
QByteArray TDocumentCommands::TextAsLines() const {
    const TScintillaMemo& editor = context_.editor;
    QByteArray text;
    for (int line = 0; line < editor.Lines.Count(); ++line) text.append(editor.Lines.Get(line)).append("\r\n");
    if (editor.CodePage() == kUtf8CodePage) return text;
    Utf8ToAnsiPieces ansi;
    std::string bytes = ansi.Convert(std::string_view(text.constData(), static_cast<size_t>(text.size())));
    bytes += ansi.Finish();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void TDocumentCommands::N3Click() {
    const QString path = context_.document.Path();
    if (!platform::fileExists(path)) {
        Show(context_, Message::NothingToDelete);
        return;
    }
    if (Show(context_, Message::ConfirmDelete) != platform::IdYes) {
        Show(context_, Message::DeleteRefused);
        return;
    }
    QFile file(path);
    if (!file.remove()) {
        // The file is still there, so the document stays as it is.
        Show(context_, Message::DeleteFailed, {path, platform::reasonOf(file)});
        return;
    }
    context_.document.SetModified(false);
    E1Click();
    Show(context_, Message::Deleted);
}
