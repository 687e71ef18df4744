// The search and replace component's state: the options and texts kept between uses,
// the histories, the events, and the operations its descendant provides.
#pragma once

#include "SciScintillaBase.h"

#include <QDialog>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class TSciSearchReplaceBase;

using TSciSearchReplaceEvent = std::function<void(TSciSearchReplaceBase* sender)>;

// The answers of the confirm dialog (the dialog results of its four buttons).
enum TSciReplaceAnswer { sraClose = 2, sraReplace = 6, sraSkip = 7, sraReplaceAll = 10 };

// How SearchReplace decides each replacement: ask, replace each one, replace all at once.
enum TSciReplaceMode { srmAsk = 0, srmReplace = 1, srmReplaceAll = 2 };

// Entries a history keeps.
constexpr int kSciHistorySize = 10;

class TSciSearchReplaceBase : public QObject {
public:
    explicit TSciSearchReplaceBase(QObject* parent = nullptr) : QObject(parent) {}

    // ---- options and texts ---------------------------------------------------------
    bool SearchBackwards = false;
    bool SearchCaseSensitive = false;
    bool SearchFromCaret = true;
    bool SearchSelectionOnly = false;
    bool SearchWholeWords = false;
    bool SearchRegex = false;
    // The texts as typed; the control receives them as UTF-8.
    QString SearchText;
    QString ReplaceText;
    // The dialogs start with the word at the caret instead of SearchText.
    bool SearchForSelWord = false;
    // Optional context menus of the two text boxes; cleared when the menu is freed.
    QPointer<QMenu> SearchPopupMenu;
    QPointer<QMenu> ReplacePopupMenu;

    int ReplacedCount() const { return replacedCount_; }

    // The reference clears itself when the editor is destroyed.
    TScintillaBase* Editor() const { return editor_; }
    void SetEditor(TScintillaBase* editor) { editor_ = editor; }

    // ---- events (none by default) ------------------------------------------------------
    TSciSearchReplaceEvent OnTextFound;
    TSciSearchReplaceEvent OnTextNotFound;
    TSciSearchReplaceEvent OnTextReplaced;
    TSciSearchReplaceEvent BeforeShow;
    TSciSearchReplaceEvent AfterShow;

    // ---- state that is not published -------------------------------------------------
    // Newest first, at most kSciHistorySize entries each.
    const QStringList& SearchHistory() const { return searchHistory_; }
    const QStringList& ReplaceHistory() const { return replaceHistory_; }
    // The text of the last match, as the control held it.
    const QString& LastFoundText() const { return lastFoundText_; }
    // The dialog being shown, or none.
    QDialog* OpenDialog() const { return openDialog_; }

    // ---- operations, in slot order ---------------------------------------------------------
    // Asks about the replacement of the current match; one of TSciReplaceAnswer.
    virtual int ConfirmReplace() = 0;
    virtual void DoBeforeShow();
    virtual void DoAfterShow();
    // Searches with the stored options; with `replace`, replaces as `mode` says.
    virtual void SearchReplace(bool replace, bool backwards, int mode) = 0;
    virtual void ShowSearchDialog() = 0;
    virtual void ShowReplaceDialog() = 0;

protected:
    // The search flags of the stored options.
    int SearchFlags() const;

    int replacedCount_ = 0;
    QStringList searchHistory_;
    QStringList replaceHistory_;
    QString lastFoundText_;
    QPointer<QDialog> openDialog_;

private:
    QPointer<TScintillaBase> editor_;
};
