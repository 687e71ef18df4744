// The replace dialog "查找替换": the search dialog with a replace text box and its history.
#pragma once

#include "SciSearchTextDlg.h"

// Adds the box cbReplaceText under the search text; the replace button updates both
// histories before the dialog closes with Accepted.
class TTextReplaceDialog : public TTextSearchDialog {
public:
    explicit TTextReplaceDialog(QWidget* parent = nullptr);

    QString ReplaceText() const;
    void SetReplaceText(const QString& text);
    QStringList ReplaceTextHistory() const;
    void SetReplaceTextHistory(const QStringList& history);
    void SetReplacePopupMenu(QMenu* menu);

protected:
    void UpdateHistories() override;

private:
    QComboBox* replaceText_ = nullptr;
};
