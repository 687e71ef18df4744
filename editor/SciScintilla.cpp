// Folding through the fold margin, brace highlighting, tag closing, language binding.
#include "SciScintilla.h"

namespace {

constexpr int kFoldMargin = 2;
constexpr int kFoldMarginWidth = 14;
constexpr unsigned long kFolderMarkersMask = 0xFE000000;
constexpr int kLexerPython = QsciScintillaBase::SCLEX_PYTHON;
constexpr int kLexerHtml = QsciScintillaBase::SCLEX_HTML;
constexpr int kLexerXml = QsciScintillaBase::SCLEX_XML;
constexpr int kTagLookBehind = 511;

// The lexer properties each folding flag switches, in the order they are sent.
struct FoldProperty {
    TSciFoldingFlag Flag;
    const char* Name;
};

constexpr FoldProperty kFoldProperties[] = {
    {foldCompact, "fold.compact"},
    {foldComment, "fold.comment"},
    {foldPreprocessor, "fold.preprocessor"},
    {foldAtElse, "fold.at.else"},
    {foldHTML, "fold.html"},
    {foldHTMLPreProcessor, "fold.html.preprocessor"},
    {foldCommentPython, "fold.python.comment"},
    {foldQuotesPython, "fold.quotes.python"},
};

bool IsHeader(int level) { return (level & kSciFoldLevelHeaderFlag) != 0; }

bool IsBrace(int ch) { return ch != 0 && QByteArrayView("[](){}").contains(char(ch)); }

}  // namespace

TScintilla::TScintilla(QWidget* parent) : TScintillaMemo(parent) {}

TScintilla::~TScintilla() = default;

void TScintilla::Loaded() {
    TScintillaMemo::Loaded();
    if (languageManager_ && !selectedLanguage_.isEmpty()) languageManager_->ApplyLanguage(*this, selectedLanguage_);
}

// ---- language -------------------------------------------------------------------------

void TScintilla::SetLanguageManager(TSciLanguageManager* manager) {
    if (manager == languageManager_) return;
    languageManager_ = manager;
    if (!selectedLanguage_.isEmpty()) SetSelectedLanguage(selectedLanguage_);
}

void TScintilla::SetSelectedLanguage(const QString& name) {
    selectedLanguage_ = name.isEmpty() ? QStringLiteral("null") : name;
    if (languageManager_) languageManager_->ApplyLanguage(*this, selectedLanguage_);
}

void TScintilla::FontChanged() {
    if (languageManager_) languageManager_->BeginUpdate();
    TScintillaMemo::FontChanged();
    if (languageManager_) languageManager_->EndUpdate();
}

void TScintilla::ColorChanged() {
    if (languageManager_) languageManager_->BeginUpdate();
    TScintillaMemo::ColorChanged();
    if (languageManager_) languageManager_->EndUpdate();
}

// ---- the char-added chain: tag closing ----------------------------------------------

void TScintilla::DoCharAdded(int ch) {
    TScintillaMemo::DoCharAdded(ch);
    if (AutoCloseTags && ch == '>' && !AutoCActive() && !CallTipActive()) CloseTag();
}

// After "<name ...>" typed in HTML or XML, inserts "</name>" after the caret as one
// undo step. "<br/>" and comments get nothing.
void TScintilla::CloseTag() {
    const long lexer = Send(SCI_GETLEXER);
    if (lexer != kLexerHtml && lexer != kLexerXml) return;
    const int caret = GetCurrentPos();
    const QByteArray before = GetTextRange(std::max(0, caret - kTagLookBehind), caret);
    const qsizetype n = before.size();
    if (n < 3 || before[n - 2] == '/') return;
    qsizetype open = n - 2;
    while (open >= 0 && before[open] != '<' && before[open] != '>') --open;
    if (open < 0 || before[open] != '<') return;
    qsizetype end = open + 1;
    while (end < n && SciIsTagNameChar(uchar(before[end]))) ++end;
    const QByteArray name = before.mid(open + 1, end - open - 1);
    if (name.isEmpty()) return;
    BeginUndoAction();
    ReplaceSel("</" + name + ">");
    SetSel(caret, caret);
    EndUndoAction();
}

// ---- brace highlighting -----------------------------------------------------------

void TScintilla::DoUpdateUI() {
    if (BraceHilite) HighlightBraces();
    TScintillaMemo::DoUpdateUI();
}

// The brace before the caret, else the one at the caret, else -1. With the Python
// lexer a ":" counts as a brace too.
int TScintilla::BraceAtCaret(bool& isColon) const {
    const bool python = Send(SCI_GETLEXER) == kLexerPython;
    auto braceAt = [&](int pos) {
        const int ch = GetCharAt(pos);
        return IsBrace(ch) || (python && ch == ':');
    };
    const int caret = GetCurrentPos();
    int brace = -1;
    if (caret > 0 && braceAt(caret - 1))
        brace = caret - 1;
    else if (caret < GetTextLength() && braceAt(caret))
        brace = caret;
    isColon = brace >= 0 && GetCharAt(brace) == ':';
    return brace;
}

// The end of the last line of the fold block that a ":" opens.
int TScintilla::ColonBlockEnd(int colonPos) const {
    const int line = LineFromPosition(colonPos);
    const int last = int(Send(SCI_GETLASTCHILD, line, -1));
    return GetLineEndPosition(std::max(line, last));
}

void TScintilla::HighlightBraces() {
    bool isColon = false;
    const int brace = BraceAtCaret(isColon);
    int partner = -1;
    if (brace >= 0) partner = isColon ? ColonBlockEnd(brace) : int(Send(SCI_BRACEMATCH, brace, 0));
    if (brace >= 0 && partner < 0) {
        Send(SCI_BRACEBADLIGHT, brace);
        Send(SCI_SETHIGHLIGHTGUIDE, 0);
        return;
    }
    Send(SCI_BRACEHIGHLIGHT, brace, partner);
    int braceColumn = int(Send(SCI_GETCOLUMN, brace));
    int partnerColumn = int(Send(SCI_GETCOLUMN, partner));
    if (isColon) {
        const int line = LineFromPosition(brace);
        braceColumn = int(Send(SCI_GETLINEINDENTATION, line));
        const int nextIndent = int(Send(SCI_GETLINEINDENTATION, line + 1)) - IndentWidth();
        if (nextIndent > 1) braceColumn = nextIndent;
        if (partnerColumn == 0) partnerColumn = braceColumn;
    }
    Send(SCI_SETHIGHLIGHTGUIDE, std::min(braceColumn, partnerColumn));
}

// ---- folding ----------------------------------------------------------------------------

void TScintilla::SetFolding(TSciFolding folding) {
    folding_ = folding;
    if (!(folding & foldFold)) {
        SendStrings(SCI_SETPROPERTY, "fold", "0");
        Send(SCI_SETMARGINWIDTHN, kFoldMargin, 0);
        return;
    }
    Send(SCI_SETMARGINWIDTHN, kFoldMargin, kFoldMarginWidth);
    Send(SCI_SETMARGINSENSITIVEN, kFoldMargin, 1);
    SendStrings(SCI_SETPROPERTY, "fold", "1");
    for (const FoldProperty& property : kFoldProperties)
        SendStrings(SCI_SETPROPERTY, property.Name, (folding & property.Flag) ? "1" : "0");
    Send(SCI_SETMARGINMASKN, kFoldMargin, long(kFolderMarkersMask));
    Send(SCI_SETMODEVENTMASK, Send(SCI_GETMODEVENTMASK) | SC_MOD_CHANGEFOLD);
}

void TScintilla::SetFoldDrawFlags(TSciFoldDrawFlags flags) {
    foldDrawFlags_ = flags;
    const long above = long(flags & 0x0F) << 1;
    Send(SCI_SETFOLDFLAGS, above | ((flags & sciHexLevels) ? 64 : 0));
}

void TScintilla::DoMarginClick(int modifiers, int position, int margin) {
    if ((folding_ & foldFold) && margin == kFoldMargin) FoldMarginClick(modifiers, position);
    TScintillaMemo::DoMarginClick(modifiers, position, margin);
}

void TScintilla::FoldMarginClick(int modifiers, int position) {
    const bool shift = modifiers & kSciModShift;
    const bool ctrl = modifiers & kSciModCtrl;
    int line = LineFromPosition(position);
    if (shift && ctrl) {
        FoldAll();
        return;
    }
    const int level = GetFoldLevel(line);
    if (!IsHeader(level)) return;
    if (shift) {
        Send(SCI_SETFOLDEXPANDED, line, 1);
        Expand(line, true, true, 100, level);
    } else if (ctrl) {
        if (GetFoldExpanded(line)) {
            Send(SCI_SETFOLDEXPANDED, line, 0);
            Expand(line, false, true, 0, level);
        } else {
            Send(SCI_SETFOLDEXPANDED, line, 1);
            Expand(line, true, true, 100, level);
        }
    } else {
        ToggleFold(line);
    }
}

void TScintilla::Expand(int& line, bool doExpand, bool force, int levels, int level) {
    const int last =
        int(Send(SCI_GETLASTCHILD, line, level == -1 ? kSciFoldLevelNumberMask : level & kSciFoldLevelNumberMask));
    ++line;
    while (line <= last) {
        if (force)
            Send(levels > 0 ? SCI_SHOWLINES : SCI_HIDELINES, line, line);
        else if (doExpand)
            Send(SCI_SHOWLINES, line, line);
        const int lineLevel = level != -1 ? level : GetFoldLevel(line);
        if (!IsHeader(lineLevel)) {
            ++line;
            continue;
        }
        if (force) {
            Send(SCI_SETFOLDEXPANDED, line, levels > 1);
            Expand(line, doExpand, force, levels - 1, -1);
        } else if (doExpand) {
            if (!GetFoldExpanded(line)) Send(SCI_SETFOLDEXPANDED, line, 1);
            Expand(line, true, force, levels - 1, -1);
        } else {
            Expand(line, false, force, levels - 1, -1);
        }
    }
}

void TScintilla::FoldAll() {
    Send(SCI_COLOURISE, 0, -1);
    const int maxLine = GetLineCount();
    bool expanding = true;
    for (int line = 0; line < maxLine; ++line) {
        if (IsHeader(GetFoldLevel(line))) {
            expanding = !GetFoldExpanded(line);
            break;
        }
    }
    for (int line = 0; line < maxLine; ++line) {
        const int level = GetFoldLevel(line);
        if (IsHeader(level) && (level & kSciFoldLevelNumberMask) == kSciFoldLevelBase) {
            if (expanding) {
                Send(SCI_SETFOLDEXPANDED, line, 1);
                Expand(line, true, false, 0, level);
                --line;
            } else {
                const int lastChild = int(Send(SCI_GETLASTCHILD, line, -1));
                Send(SCI_SETFOLDEXPANDED, line, 0);
                if (lastChild > line) Send(SCI_HIDELINES, line + 1, lastChild);
            }
        }
    }
}

void TScintilla::DoModified(const TSciModification& m) {
    if (m.ModificationType & SC_MOD_CHANGEFOLD) {
        if (IsHeader(m.FoldLevelNow) && !IsHeader(m.FoldLevelPrev)) {
            Send(SCI_SETFOLDEXPANDED, m.Line, 1);
        } else if (!IsHeader(m.FoldLevelNow) && IsHeader(m.FoldLevelPrev) && !GetFoldExpanded(m.Line)) {
            int line = m.Line;
            Expand(line, true, false, 0, m.FoldLevelPrev);
        }
    }
    TScintillaMemo::DoModified(m);
}
