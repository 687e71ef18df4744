// Find, find-next and replace in an editor through the control's target search, with
// the search, replace and confirm dialogs.
#pragma once

#include "SciSearchReplaceBase.h"

#include <QByteArray>

class TTextSearchDialog;

class TSciSearchReplace : public TSciSearchReplaceBase {
public:
    explicit TSciSearchReplace(QObject* parent = nullptr) : TSciSearchReplaceBase(parent) {}

    // Shows the confirm dialog beside the current match (the target).
    int ConfirmReplace() override;
    // Without an editor or with an empty SearchText nothing happens. A match is made
    // visible and selected; without a match only OnTextNotFound is called.
    void SearchReplace(bool replace, bool backwards, int mode) override;
    // Both do nothing without an editor.
    void ShowSearchDialog() override;
    void ShowReplaceDialog() override;

protected:
    // Shows a dialog modally and returns its result; the one place where the
    // component waits for the user.
    virtual int ExecuteDialog(QDialog& dialog);

private:
    // ExecuteDialog with the dialog remembered as the open dialog meanwhile.
    int RunDialog(QDialog& dialog);

    // The searched range: `start` to `end`, with start > end for a backward search.
    struct Range {
        int Start = 0;
        int End = 0;
    };
    // One search as SearchReplace runs it, the texts already in the control's UTF-8.
    struct Search {
        QByteArray Text;
        QByteArray Replacement;
        int Flags = 0;
        bool Backwards = false;
        Range Searched;
    };

    Range SearchRange(bool backwards) const;
    int FindInTarget(const Search& search, int from, int to) const;
    void ShowMatch();
    void ReplaceMatches(Search& search, int mode);
    int Answer(int previous, int mode, bool& undoGroupOpen);
    void SelectSearchedRange(const Search& search);

    void FillSearchDialog(TTextSearchDialog& dialog);
    void TakeSearchDialog(const TTextSearchDialog& dialog);
};
