// The search dialog and the helpers both dialogs share.
#include "SciSearchTextDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr TSearchDialogTexts kSearchDialogTexts{
    u"查找对话框", u"设置", u"查找选中部分(&S)", u"方向", u"查找&F", u"Start search", u"关闭&C", u"Cancel search",
};

constexpr int kTextBoxMinimumCharacters = 32;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

QCheckBox* MakeCheckBox(const char16_t* caption, const char* objectName, QWidget* parent) {
    auto* box = new QCheckBox(Text(caption), parent);
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

QPushButton* MakeButton(const char16_t* caption, const char16_t* hint, const char* objectName, QWidget* parent) {
    auto* button = new QPushButton(Text(caption), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setToolTip(Text(hint));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

// ---- history boxes --------------------------------------------------------------------

void SciPushHistoryEntry(QStringList& history, const QString& text) {
    if (text.isEmpty()) return;
    history.removeIf([&](const QString& entry) { return entry.compare(text, Qt::CaseInsensitive) == 0; });
    history.prepend(text);
}

QComboBox* SciMakeHistoryBox(QWidget* parent, const char* objectName) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(kTextBoxMinimumCharacters);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // Completion keeps the letter case the user types, so that a text differing from a
    // history entry only in case stays as typed.
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);
    return box;
}

QLabel* SciMakeBoxLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

void SciPushHistoryEntry(QComboBox* box) {
    const QString text = box->currentText();
    if (text.isEmpty()) return;
    QStringList history = SciHistoryOf(box);
    SciPushHistoryEntry(history, text);
    SciSetHistory(box, history);
    box->setEditText(text);
}

QStringList SciHistoryOf(const QComboBox* box) {
    QStringList history;
    for (int i = 0; i < box->count(); ++i) history.append(box->itemText(i));
    return history;
}

void SciSetHistory(QComboBox* box, const QStringList& history) {
    const QString text = box->currentText();
    box->clear();
    box->addItems(history);
    box->setEditText(text);
}

void SciSetContextMenu(QComboBox* box, QMenu* menu) {
    QLineEdit* edit = box->lineEdit();
    edit->setContextMenuPolicy(menu ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    QObject::disconnect(edit, &QWidget::customContextMenuRequested, nullptr, nullptr);
    if (menu)
        QObject::connect(edit, &QWidget::customContextMenuRequested, menu,
                         [edit, menu](const QPoint& at) { menu->popup(edit->mapToGlobal(at)); });
}

// ---- the dialog -------------------------------------------------------------------------

TTextSearchDialog::TTextSearchDialog(QWidget* parent) : TTextSearchDialog(parent, kSearchDialogTexts) {}

TTextSearchDialog::TTextSearchDialog(QWidget* parent, const TSearchDialogTexts& texts)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(Text(texts.Caption));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    textRows_ = new QVBoxLayout;
    layout->addLayout(textRows_);
    BuildTextRow();
    auto* groups = new QHBoxLayout;
    groups->addWidget(BuildOptions(texts), 3);
    groups->addWidget(BuildDirection(texts), 2);
    layout->addLayout(groups);
    layout->addWidget(BuildButtons(texts));
    searchText_->setFocus();
}

void TTextSearchDialog::BuildTextRow() {
    searchText_ = SciMakeHistoryBox(this, "cbSearchText");
    textRows_->addWidget(SciMakeBoxLabel(QStringLiteral("查找内容(&S):"), searchText_));
    textRows_->addWidget(searchText_);
}

QGroupBox* TTextSearchDialog::BuildOptions(const TSearchDialogTexts& texts) {
    auto* group = new QGroupBox(Text(texts.OptionsTitle), this);
    group->setObjectName(QStringLiteral("gbSearchOptions"));
    caseSensitive_ = MakeCheckBox(u"区分大小写(&A)", "cbSearchCaseSensitive", group);
    wholeWords_ = MakeCheckBox(u"全字匹配(&W)", "cbSearchWholeWords", group);
    fromCaret_ = MakeCheckBox(u"循环搜索(&H)", "cbSearchFromCaret", group);
    selectedOnly_ = MakeCheckBox(texts.SelectionOnly, "cbSearchSelectedOnly", group);
    regularExpression_ = MakeCheckBox(u"正则表达式(&E)", "cbRegularExpression", group);
    fromCaret_->setChecked(true);
    auto* column = new QVBoxLayout(group);
    for (QCheckBox* box : {caseSensitive_, wholeWords_, fromCaret_, selectedOnly_, regularExpression_})
        column->addWidget(box);
    connect(regularExpression_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) forward_->setChecked(true);
    });
    return group;
}

QGroupBox* TTextSearchDialog::BuildDirection(const TSearchDialogTexts& texts) {
    auto* group = new QGroupBox(Text(texts.DirectionTitle), this);
    group->setObjectName(QStringLiteral("rgSearchDirection"));
    forward_ = new QRadioButton(QStringLiteral("向下(&D)"), group);
    forward_->setObjectName(QStringLiteral("rbForward"));
    backward_ = new QRadioButton(QStringLiteral("向上(&U)"), group);
    backward_->setObjectName(QStringLiteral("rbBackward"));
    forward_->setChecked(true);
    auto* column = new QVBoxLayout(group);
    column->addWidget(forward_);
    column->addWidget(backward_);
    column->addStretch();
    return group;
}

QWidget* TTextSearchDialog::BuildButtons(const TSearchDialogTexts& texts) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    QPushButton* search = MakeButton(texts.SearchButton, texts.SearchHint, "btnOK", row);
    QPushButton* cancel = MakeButton(texts.CancelButton, texts.CancelHint, "btnCancel", row);
    search->setDefault(true);
    layout->addStretch();
    layout->addWidget(search);
    layout->addWidget(cancel);
    connect(search, &QPushButton::clicked, this, [this] {
        UpdateHistories();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return row;
}

void TTextSearchDialog::UpdateHistories() { SciPushHistoryEntry(searchText_); }

bool TTextSearchDialog::SearchBackwards() const { return backward_->isChecked(); }
void TTextSearchDialog::SetSearchBackwards(bool on) { (on ? backward_ : forward_)->setChecked(true); }
bool TTextSearchDialog::SearchCaseSensitive() const { return caseSensitive_->isChecked(); }
void TTextSearchDialog::SetSearchCaseSensitive(bool on) { caseSensitive_->setChecked(on); }
bool TTextSearchDialog::SearchFromCaret() const { return fromCaret_->isChecked(); }
void TTextSearchDialog::SetSearchFromCaret(bool on) { fromCaret_->setChecked(on); }
bool TTextSearchDialog::SearchInSelection() const { return selectedOnly_->isChecked(); }
void TTextSearchDialog::SetSearchInSelection(bool on) { selectedOnly_->setChecked(on); }
bool TTextSearchDialog::SearchWholeWords() const { return wholeWords_->isChecked(); }
void TTextSearchDialog::SetSearchWholeWords(bool on) { wholeWords_->setChecked(on); }
bool TTextSearchDialog::SearchRegex() const { return regularExpression_->isChecked(); }
void TTextSearchDialog::SetSearchRegex(bool on) { regularExpression_->setChecked(on); }

QString TTextSearchDialog::SearchText() const { return searchText_->currentText(); }
void TTextSearchDialog::SetSearchText(const QString& text) { searchText_->setEditText(text); }
QStringList TTextSearchDialog::SearchTextHistory() const { return SciHistoryOf(searchText_); }
void TTextSearchDialog::SetSearchTextHistory(const QStringList& history) { SciSetHistory(searchText_, history); }
void TTextSearchDialog::SetSearchPopupMenu(QMenu* menu) { SciSetContextMenu(searchText_, menu); }
