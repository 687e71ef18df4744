// Test double of the dialog service: records every message box and file dialog and
// answers from a script the test fills in advance.
#pragma once

#include "../DialogService.h"

#include <QList>
#include <QQueue>

namespace platform {

struct ShownMessage {
    QString text;
    QString caption;
    MessageIcon icon;
    MessageButtons buttons;
    MessageLayout layout = MessageLayout::Plain;
};

class ScriptedDialogs final : public DialogService {
public:
    // Answers given to the next message boxes, in order; when the script is empty a
    // box is answered with OK (or No for questions).
    QQueue<int> answers;
    // Results of the next file dialogs, in order; when empty a dialog is cancelled.
    QQueue<FileDialogResult> fileResults;
    // Answers of the next number dialogs, in order; when empty a dialog is cancelled.
    QQueue<std::optional<int>> numbers;

    QList<ShownMessage> shown;
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    QList<NumberRequest> numberRequests;

    int messageBox(QWidget*, const QString& text, const QString& caption, MessageIcon icon, MessageButtons buttons,
                   MessageLayout layout = MessageLayout::Plain) override {
        shown.append({text, caption, icon, buttons, layout});
        if (!answers.isEmpty()) return answers.dequeue();
        return buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel ? IdOk : IdNo;
    }
    FileDialogResult openFile(QWidget*, const FileDialogRequest& request) override {
        openRequests.append(request);
        return fileResults.isEmpty() ? FileDialogResult{} : fileResults.dequeue();
    }
    FileDialogResult saveFile(QWidget*, const FileDialogRequest& request) override {
        saveRequests.append(request);
        return fileResults.isEmpty() ? FileDialogResult{} : fileResults.dequeue();
    }

    std::optional<int> askNumber(QWidget*, const NumberRequest& request) override {
        numberRequests.append(request);
        return numbers.isEmpty() ? std::nullopt : numbers.dequeue();
    }

    static FileDialogResult chosen(const QString& path, int filterIndex = 1) { return {true, path, filterIndex}; }
};

}  // namespace platform
