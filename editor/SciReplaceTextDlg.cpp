// The replace dialog: the search dialog's layout with its own texts and a replace box.
#include "SciReplaceTextDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr TSearchDialogTexts kReplaceDialogTexts{
    u"查找替换",           u"  设   置  ",
    u"只查找选中部分(&S)", u"  方  向  ",
    u"替换(&R)",           u"Start search and replace",
    u"关闭(&C)",           u"Cancel search and replace",
};

}  // namespace

TTextReplaceDialog::TTextReplaceDialog(QWidget* parent) : TTextSearchDialog(parent, kReplaceDialogTexts) {
    replaceText_ = SciMakeHistoryBox(this, "cbReplaceText");
    TextRows()->addWidget(SciMakeBoxLabel(QStringLiteral("替换内容(&R):"), replaceText_));
    TextRows()->addWidget(replaceText_);
    setTabOrder(SearchTextBox(), replaceText_);
}

void TTextReplaceDialog::UpdateHistories() {
    TTextSearchDialog::UpdateHistories();
    SciPushHistoryEntry(replaceText_);
}

QString TTextReplaceDialog::ReplaceText() const { return replaceText_->currentText(); }
void TTextReplaceDialog::SetReplaceText(const QString& text) { replaceText_->setEditText(text); }
QStringList TTextReplaceDialog::ReplaceTextHistory() const { return SciHistoryOf(replaceText_); }
void TTextReplaceDialog::SetReplaceTextHistory(const QStringList& history) { SciSetHistory(replaceText_, history); }
void TTextReplaceDialog::SetReplacePopupMenu(QMenu* menu) { SciSetContextMenu(replaceText_, menu); }
