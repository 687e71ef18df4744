// The commands of the one document the main window edits: New, Open, Save, Save as,
// Delete, and the "changed" mark that a key press in the editor sets.
#pragma once

#include "DocumentState.h"
#include "SciStreamBase.h"
#include "platform/DialogService.h"

#include <QString>

#include <functional>

class QLineEdit;
class QWidget;
class TSciDocumentTabControl;
class TScintillaMemo;

// What the document commands use of the main window: its components and the state
// of the current document.
struct TDocumentContext {
    QWidget* window;               // parent of the message boxes and dialogs
    TScintillaMemo& editor;        // `Edit3`
    TSciDocumentTabControl& tabs;  // `TabControl1`: document 0 shows the caption
    QLineEdit& directoryBox;       // `Edit1`
    platform::DialogService& dialogs;
    TDocumentState& document;                                     // `CurrentPath` and `FileModified`
    std::function<void(const QString& source)> addCleanupRecord;  // the work-file cleanup list
};

class TDocumentCommands {
public:
    static const QString kUntitledCaption;  // "未命名.asm"

    explicit TDocumentCommands(TDocumentContext context);

    // The two file dialogs; they keep the file name and filter chosen last.
    platform::FileDialogRequest OpenDialog1;
    platform::FileDialogRequest SaveDialog1;

    // Any key pressed in the editor: the first one after a New, Open or Save marks the
    // document changed and appends " *" to its caption.
    void Edit3KeyDown();
    // New: asks to save a changed document, then starts from the new-file template.
    void E1Click();
    // Open through OpenDialog1, asking to save a changed document first.
    void FileOpenBClick();
    // Save: a changed document is written in the ANSI code page without trailing
    // blanks; an untitled one asks for a name first.
    void SaveBClick();
    // Save as: the text lines as the editor holds them, under a name from SaveDialog1;
    // the document's own file is left as it is on disk.
    void A2Click();
    // Delete the current document's file after a confirmation, then start anew.
    void N3Click();

    // Used by start-up and by dropping a file as well as by Open.
    // Makes `path` the current, unchanged document and loads it. When loading fails
    // the document becomes untitled and empty, so that no later Save writes over a
    // file that was never read, and the error goes on to the caller.
    void OpenDocument(const QString& path);
    // The directory box shows the folder of `path`; the open dialog starts there and
    // names `path`.
    void ShowFolderOf(const QString& path);
    // The directory box shows the folder of `path` and the open dialog starts there.
    void FollowFolderOf(const QString& path);
    void SetCaption(const QString& caption);
    QString Caption() const;

private:
    void RunSaveDialog();
    void SaveDialog1CanClose(const QString& entered, int filterIndex);
    void OpenDialog1CanClose(const QString& chosen);
    QByteArray TextAsLines() const;
    SciEncodingKind EncodingForSave() const;
    void BecomeUntitledAndEmpty();

    TDocumentContext context_;
};
