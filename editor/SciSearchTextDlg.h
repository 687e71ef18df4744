// The search dialog "查找对话框": the search text with its history, five options and
// the direction. The replace dialog builds on it.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

// Puts `text` at the top of `history`, removing an entry that differs only in case;
// an empty text changes nothing.
void SciPushHistoryEntry(QStringList& history, const QString& text);

// The texts in which the search and the replace dialog differ.
struct TSearchDialogTexts {
    const char16_t* Caption;
    const char16_t* OptionsTitle;
    const char16_t* SelectionOnly;
    const char16_t* DirectionTitle;
    const char16_t* SearchButton;
    const char16_t* SearchHint;
    const char16_t* CancelButton;
    const char16_t* CancelHint;
};

// A fixed-size dialog with the system menu only. Its controls carry object names
// (cbSearchText, cbSearchCaseSensitive, cbSearchWholeWords, cbSearchFromCaret,
// cbSearchSelectedOnly, cbRegularExpression, rbForward, rbBackward, btnOK, btnCancel).
// The search button updates the histories, then closes with Accepted.
class TTextSearchDialog : public QDialog {
public:
    explicit TTextSearchDialog(QWidget* parent = nullptr);

    bool SearchBackwards() const;
    void SetSearchBackwards(bool on);
    bool SearchCaseSensitive() const;
    void SetSearchCaseSensitive(bool on);
    bool SearchFromCaret() const;
    void SetSearchFromCaret(bool on);
    bool SearchInSelection() const;
    void SetSearchInSelection(bool on);
    bool SearchWholeWords() const;
    void SetSearchWholeWords(bool on);
    // Checking the box turns the direction to forward.
    bool SearchRegex() const;
    void SetSearchRegex(bool on);

    QString SearchText() const;
    void SetSearchText(const QString& text);
    // The drop-down list of the search text box, newest first.
    QStringList SearchTextHistory() const;
    void SetSearchTextHistory(const QStringList& history);
    void SetSearchPopupMenu(QMenu* menu);

protected:
    TTextSearchDialog(QWidget* parent, const TSearchDialogTexts& texts);

    // The column of labelled text boxes; the replace dialog adds its own row.
    QVBoxLayout* TextRows() const { return textRows_; }
    QComboBox* SearchTextBox() const { return searchText_; }
    // Called by the search button before the dialog closes.
    virtual void UpdateHistories();

private:
    void BuildTextRow();
    QGroupBox* BuildOptions(const TSearchDialogTexts& texts);
    QGroupBox* BuildDirection(const TSearchDialogTexts& texts);
    QWidget* BuildButtons(const TSearchDialogTexts& texts);

    QVBoxLayout* textRows_ = nullptr;
    QComboBox* searchText_ = nullptr;
    QCheckBox* caseSensitive_ = nullptr;
    QCheckBox* wholeWords_ = nullptr;
    QCheckBox* fromCaret_ = nullptr;
    QCheckBox* selectedOnly_ = nullptr;
    QCheckBox* regularExpression_ = nullptr;
    QRadioButton* forward_ = nullptr;
    QRadioButton* backward_ = nullptr;
};

// Shared by both dialogs: an editable history box under its label, and the history
// upkeep of such a box.
QComboBox* SciMakeHistoryBox(QWidget* parent, const char* objectName);
QLabel* SciMakeBoxLabel(const QString& text, QWidget* buddy);
void SciPushHistoryEntry(QComboBox* box);
QStringList SciHistoryOf(const QComboBox* box);
void SciSetHistory(QComboBox* box, const QStringList& history);
void SciSetContextMenu(QComboBox* box, QMenu* menu);
