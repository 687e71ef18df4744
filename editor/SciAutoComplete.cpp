// Auto-completion: when a list opens, how the document list and the fixed list are built.
#include "SciAutoComplete.h"

#include <algorithm>

namespace {

using B = QsciScintillaBase;

struct OptionRow {
    unsigned Get;
    unsigned Set;
    bool Initial;  // the control's own value
};

constexpr OptionRow kOptions[acoCount] = {
    {B::SCI_AUTOCGETIGNORECASE, B::SCI_AUTOCSETIGNORECASE, false},
    {B::SCI_AUTOCGETCHOOSESINGLE, B::SCI_AUTOCSETCHOOSESINGLE, false},
    {B::SCI_AUTOCGETAUTOHIDE, B::SCI_AUTOCSETAUTOHIDE, true},
    {B::SCI_AUTOCGETDROPRESTOFWORD, B::SCI_AUTOCSETDROPRESTOFWORD, false},
    {B::SCI_AUTOCGETCANCELATSTART, B::SCI_AUTOCSETCANCELATSTART, true},
};

// The main window's values of the five options, in the same order.
constexpr bool kMainWindowOptions[acoCount] = {false, false, true, false, true};

// The asm lexer's comment style.
constexpr int kCommentStyle = 1;

bool Contains(const QByteArray& set, int ch) { return ch > 0 && ch < 256 && set.contains(char(ch)); }

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// "12a": every character before the one just typed is a digit.
bool OnlyDigitsBeforeTyped(const QByteArray& word) { return std::all_of(word.begin(), word.end() - 1, IsDigit); }

// The style of the character before the caret. The control styles lazily, so the
// characters up to the caret are styled first; a character just typed would otherwise
// still carry the default style.
int StyleBeforeCaret(TScintillaBase& editor, int caret) {
    editor.StyleTo(caret);
    return int(editor.Send(B::SCI_GETSTYLEAT, caret - 1));
}

}  // namespace

TSciAutoComplete::TSciAutoComplete(QObject* parent) : QObject(parent) {
    for (int i = 0; i < acoCount; ++i) options_[i] = kOptions[i].Initial;
    charAddedProc_.Proc = [this](TScintillaBase*, int ch) { CharAdded(ch); };
    autoCSelectionProc_.Proc = [this](TScintillaBase* sender, const QByteArray& text) {
        if (OnAutoCSelection) OnAutoCSelection(sender, text);
    };
    autoCCancelledProc_.Proc = [this](TScintillaBase* sender) {
        if (OnAutoCCancelled) OnAutoCCancelled(sender);
    };
}

TSciAutoComplete::~TSciAutoComplete() { SetEditor(nullptr); }

// ---- properties ---------------------------------------------------------------------------

void TSciAutoComplete::SetEditor(TScintillaMemo* editor) {
    if (editor_) {
        TSciController& controller = editor_->Controller();
        controller.Remove(&charAddedProc_);
        controller.Remove(&autoCSelectionProc_);
        controller.Remove(&autoCCancelledProc_);
    }
    editor_ = editor;
    if (!editor) return;
    TSciController& controller = editor->Controller();
    controller.Add(&charAddedProc_);
    controller.Add(&autoCSelectionProc_);
    controller.Add(&autoCCancelledProc_);
    if (WordCharacters.isEmpty()) WordCharacters = editor->WordChars();
}

void TSciAutoComplete::SetStopChars(const QByteArray& chars) {
    stopChars_ = chars;
    if (editor_) editor_->AutoCStops(chars);
}

void TSciAutoComplete::SetAStrings(const QStringList& words) {
    aStrings_ = words;
    aStrings_.sort(Qt::CaseInsensitive);
}

bool TSciAutoComplete::Option(TSciAutoCOption option) const {
    return editor_ ? editor_->Send(kOptions[option].Get) != 0 : options_[option];
}

void TSciAutoComplete::SetOption(TSciAutoCOption option, bool on) {
    options_[option] = on;
    if (editor_) editor_->Send(kOptions[option].Set, on);
}

char TSciAutoComplete::TypeSeparator() const { return editor_ ? char(editor_->AutoCTypeSeparator()) : typeSeparator_; }

void TSciAutoComplete::SetTypeSeparator(char separator) {
    typeSeparator_ = separator;
    if (editor_) editor_->SetAutoCTypeSeparator(uchar(separator));
}

int TSciAutoComplete::MaxWidth() const { return editor_ ? editor_->AutoCMaxWidth() : maxWidth_; }

void TSciAutoComplete::SetMaxWidth(int characters) {
    maxWidth_ = characters;
    if (editor_) editor_->SetAutoCMaxWidth(characters);
}

int TSciAutoComplete::MaxHeight() const { return editor_ ? editor_->AutoCMaxHeight() : maxHeight_; }

void TSciAutoComplete::SetMaxHeight(int rows) {
    maxHeight_ = rows;
    if (editor_) editor_->SetAutoCMaxHeight(rows);
}

void TSciAutoComplete::Loaded() {
    if (!editor_) return;
    for (int i = 0; i < acoCount; ++i) editor_->Send(kOptions[i].Set, options_[i]);
    editor_->AutoCStops(stopChars_);
}

// ---- when a list opens ----------------------------------------------------------------------

bool TSciAutoComplete::IsEditorWordChar(int ch) const { return Contains(editor_->WordChars(), ch); }

void TSciAutoComplete::CharAdded(int ch) {
    TScintillaMemo* editor = editor_;
    if (Disabled || !editor || editor->SelLength() != 0) return;
    const int caret = editor->GetCurrentPos();
    if (caret == 0 || StyleBeforeCaret(*editor, caret) == kCommentStyle || editor->CallTipActive()) return;
    const bool wordChar = IsEditorWordChar(ch);
    const bool startChar = Contains(StartChars, ch);
    if (editor->AutoCActive()) {
        if (wordChar) {
            // The control filters a fixed list itself; a document list is built anew.
            if (listFromDocument_) ShowDocumentList();
            return;
        }
        editor->AutoCCancel();
        if (startChar || !FromDocument) ShowFixedList();
        return;
    }
    listFromDocument_ = false;
    if (startChar || (wordChar && !FromDocument)) {
        ShowFixedList();
    } else if (wordChar) {
        ShowDocumentList();
        listFromDocument_ = editor->AutoCActive();
    }
}

bool TSciAutoComplete::CancelledBeforeShow(const QStringList* words, int typedLength) {
    bool cancel = false;
    if (OnBeforeShow) OnBeforeShow(this, editor_->GetCurrentPos(), cancel, words, typedLength);
    return cancel;
}

// ---- the document list ------------------------------------------------------------------

void TSciAutoComplete::ShowDocumentList() {
    TScintillaMemo& editor = *editor_;
    const QByteArray line = editor.GetLineText(-1);
    const int column = editor.CaretColumn();
    if (column < 1 || column > line.size()) return;
    int start = column - 1;  // the character just typed always belongs to the word
    while (start > 0 && IsEditorWordChar(uchar(line[start - 1]))) --start;
    const QByteArray word = line.mid(start, column - start);
    if (word.size() <= 1 || OnlyDigitsBeforeTyped(word) || CancelledBeforeShow(nullptr, int(word.size()))) return;
    bool ambiguous = false;
    int longest = 0;
    const QByteArray list = DocumentCandidates(word, ambiguous, longest);
    if (ambiguous) return;
    if (word.size() < NumStartChars || (FromDocumentOnlyOne && longest <= word.size()))
        editor.AutoCCancel();
    else
        editor.AutoCShow(int(word.size()), list);
}

// The words of the document that begin with `word` and are longer, in order of first
// occurrence, separated by single spaces. With FromDocumentOnlyOne a second distinct
// candidate sets `ambiguous` and ends the search.
QByteArray TSciAutoComplete::DocumentCandidates(const QByteArray& word, bool& ambiguous, int& longest) {
    TScintillaMemo& editor = *editor_;
    const int flags = B::SCFIND_WORDSTART | (editor.AutoCIgnoreCase() ? 0 : B::SCFIND_MATCHCASE);
    const int documentEnd = editor.GetTextLength();
    const int ownPosition = editor.GetCurrentPos() - int(word.size());
    QByteArray list;
    int from = 0;
    while (true) {
        const int hit = editor.FindText(flags, from, documentEnd, word);
        if (hit < 0 || hit >= documentEnd) break;
        if (hit == ownPosition) {
            from = hit + int(word.size());
            continue;
        }
        const QByteArray candidate = CandidateAt(hit, int(word.size()), documentEnd);
        if (candidate.size() > word.size() && !(' ' + list + ' ').contains(' ' + candidate + ' ')) {
            if (FromDocumentOnlyOne && !list.isEmpty()) {
                ambiguous = true;
                return {};
            }
            if (!list.isEmpty()) list += ' ';
            list += candidate;
            longest = std::max(longest, int(candidate.size()));
        }
        from = hit + int(candidate.size());
    }
    return list;
}

// The word found at `hit`, extended past the typed part while the characters are
// WordCharacters, within the candidate window.
QByteArray TSciAutoComplete::CandidateAt(int hit, int typedLength, int documentEnd) const {
    const QByteArray window = editor_->GetTextRange(hit, std::min(hit + kSciCandidateWindow, documentEnd));
    int end = std::min(typedLength, int(window.size()));
    while (end < window.size() && WordCharacters.contains(window[end])) ++end;
    return window.left(end);
}

// ---- the fixed list -----------------------------------------------------------------------

void TSciAutoComplete::ShowFixedList() {
    TScintillaMemo& editor = *editor_;
    const QByteArray line = editor.GetLineText(-1);
    const int column = editor.CaretColumn();
    if (column == 0 || column > line.size()) return;
    int start = column;
    while (start > 0 && (IsEditorWordChar(uchar(line[start - 1])) || Contains(StartChars, uchar(line[start - 1]))))
        --start;
    const QByteArray word = line.mid(start, column - start);
    if (word.size() < NumStartChars || CancelledBeforeShow(&aStrings_, int(word.size()))) return;
    const Qt::CaseSensitivity sensitivity = editor.AutoCIgnoreCase() ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QString typed = QString::fromUtf8(word);
    QStringList matching;
    for (const QString& entry : std::as_const(aStrings_)) {
        const qsizetype compared = std::min(entry.size(), typed.size());
        if (QStringView(entry).left(compared).compare(QStringView(typed).left(compared), sensitivity) == 0)
            matching.append(entry);
    }
    const QByteArray list = matching.join(QLatin1Char(' ')).trimmed().toUtf8();
    if (!list.isEmpty()) editor.AutoCShow(int(word.size()), list);
}

// ---- the main window's values -------------------------------------------------------------

void ApplyMainWindowAutoComplete(TSciAutoComplete& autoComplete, TScintillaMemo* editor) {
    autoComplete.SetEditor(editor);
    autoComplete.Disabled = false;
    autoComplete.NumStartChars = 1;
    autoComplete.StartChars.clear();
    autoComplete.SetStopChars({});
    autoComplete.SetAStrings({});
    for (int i = 0; i < acoCount; ++i) autoComplete.SetOption(TSciAutoCOption(i), kMainWindowOptions[i]);
    autoComplete.FromDocument = true;
    autoComplete.FromDocumentOnlyOne = false;
    autoComplete.SetTypeSeparator('?');
    autoComplete.WordCharacters = kSciDefaultWordChars;
    autoComplete.SetMaxWidth(0);
    autoComplete.SetMaxHeight(5);
    autoComplete.Loaded();
}
