// Every message box, question and file dialog of the program goes through this
// service, so that tests can replace it with a scripted double that records what was
// shown and gives the answers.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace platform {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
// Plain: the text as it is. Columns: a text whose rows set their fields apart with
// runs of blanks (as a console lays out a table), shown as a table, one row per line.
enum class MessageLayout { Plain, Columns };

// The answers keep the Windows numbers (Yes is 6).
enum DialogAnswer : int { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };

struct FileDialogRequest {
    QString title;
    QString filter;       // Windows form: "描述|*.asm|描述|*.txt"
    int filterIndex = 1;  // 1-based, as Windows counts
    QString initialFolder;
    QString fileName;
    QString defaultExtension;  // ".asm" or "*.asm"
    bool overwritePrompt = false;
};

struct FileDialogResult {
    bool accepted = false;
    QString path;
    int filterIndex = 1;  // the filter chosen, 1-based
};

// A whole number asked for in a small dialog ("转到行").
struct NumberRequest {
    QString caption;
    QString label;
    int value = 1;
    int minimum = 1;
    int maximum = 1;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    virtual int messageBox(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                           MessageButtons buttons, MessageLayout layout = MessageLayout::Plain) = 0;
    virtual FileDialogResult openFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual FileDialogResult saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // The number entered, or nothing when the dialog is cancelled.
    virtual std::optional<int> askNumber(QWidget* parent, const NumberRequest& request) = 0;
};

// The real dialogs (Qt message boxes and file dialogs).
class QtDialogService final : public DialogService {
public:
    int messageBox(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                   MessageButtons buttons, MessageLayout layout = MessageLayout::Plain) override;
    FileDialogResult openFile(QWidget* parent, const FileDialogRequest& request) override;
    FileDialogResult saveFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<int> askNumber(QWidget* parent, const NumberRequest& request) override;

    // "汇编源文件(*.asm)|*.asm|..." -> Qt's "汇编源文件(*.asm) (*.asm);;..." entries.
    static QStringList qtFilters(const QString& windowsFilter);
    // A Columns text as an HTML table: every run of line ends (CR, LF, in any
    // mixture) ends one row, empty rows are dropped, and a run of three or more
    // blanks separates two cells. A row of one cell spans the table; its leading
    // blanks indent it.
    static QString columnsHtml(const QString& text);
};

}  // namespace platform
