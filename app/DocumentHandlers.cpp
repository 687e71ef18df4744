// The main window's document handlers: New, Open, Save, Save as, Delete, Exit, the
// "changed" mark and the editor's context menu. The file commands forward to
// TDocumentCommands, which works on the window's editor, tabs and directory box.
#include "Unit1.h"

#include "app/CleanupList.h"
#include "documents/DocumentCommands.h"
#include "platform/DialogService.h"
#include "editor/SciScintilla.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace asmora::app {

void TForm1::Edit3KeyDown() { documents_->Edit3KeyDown(); }
void TForm1::E1Click() { documents_->E1Click(); }
void TForm1::FileOpenBClick() { documents_->FileOpenBClick(); }
void TForm1::SaveBClick() { documents_->SaveBClick(); }
void TForm1::A2Click() { documents_->A2Click(); }
void TForm1::N3Click() { documents_->N3Click(); }
void TForm1::E2Click() { close(); }

// A modified document is offered for saving first; a save that fails ends the
// command before anything is loaded.
void TForm1::openInPlaceOfCurrent(const QString& path) {
    if (document_.Modified() &&
        services_.dialogs.messageBox(this, QStringLiteral("当前文件已被修改，但尚未保存，请问是否保存？"),
                                     QStringLiteral("系统提示"), platform::MessageIcon::Information,
                                     platform::MessageButtons::YesNo) == platform::IdYes)
        SaveBClick();
    documents_->OpenDocument(path);
    documents_->ShowFolderOf(path);
}

void TForm1::setDocumentCaption(const QString& caption) { documents_->SetCaption(caption); }

// A key pressed in the editor, or text committed by an input method (which types
// Chinese without key presses), counts as a key for the "changed" mark.
bool TForm1::isEditorKey(QObject* watched, QEvent* event) const {
    if (watched != Edit3) return false;
    if (event->type() == QEvent::KeyPress) return true;
    return event->type() == QEvent::InputMethod && !static_cast<QInputMethodEvent*>(event)->commitString().isEmpty();
}

// clang-format off
void TForm1::connectDocumentHandlers() {
    documents_ = std::make_unique<TDocumentCommands>(TDocumentContext{
        this, *Edit3, *TabControl1, *Edit1, services_.dialogs, document_,
        [this](const QString& source) { TCleanupList(programFolder_).addRecord(source); }});
    saveCurrentDocument = [this] { SaveBClick(); };
    Edit3->installEventFilter(this);

    using Handler = void (TForm1::*)();
    const struct {
        MenuId item;
        Handler handler;
    } commands[] = {
        {MenuId::NewFile, &TForm1::E1Click},   {MenuId::Open, &TForm1::FileOpenBClick}, {MenuId::Save, &TForm1::SaveBClick},
        {MenuId::SaveAs, &TForm1::A2Click},   {MenuId::DeleteFile, &TForm1::N3Click},        {MenuId::Exit, &TForm1::E2Click},
        {MenuId::SaveFromPopup, &TForm1::SaveBClick},
    };
    for (const auto& command : commands)
        connect(action(command.item), &QAction::triggered, this, guardedSlot(command.handler));
    connect(ButtonOpen, &QPushButton::clicked, this, guardedSlot(&TForm1::FileOpenBClick));

    // The context menu's edit commands call the editor and do nothing else.
    const struct {
        MenuId item;
        void (TScintillaBase::*command)();
    } editCommands[] = {
        {MenuId::Undo, &TScintillaBase::Undo}, {MenuId::Redo, &TScintillaBase::Redo},
        {MenuId::Cut, &TScintillaBase::Cut},   {MenuId::Copy, &TScintillaBase::Copy},
        {MenuId::Paste, &TScintillaBase::Paste}, {MenuId::SelectAll, &TScintillaBase::SelectAll},
    };
    for (const auto& edit : editCommands) {
        const auto command = edit.command;
        connect(action(edit.item), &QAction::triggered, this, [this, command] { (Edit3->*command)(); });
    }
}
// clang-format on

}  // namespace asmora::app
