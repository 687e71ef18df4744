// Auto-completion: while the user types, offers the words that complete the word being
// typed, taken from the document or from a fixed list, in the control's own list.
#pragma once

#include "SciControllerHandler.h"
#include "SciScintillaMemo.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class TSciAutoComplete;

// Before a list is shown: the caret position, a flag that cancels the list, the fixed
// word list (none for the document list) and the length of the typed word.
using TSciBeforeShowEvent = std::function<void(TSciAutoComplete* sender, int position, bool& cancel,
                                               const QStringList* words, int typedLength)>;

// The list options that the control keeps, in the order they are sent after loading.
enum TSciAutoCOption { acoIgnoreCase, acoChooseSingle, acoAutoHide, acoDropRestOfWord, acoCancelAtStart, acoCount };

// Longest stretch of text read at a document hit when a candidate is extended.
constexpr int kSciCandidateWindow = 77;

class TSciAutoComplete : public QObject {
public:
    explicit TSciAutoComplete(QObject* parent = nullptr);
    // Removes its handler objects from the editor's controller.
    ~TSciAutoComplete() override;

    bool Disabled = false;
    // Shortest typed word for which a list is shown.
    int NumStartChars = 1;
    // Characters that open the fixed list.
    QByteArray StartChars;
    bool FromDocument = true;
    // Show a document list only when exactly one candidate exists.
    bool FromDocumentOnlyOne = false;
    // Characters that extend a candidate found in the document.
    QByteArray WordCharacters;

    const QByteArray& StopChars() const { return stopChars_; }
    void SetStopChars(const QByteArray& chars);
    // The fixed word list, kept sorted without regard to case.
    const QStringList& AStrings() const { return aStrings_; }
    void SetAStrings(const QStringList& words);

    // Kept here while no editor is set, read from the control otherwise; a change with
    // an editor is sent at once.
    bool Option(TSciAutoCOption option) const;
    void SetOption(TSciAutoCOption option, bool on);
    bool IgnoreCase() const { return Option(acoIgnoreCase); }
    void SetIgnoreCase(bool on) { SetOption(acoIgnoreCase, on); }
    bool ChooseSingle() const { return Option(acoChooseSingle); }
    void SetChooseSingle(bool on) { SetOption(acoChooseSingle, on); }
    bool AutoHide() const { return Option(acoAutoHide); }
    void SetAutoHide(bool on) { SetOption(acoAutoHide, on); }
    bool DropRestOfWord() const { return Option(acoDropRestOfWord); }
    void SetDropRestOfWord(bool on) { SetOption(acoDropRestOfWord, on); }
    bool CancelAtStart() const { return Option(acoCancelAtStart); }
    void SetCancelAtStart(bool on) { SetOption(acoCancelAtStart, on); }

    // These go straight to the control when an editor is set.
    char TypeSeparator() const;
    void SetTypeSeparator(char separator);
    int MaxWidth() const;
    void SetMaxWidth(int characters);
    int MaxHeight() const;
    void SetMaxHeight(int rows);

    TScintillaMemo* Editor() const { return editor_; }
    // Moves the handler objects from the previous editor's controller to the new one's;
    // an empty WordCharacters takes the editor's WordChars. The reference clears itself
    // when the editor is destroyed.
    void SetEditor(TScintillaMemo* editor);

    TSciBeforeShowEvent OnBeforeShow;
    TSciTextEvent OnAutoCSelection;
    TSciNotifyEvent OnAutoCCancelled;

    // With an editor: sends the five options in their order, then StopChars.
    void Loaded();

private:
    void CharAdded(int ch);
    bool IsEditorWordChar(int ch) const;
    bool CancelledBeforeShow(const QStringList* words, int typedLength);
    void ShowDocumentList();
    QByteArray DocumentCandidates(const QByteArray& word, bool& ambiguous, int& longest);
    QByteArray CandidateAt(int hit, int typedLength, int documentEnd) const;
    void ShowFixedList();

    QPointer<TScintillaMemo> editor_;
    QByteArray stopChars_;
    QStringList aStrings_;
    bool options_[acoCount];
    char typeSeparator_ = '?';
    int maxWidth_ = 0;
    int maxHeight_ = 5;
    bool listFromDocument_ = false;

    TCharAddedProc charAddedProc_;
    TAutoCSelectionProc autoCSelectionProc_;
    TAutoCCancelledProc autoCCancelledProc_;
};

// The main window's completion settings, bound to its editor, then Loaded().
void ApplyMainWindowAutoComplete(TSciAutoComplete& autoComplete, TScintillaMemo* editor);
