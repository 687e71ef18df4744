// The listing window `TForm4`: a text area that fills a 696 × 480 window and shows
// a listing file. Its caption is the file's path; edits are not saved anywhere.
#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace asmora::build {

class TForm4 final : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;

    // Sets the caption and replaces the text with `lines`, one per text line.
    void setListing(const QString& caption, const QStringList& lines);
    // Centres the window on the screen and shows it modally; returns when closed.
    void showModally();
};

}  // namespace asmora::build
