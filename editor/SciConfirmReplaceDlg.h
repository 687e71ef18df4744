// The confirm dialog "确定替换": asks whether to replace one match and is placed beside it.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

class QLabel;

// Where the dialog goes so that it does not cover the match. `editor` is the editor's
// client area and `match` the match start, both in screen coordinates; `lineHeight`
// is the height of the match line.
//   x: centred on the editor when the dialog is at least as wide; else at the match,
//      or flush with the editor's right edge when it would stick out past it.
//   y: 4 pixels below the line after the match line, or, when that lies below the
//      top two thirds of the editor, with its bottom 4 pixels above the match.
QPoint SciConfirmDialogPosition(const QRect& editor, const QSize& dialog, const QPoint& match, int lineHeight);

// Closes with the answer of the button pressed (TSciReplaceAnswer): "替 换(&Y)" 6,
// "跳 过(&N)" 7, "关闭(&C)" 2, "替换全部(&A)" 10. Closing it otherwise answers 2.
// The buttons carry the object names btnReplace, btnSkip, btnCancel, btnReplaceAll.
class TConfirmReplaceDialog : public QDialog {
public:
    explicit TConfirmReplaceDialog(QWidget* parent = nullptr);

    // Sets the question for `searchText` and moves the dialog beside the match.
    void PrepareShow(const QRect& editor, const QPoint& match, int lineHeight, const QString& searchText);
    QString Question() const;

    void reject() override;

private:
    QLabel* question_ = nullptr;
};
