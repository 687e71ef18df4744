// Find, find-next and replace: ranges, target search, the replacement loop and the dialogs.
#include "SciSearchReplace.h"

#include "SciConfirmReplaceDlg.h"
#include "SciReplaceTextDlg.h"
#include "SciScintillaBase.h"

#include <algorithm>

namespace {

bool IsLineEndChar(int ch) { return ch == '\n' || ch == '\r'; }

bool IsMultiLine(const QByteArray& text) { return text.contains('\n') || text.contains('\r'); }

}  // namespace

// ---- searching ----------------------------------------------------------------------------

// Forward from the caret the search starts one past the selection end, backward one
// before its start, so the match just found (or one touching the caret) is passed over.
TSciSearchReplace::Range TSciSearchReplace::SearchRange(bool backwards) const {
    const TScintillaBase& editor = *Editor();
    int selStart = 0, selEnd = 0;
    editor.GetSelection(selStart, selEnd);
    const int length = editor.GetTextLength();
    Range range;
    if (!backwards) {
        range.Start = SearchSelectionOnly ? selStart : SearchFromCaret ? selEnd + 1 : 0;
        range.End = SearchSelectionOnly ? selEnd : length;
    } else {
        range.Start = SearchSelectionOnly ? selEnd : SearchFromCaret ? selStart - 1 : length;
        range.End = SearchSelectionOnly ? selStart : 0;
    }
    // A start outside the text would turn the direction of the target search around.
    range.Start = std::clamp(range.Start, 0, length);
    return range;
}

int TSciSearchReplace::FindInTarget(const Search& search, int from, int to) const {
    TScintillaBase& editor = *Editor();
    editor.SetTargetStart(from);
    editor.SetTargetEnd(to);
    editor.SetSearchFlags(search.Flags);
    return editor.SearchInTarget(search.Text);
}

// The match is the target: its lines are unfolded, it is selected and its text kept.
void TSciSearchReplace::ShowMatch() {
    TScintillaBase& editor = *Editor();
    const int start = editor.GetTargetStart();
    const int end = editor.GetTargetEnd();
    editor.EnsureRangeVisible(start, end);
    editor.SetSel(start, end);
    lastFoundText_ = QString::fromUtf8(editor.SelectedText());
    if (OnTextFound) OnTextFound(this);
}

void TSciSearchReplace::SearchReplace(bool replace, bool backwards, int mode) {
    if (!Editor() || SearchText.isEmpty()) return;
    Search search;
    search.Text = SearchText.toUtf8();
    search.Replacement = ReplaceText.toUtf8();
    search.Flags = SearchFlags();
    search.Backwards = backwards;
    search.Searched = SearchRange(backwards);
    if (FindInTarget(search, search.Searched.Start, search.Searched.End) < 0) {
        if (OnTextNotFound) OnTextNotFound(this);
        return;
    }
    ShowMatch();
    if (replace) ReplaceMatches(search, mode);
}

// ---- replacing ------------------------------------------------------------------------------

// The answer for the current match; the first replace-all opens the undo group.
int TSciSearchReplace::Answer(int previous, int mode, bool& undoGroupOpen) {
    if (previous == sraReplaceAll) return previous;
    const int answer = mode == srmReplace ? sraReplace : mode == srmReplaceAll ? sraReplaceAll : ConfirmReplace();
    if (!Editor()) return sraClose;
    if (answer == sraReplaceAll && !undoGroupOpen) {
        Editor()->BeginUndoAction();
        undoGroupOpen = true;
    }
    return answer;
}

// Replaces the current match and the following ones in the searched range as the
// answers say. The end of a forward range (the start of a backward one) moves with the
// text replaced before it, so the range keeps covering the same text.
void TSciSearchReplace::ReplaceMatches(Search& search, int mode) {
    replacedCount_ = 0;
    Range& range = search.Searched;
    int answer = sraReplace;
    bool undoGroupOpen = false;
    bool found = true;
    while (found && answer != sraClose) {
        TScintillaBase& editor = *Editor();
        const int matchStart = editor.GetTargetStart();
        const int matchEnd = editor.GetTargetEnd();
        const bool empty = matchStart == matchEnd;
        const bool stepOverLineEnd = empty && IsLineEndChar(editor.GetCharAt(matchEnd));
        answer = Answer(answer, mode, undoGroupOpen);
        int restart = 0;
        int growth = 0;
        if (answer == sraReplace || answer == sraReplaceAll) {
            const int replaced =
                SearchRegex ? editor.ReplaceTargetRE(search.Replacement) : editor.ReplaceTarget(search.Replacement);
            ++replacedCount_;
            growth = replaced - (matchEnd - matchStart);
            restart = matchStart + replaced + (stepOverLineEnd ? 1 : 0);
            if (empty) restart = editor.PositionAfter(restart);
            if (OnTextReplaced) OnTextReplaced(this);
        } else if (answer == sraSkip) {
            restart = matchEnd + 1;
        } else {
            break;
        }
        if (search.Backwards) {
            range.Start += growth;
            restart = matchStart - 1;
            found = restart > range.End && FindInTarget(search, restart, range.End) >= 0;
        } else {
            range.End += growth;
            found = restart < range.End && FindInTarget(search, restart, range.End) >= 0;
        }
        if (found) ShowMatch();
    }
    if (!Editor()) return;
    if (undoGroupOpen) Editor()->EndUndoAction();
    if (SearchSelectionOnly) SelectSearchedRange(search);
}

void TSciSearchReplace::SelectSearchedRange(const Search& search) {
    // Backward ranges run from their end (the lower position) to their start.
    const Range& range = search.Searched;
    const int anchor = search.Backwards ? range.End : range.Start;
    const int caret = search.Backwards ? range.Start : range.End;
    Editor()->SetSel(anchor, caret);
    Editor()->EnsureRangeVisible(anchor, caret);
}

// ---- dialogs ----------------------------------------------------------------------------

int TSciSearchReplace::ExecuteDialog(QDialog& dialog) { return dialog.exec(); }

int TSciSearchReplace::RunDialog(QDialog& dialog) {
    openDialog_ = &dialog;
    const int result = ExecuteDialog(dialog);
    openDialog_ = nullptr;
    return result;
}

int TSciSearchReplace::ConfirmReplace() {
    TScintillaBase* editor = Editor();
    if (!editor) return sraClose;
    const int matchStart = editor->GetTargetStart();
    QWidget* client = editor->viewport();
    const QPoint match =
        client->mapToGlobal(QPoint(editor->PointXFromPosition(matchStart), editor->PointYFromPosition(matchStart)));
    const QRect area(client->mapToGlobal(QPoint(0, 0)), client->size());
    TConfirmReplaceDialog dialog(editor->window());
    dialog.PrepareShow(area, match, editor->TextHeight(editor->LineFromPosition(matchStart)), SearchText);
    return RunDialog(dialog);
}

void TSciSearchReplace::FillSearchDialog(TTextSearchDialog& dialog) {
    const TScintillaBase& editor = *Editor();
    dialog.SetSearchBackwards(SearchBackwards);
    dialog.SetSearchCaseSensitive(SearchCaseSensitive);
    dialog.SetSearchFromCaret(SearchFromCaret);
    // The selection decides the box, not the stored option: a selection over several
    // lines is what the user wants to search in.
    dialog.SetSearchInSelection(IsMultiLine(editor.SelectedText()));
    QString text = SearchText;
    if (SearchForSelWord && !dialog.SearchInSelection()) {
        const QByteArray word = editor.WordAtCaret();
        if (!word.isEmpty()) text = QString::fromUtf8(word);
    }
    dialog.SetSearchTextHistory(searchHistory_);
    dialog.SetSearchText(text);
    dialog.SetSearchWholeWords(SearchWholeWords);
    dialog.SetSearchRegex(SearchRegex);
    dialog.SetSearchPopupMenu(SearchPopupMenu);
}

void TSciSearchReplace::TakeSearchDialog(const TTextSearchDialog& dialog) {
    SearchBackwards = dialog.SearchBackwards();
    SearchCaseSensitive = dialog.SearchCaseSensitive();
    SearchFromCaret = dialog.SearchFromCaret();
    SearchSelectionOnly = dialog.SearchInSelection();
    SearchWholeWords = dialog.SearchWholeWords();
    SearchRegex = dialog.SearchRegex();
    SearchText = dialog.SearchText();
    searchHistory_ = dialog.SearchTextHistory().mid(0, kSciHistorySize);
}

void TSciSearchReplace::ShowSearchDialog() {
    if (!Editor()) return;
    TTextSearchDialog dialog(Editor()->window());
    FillSearchDialog(dialog);
    DoBeforeShow();
    if (RunDialog(dialog) != QDialog::Accepted) return;
    DoAfterShow();
    TakeSearchDialog(dialog);
    if (!SearchText.isEmpty()) SearchReplace(false, SearchBackwards, srmAsk);
    SearchSelectionOnly = false;
}

void TSciSearchReplace::ShowReplaceDialog() {
    if (!Editor()) return;
    TTextReplaceDialog dialog(Editor()->window());
    FillSearchDialog(dialog);
    dialog.SetReplaceTextHistory(replaceHistory_);
    dialog.SetReplaceText(ReplaceText);
    dialog.SetReplacePopupMenu(ReplacePopupMenu);
    DoBeforeShow();
    if (RunDialog(dialog) != QDialog::Accepted) return;
    DoAfterShow();
    TakeSearchDialog(dialog);
    ReplaceText = dialog.ReplaceText();
    replaceHistory_ = dialog.ReplaceTextHistory().mid(0, kSciHistorySize);
    if (!SearchText.isEmpty()) SearchReplace(true, SearchBackwards, srmAsk);
    SearchSelectionOnly = false;
}
