// Editing behaviour: the Lines adapter, option properties, keep-indent and auto-close.
#include "SciScintillaMemo.h"

#include <QKeyEvent>

#include <algorithm>

namespace {

bool IsModifierKey(int key) {
    return key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Shift || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

}  // namespace

// ---- TScintillaStrings ----------------------------------------------------------------

int TScintillaStrings::Count() const {
    const int lines = editor_->GetLineCount();
    const int lastStart = editor_->PositionFromLine(lines - 1);
    return editor_->GetLineEndPosition(lines - 1) == lastStart ? lines - 1 : lines;
}

QByteArray TScintillaStrings::Get(int index) const {
    if (index < 0 || index >= editor_->GetLineCount()) return {};
    return editor_->GetLineText(index);
}

void TScintillaStrings::Put(int index, const QByteArray& text) {
    if (index < 0 || index >= editor_->GetLineCount()) return;
    editor_->SetTargetStart(editor_->PositionFromLine(index));
    editor_->SetTargetEnd(editor_->GetLineEndPosition(index));
    editor_->ReplaceTarget(text);
}

void TScintillaStrings::Insert(int index, const QByteArray& text) {
    const QByteArray lineEnd = SciLineEnd(editor_->EOLStyle());
    const int lines = editor_->GetLineCount();
    int at = -1;
    QByteArray inserted;
    if (index >= 0 && index < lines) {
        at = editor_->PositionFromLine(index);
        inserted = text + lineEnd;
    } else if (index == lines && index > 0) {
        const int previous = index - 1;
        at = editor_->GetLineEndPosition(previous);
        if (at == editor_->PositionFromLine(previous)) return;
        inserted = lineEnd + text;
    } else {
        return;
    }
    editor_->SetTargetStart(at);
    editor_->SetTargetEnd(at);
    editor_->ReplaceTarget(inserted);
}

void TScintillaStrings::Delete(int index) {
    const int lines = editor_->GetLineCount();
    if (index < 0 || index >= lines) return;
    const int start = editor_->PositionFromLine(index);
    const int end = index + 1 < lines ? editor_->PositionFromLine(index + 1)
                                      : start + int(editor_->Send(QsciScintillaBase::SCI_LINELENGTH, index));
    editor_->SetTargetStart(start);
    editor_->SetTargetEnd(end);
    editor_->ReplaceTarget(QByteArray());
}

void TScintillaStrings::Clear() { editor_->Send(QsciScintillaBase::SCI_CLEARALL); }

QByteArray TScintillaStrings::Text() const { return editor_->GetText(); }

void TScintillaStrings::SetText(const QByteArray& text) {
    const QByteArray lineEnd = editor_->EOLStyle() == sciEolLF ? QByteArrayLiteral("\n") : QByteArrayLiteral("\r\n");
    const QByteArray converted = SciConvertLineEnds(text, lineEnd);
    if (converted == editor_->GetText()) return;
    editor_->SetText(converted);
    if (OnChange) OnChange();
}

void TScintillaStrings::BeginUpdate() {
    if (updateCount_++ == 0) editor_->viewport()->setUpdatesEnabled(false);
}

void TScintillaStrings::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    editor_->viewport()->setUpdatesEnabled(true);
    editor_->viewport()->update();
}

// ---- TScintillaMemo -------------------------------------------------------------------

TScintillaMemo::TScintillaMemo(QWidget* parent) : TScintillaBase(parent) { KeyCommands.ResetToDefaults(); }

TScintillaMemo::~TScintillaMemo() { controller_.Uninstall(); }

void TScintillaMemo::Loaded() {
    TScintillaBase::Loaded();
    Bookmark.Apply();
    controller_.Install();
}

TMargin& TScintillaMemo::Gutter(int number) {
    TMargin* gutters[] = {&Gutter0, &Gutter1, &Gutter2, &Gutter3, &Gutter4};
    return *gutters[std::clamp(number, 0, 4)];
}

void TScintillaMemo::SetEOLStyle(int eolMode) {
    Send(SCI_SETEOLMODE, eolMode);
    Send(SCI_CONVERTEOLS, eolMode);
}

TSciIndentation TScintillaMemo::Indentation() const {
    TSciIndentation options = keepIndent_ ? TSciIndentation(KeepIndent) : 0u;
    if (Send(SCI_GETTABINDENTS)) options |= TabIndents;
    if (Send(SCI_GETBACKSPACEUNINDENTS)) options |= BackSpaceUnIndents;
    if (Send(SCI_GETINDENTATIONGUIDES)) options |= IndentationGuides;
    return options;
}

void TScintillaMemo::SetIndentation(TSciIndentation options) {
    keepIndent_ = options & KeepIndent;
    Send(SCI_SETTABINDENTS, (options & TabIndents) != 0);
    Send(SCI_SETBACKSPACEUNINDENTS, (options & BackSpaceUnIndents) != 0);
    Send(SCI_SETINDENTATIONGUIDES, (options & IndentationGuides) != 0);
}

void TScintillaMemo::SetHideSelect(bool on) {
    hideSelect_ = on;
    Send(SCI_HIDESELECTION, on);
}

// ---- the char-added chain -------------------------------------------------------------

void TScintillaMemo::GotoLineStart(int line) {
    const int target = std::clamp(line, 0, GetLineCount() - 1);
    Send(SCI_ENSUREVISIBLEENFORCEPOLICY, target);
    GotoPos(PositionFromLine(target));
    Send(SCI_SCROLLCARET);
}

// A red arrow in the fold margin: the caret line's own background would hide a
// tinted line, and the line of an error usually is the caret line.
void TScintillaMemo::MarkErrorLine(int line) {
    constexpr int kFoldMargin = 2;
    Send(SCI_MARKERDEFINE, kErrorMarker, SC_MARK_SHORTARROW);
    Send(SCI_MARKERSETFORE, kErrorMarker, ColorToRGB(HexRGB(0x800000)));
    Send(SCI_MARKERSETBACK, kErrorMarker, ColorToRGB(HexRGB(0xFF2020)));
    Send(SCI_SETMARGINMASKN, kFoldMargin, Send(SCI_GETMARGINMASKN, kFoldMargin) | (1 << kErrorMarker));
    Send(SCI_MARKERDELETEALL, kErrorMarker);
    Send(SCI_MARKERADD, line, kErrorMarker);
}

void TScintillaMemo::FitLineNumberMargins() {
    for (TMargin* margin : {&Gutter0, &Gutter1, &Gutter2, &Gutter3, &Gutter4}) margin->Fit();
}

void TScintillaMemo::DoModified(const TSciModification& m) {
    if (m.LinesAdded != 0) FitLineNumberMargins();
    TScintillaBase::DoModified(m);
}

void TScintillaMemo::DoZoom() {
    FitLineNumberMargins();
    TScintillaBase::DoZoom();
}

void TScintillaMemo::FontChanged() {
    TScintillaBase::FontChanged();
    FitLineNumberMargins();
}

void TScintillaMemo::DoCharAdded(int ch) {
    if (keepIndent_) KeepIndentAfterNewLine(ch);
    if (AutoCloseBraces) {
        if (ch == '(')
            InsertClosingPartner(')');
        else if (ch == '[')
            InsertClosingPartner(']');
        else if (ch == '{')
            InsertClosingPartner('}');
    }
    if (AutoCloseQuotes && (ch == '"' || ch == '\'')) InsertClosingPartner(char(ch));
    TScintillaBase::DoCharAdded(ch);
}

// The new line takes the indentation of the nearest non-empty line above it.
void TScintillaMemo::KeepIndentAfterNewLine(int ch) {
    const int eol = EOLStyle();
    const bool newLine = (eol == sciEolCR) ? ch == '\r' : ch == '\n';
    if (!newLine) return;
    const int line = CaretLine();
    int above = line - 1;
    while (above >= 0 && PositionFromLine(above) == GetLineEndPosition(above)) --above;
    if (above < 0) return;
    const int indent = int(Send(SCI_GETLINEINDENTATION, above));
    if (indent < 1) return;
    Send(SCI_SETLINEINDENTATION, line, indent);
    const int pos = int(Send(SCI_GETLINEINDENTPOSITION, line));
    Send(SCI_SETCURRENTPOS, pos);
    Send(SCI_SETSEL, pos, pos);
}

// Inserts the partner after the caret and leaves the caret between the pair.
void TScintillaMemo::InsertClosingPartner(char closing) {
    const int caret = GetCurrentPos();
    AddText(&closing, 1);
    Send(SCI_SETANCHOR, caret);
    Send(SCI_SETCURRENTPOS, caret);
}

// The control's key map holds exactly the table. Two cases need help on this
// platform: the keypad's + - / reach the control as plain characters, so their rows
// are looked up here; and a Ctrl or Alt combination outside the table would be typed
// as its character, where it must do nothing.
void TScintillaMemo::keyPressEvent(QKeyEvent* e) {
    const TShortCut shortCut = QtKeyToShortCut(e->keyCombination());
    const int command = shortCut ? KeyCommands.FindCommand(ShortCutToSciKeyDefinition(shortCut)) : -1;
    const bool keypadOperator = (e->modifiers() & Qt::KeypadModifier) &&
                                (e->key() == Qt::Key_Plus || e->key() == Qt::Key_Minus || e->key() == Qt::Key_Slash);
    if (keypadOperator && command >= 0) {
        Send(unsigned(command));
        e->accept();
        return;
    }
    const bool commandModifiers = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (commandModifiers && command < 0 && !IsModifierKey(e->key())) {
        e->ignore();
        return;
    }
    TScintillaBase::keyPressEvent(e);
}
