// The program's help viewer: a window that shows a help file (plain text, the
// contents section first) with the contents as a list beside the text; choosing an
// entry brings its section to the top. Other help files in the same folder can be
// chosen from a list. The viewer itself reports a help file that is missing.
//
// Help file format (UTF-8; code page 936 is accepted too):
//
//   Asmora 帮助                 <- title: the first non-empty line
//   ==========                  <- optional underline (a line of '=' or '-')
//   目录                        <- the contents section starts at the line "目录"
//     1. 界面                   <- one entry a line; deeper indentation, a sub-entry
//     2. 按钮                   <- a blank line ends the contents
//
//   1. 界面                     <- a section: a line at column 0 that repeats an
//   -------                        entry's text, anywhere after the contents
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QDialog>

class QComboBox;
class QListWidget;
class QTextBrowser;

namespace platform {
class DialogService;
}

namespace asmora::app {

struct HelpEntry {
    QString title;  // the entry's text without its indentation
    int level = 0;  // 0 for an entry, 1 for a sub-entry, ...
    int line = -1;  // the line of its section, -1 when the file has none
};

struct HelpDocument {
    QString title;
    QStringList lines;
    QList<HelpEntry> contents;
};

// The text of a help file: UTF-8 (with or without BOM), or code page 936 when the
// bytes are not UTF-8; line ends become LF.
QString decodeHelpText(const QByteArray& bytes);
HelpDocument parseHelp(const QString& text);

class THelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit THelpViewer(platform::DialogService& dialogs, QWidget* parent = nullptr);

    // Shows `path` at its contents. A missing or unreadable file is reported in a
    // message box and the viewer stays as it was; returns false then.
    bool openContents(const QString& path);
    // Brings the section of contents entry `index` to the top of the text.
    void showSection(int index);

    const QString& path() const { return path_; }
    const HelpDocument& document() const { return document_; }
    QListWidget* contentsList() const { return contents_; }
    QTextBrowser* textView() const { return text_; }
    QComboBox* fileList() const { return files_; }

private:
    void listHelpFiles();
    void showDocument();

    platform::DialogService& dialogs_;
    QComboBox* files_;
    QListWidget* contents_;
    QTextBrowser* text_;
    QString path_;
    HelpDocument document_;
};

}  // namespace asmora::app
