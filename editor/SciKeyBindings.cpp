// Key translation tables, the 77 default bindings and the table's upkeep.
#include "SciKeyBindings.h"

#include "SciScintillaBase.h"

#include <QKeySequence>

namespace {

using B = QsciScintillaBase;

// Keys whose codes differ between Windows, the control and Qt. Every other key
// (letters as their upper-case character, digits) has the same code in all three.
struct KeyCodeRow {
    int VirtualKey;
    int SciKey;
    Qt::Key QtKey;
    bool Keypad;
};

constexpr KeyCodeRow kKeyCodes[] = {
    //  VK   control key       Qt key               keypad
    {40, B::SCK_DOWN, Qt::Key_Down, false},      {38, B::SCK_UP, Qt::Key_Up, false},
    {37, B::SCK_LEFT, Qt::Key_Left, false},      {39, B::SCK_RIGHT, Qt::Key_Right, false},
    {36, B::SCK_HOME, Qt::Key_Home, false},      {35, B::SCK_END, Qt::Key_End, false},
    {33, B::SCK_PRIOR, Qt::Key_PageUp, false},   {34, B::SCK_NEXT, Qt::Key_PageDown, false},
    {46, B::SCK_DELETE, Qt::Key_Delete, false},  {45, B::SCK_INSERT, Qt::Key_Insert, false},
    {27, B::SCK_ESCAPE, Qt::Key_Escape, false},  {107, B::SCK_ADD, Qt::Key_Plus, true},
    {109, B::SCK_SUBTRACT, Qt::Key_Minus, true}, {111, B::SCK_DIVIDE, Qt::Key_Slash, true},
    {91, B::SCK_WIN, Qt::Key_Super_L, false},    {92, B::SCK_RWIN, Qt::Key_Super_R, false},
    {93, B::SCK_MENU, Qt::Key_Menu, false},      {8, B::SCK_BACK, Qt::Key_Backspace, false},
    {9, B::SCK_TAB, Qt::Key_Tab, false},         {13, B::SCK_RETURN, Qt::Key_Return, false},
};

// Modifier bits: the shortcut's, the control's and Qt's.
struct ModifierRow {
    TShortCut ShortCutBit;
    int SciBit;
    Qt::KeyboardModifier QtBit;
};

constexpr ModifierRow kModifiers[] = {
    {scShift, kSciModShift, Qt::ShiftModifier},
    {scCtrl, kSciModCtrl, Qt::ControlModifier},
    {scAlt, kSciModAlt, Qt::AltModifier},
};

// The default bindings: command, control key, control modifiers.
constexpr int N = 0, S = kSciModShift, C = kSciModCtrl, A = kSciModAlt;

struct DefaultBinding {
    int Command;
    int SciKey;
    int Modifiers;
};

constexpr DefaultBinding kDefaultBindings[] = {
    {B::SCI_LINEDOWN, B::SCK_DOWN, N},
    {B::SCI_LINEDOWNEXTEND, B::SCK_DOWN, S},
    {B::SCI_LINESCROLLDOWN, B::SCK_DOWN, C},
    {B::SCI_LINEDOWNRECTEXTEND, B::SCK_DOWN, A | S},
    {B::SCI_LINEUP, B::SCK_UP, N},
    {B::SCI_LINEUPEXTEND, B::SCK_UP, S},
    {B::SCI_LINESCROLLUP, B::SCK_UP, C},
    {B::SCI_LINEUPRECTEXTEND, B::SCK_UP, A | S},
    {B::SCI_PARAUP, B::SCK_UP, C | A},
    {B::SCI_PARAUPEXTEND, B::SCK_UP, C | A | S},
    {B::SCI_PARADOWN, B::SCK_DOWN, C | A},
    {B::SCI_PARADOWNEXTEND, B::SCK_DOWN, C | A | S},
    {B::SCI_CHARLEFT, B::SCK_LEFT, N},
    {B::SCI_CHARLEFTEXTEND, B::SCK_LEFT, S},
    {B::SCI_WORDLEFT, B::SCK_LEFT, C},
    {B::SCI_WORDLEFTEXTEND, B::SCK_LEFT, C | S},
    {B::SCI_CHARLEFTRECTEXTEND, B::SCK_LEFT, A | S},
    {B::SCI_CHARRIGHT, B::SCK_RIGHT, N},
    {B::SCI_CHARRIGHTEXTEND, B::SCK_RIGHT, S},
    {B::SCI_WORDRIGHT, B::SCK_RIGHT, C},
    {B::SCI_WORDRIGHTEXTEND, B::SCK_RIGHT, C | S},
    {B::SCI_CHARRIGHTRECTEXTEND, B::SCK_RIGHT, A | S},
    {B::SCI_WORDPARTLEFT, B::SCK_LEFT, C | A},
    {B::SCI_WORDPARTLEFTEXTEND, B::SCK_LEFT, C | A | S},
    {B::SCI_WORDPARTRIGHT, B::SCK_RIGHT, C | A},
    {B::SCI_WORDPARTRIGHTEXTEND, B::SCK_RIGHT, C | A | S},
    {B::SCI_VCHOME, B::SCK_HOME, N},
    {B::SCI_VCHOMEEXTEND, B::SCK_HOME, S},
    {B::SCI_VCHOMERECTEXTEND, B::SCK_HOME, A | S},
    {B::SCI_DOCUMENTSTART, B::SCK_HOME, C},
    {B::SCI_DOCUMENTSTARTEXTEND, B::SCK_HOME, C | S},
    {B::SCI_HOMEDISPLAY, B::SCK_HOME, A},
    {B::SCI_LINEEND, B::SCK_END, N},
    {B::SCI_LINEENDEXTEND, B::SCK_END, S},
    {B::SCI_DOCUMENTEND, B::SCK_END, C},
    {B::SCI_DOCUMENTENDEXTEND, B::SCK_END, C | S},
    {B::SCI_LINEENDDISPLAY, B::SCK_END, A},
    {B::SCI_LINEENDRECTEXTEND, B::SCK_END, A | S},
    {B::SCI_PAGEUP, B::SCK_PRIOR, N},
    {B::SCI_PAGEUPEXTEND, B::SCK_PRIOR, S},
    {B::SCI_PAGEUPRECTEXTEND, B::SCK_PRIOR, A | S},
    {B::SCI_PAGEDOWN, B::SCK_NEXT, N},
    {B::SCI_PAGEDOWNEXTEND, B::SCK_NEXT, S},
    {B::SCI_PAGEDOWNRECTEXTEND, B::SCK_NEXT, A | S},
    {B::SCI_CLEAR, B::SCK_DELETE, N},
    {B::SCI_CUT, B::SCK_DELETE, S},
    {B::SCI_DELWORDRIGHT, B::SCK_DELETE, C},
    {B::SCI_DELLINERIGHT, B::SCK_DELETE, C | S},
    {B::SCI_EDITTOGGLEOVERTYPE, B::SCK_INSERT, N},
    {B::SCI_PASTE, B::SCK_INSERT, S},
    {B::SCI_COPY, B::SCK_INSERT, C},
    {B::SCI_CANCEL, B::SCK_ESCAPE, N},
    {B::SCI_DELETEBACK, B::SCK_BACK, N},
    {B::SCI_DELETEBACK, B::SCK_BACK, S},
    {B::SCI_DELWORDLEFT, B::SCK_BACK, C},
    {B::SCI_UNDO, B::SCK_BACK, A},
    {B::SCI_DELLINELEFT, B::SCK_BACK, C | S},
    {B::SCI_UNDO, 'Z', C},
    {B::SCI_REDO, 'Y', C},
    {B::SCI_CUT, 'X', C},
    {B::SCI_COPY, 'C', C},
    {B::SCI_PASTE, 'V', C},
    {B::SCI_SELECTALL, 'A', C},
    {B::SCI_TAB, B::SCK_TAB, N},
    {B::SCI_BACKTAB, B::SCK_TAB, S},
    {B::SCI_NEWLINE, B::SCK_RETURN, N},
    {B::SCI_NEWLINE, B::SCK_RETURN, S},
    {B::SCI_ZOOMIN, B::SCK_ADD, C},
    {B::SCI_ZOOMOUT, B::SCK_SUBTRACT, C},
    {B::SCI_SETZOOM, B::SCK_DIVIDE, C},
    {B::SCI_LINECUT, 'L', C},
    {B::SCI_LINEDELETE, 'L', C | S},
    {B::SCI_LINECOPY, 'T', C | S},
    {B::SCI_LINETRANSPOSE, 'T', C},
    {B::SCI_SELECTIONDUPLICATE, 'D', C},
    {B::SCI_LOWERCASE, 'U', C},
    {B::SCI_UPPERCASE, 'U', C | S},
};

// The Home-key rows when the Home-key flag is clear.
struct HomeCommandSwap {
    int VCHomeCommand;
    int HomeCommand;
};

constexpr HomeCommandSwap kHomeSwaps[] = {
    {B::SCI_VCHOME, B::SCI_HOME},
    {B::SCI_VCHOMEEXTEND, B::SCI_HOMEEXTEND},
    {B::SCI_VCHOMERECTEXTEND, B::SCI_HOMERECTEXTEND},
};

int DefaultCommand(int command, bool homeKeyVCHome) {
    if (homeKeyVCHome) return command;
    for (const HomeCommandSwap& swap : kHomeSwaps)
        if (swap.VCHomeCommand == command) return swap.HomeCommand;
    return command;
}

const KeyCodeRow* FindByVirtualKey(int vk) {
    for (const KeyCodeRow& row : kKeyCodes)
        if (row.VirtualKey == vk) return &row;
    return nullptr;
}

}  // namespace

int ShortCutToSciKeyDefinition(TShortCut shortCut) {
    const int vk = shortCut & 0xFF;
    const KeyCodeRow* row = FindByVirtualKey(vk);
    const int key = row ? row->SciKey : vk;
    int modifiers = 0;
    for (const ModifierRow& m : kModifiers)
        if (shortCut & m.ShortCutBit) modifiers |= m.SciBit;
    return modifiers * 65536 + key;
}

TShortCut SciKeyToShortCut(int sciKey, int sciModifiers) {
    int vk = sciKey;
    for (const KeyCodeRow& row : kKeyCodes)
        if (row.SciKey == sciKey) vk = row.VirtualKey;
    TShortCut shortCut = TShortCut(vk & 0xFF);
    for (const ModifierRow& m : kModifiers)
        if (sciModifiers & m.SciBit) shortCut |= m.ShortCutBit;
    return shortCut;
}

TShortCut QtKeyToShortCut(QKeyCombination key) {
    const bool keypad = key.keyboardModifiers() & Qt::KeypadModifier;
    int vk = -1;
    for (const KeyCodeRow& row : kKeyCodes)
        if (row.QtKey == key.key() && (row.Keypad == keypad || !row.Keypad)) vk = row.VirtualKey;
    if (vk < 0) {
        const int code = key.key();
        if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
            vk = code;
        else if (key.key() == Qt::Key_Enter)
            vk = 13;
        else if (key.key() == Qt::Key_Backtab)
            vk = 9;
        else
            return 0;
    }
    TShortCut shortCut = TShortCut(vk);
    for (const ModifierRow& m : kModifiers)
        if (key.keyboardModifiers() & m.QtBit) shortCut |= m.ShortCutBit;
    if (key.key() == Qt::Key_Backtab) shortCut |= scShift;
    return shortCut;
}

QKeyCombination ShortCutToQtKey(TShortCut shortCut) {
    const int vk = shortCut & 0xFF;
    Qt::KeyboardModifiers modifiers;
    for (const ModifierRow& m : kModifiers)
        if (shortCut & m.ShortCutBit) modifiers |= m.QtBit;
    Qt::Key key = Qt::Key(vk);
    if (const KeyCodeRow* row = FindByVirtualKey(vk)) {
        key = row->QtKey;
        if (row->Keypad) modifiers |= Qt::KeypadModifier;
    }
    return QKeyCombination(modifiers, key);
}

QString ShortCutToText(TShortCut shortCut) {
    if (shortCut == 0) return QStringLiteral("(None)");
    return QKeySequence(ShortCutToQtKey(shortCut)).toString(QKeySequence::PortableText);
}

// ---- TSciKeyCommand -------------------------------------------------------------------

void TSciKeyCommand::SetCommand(int command) {
    command_ = command;
    owner_->ItemChanged(*this);
}

void TSciKeyCommand::SetShortCut(TShortCut shortCut) {
    shortCut_ = shortCut;
    owner_->ItemChanged(*this);
}

// ---- TSciKeyCommandCollection ---------------------------------------------------------

TSciKeyCommandCollection::TSciKeyCommandCollection(TScintillaBase* editor, bool homeKeyVCHome)
    : editor_(editor), homeKeyVCHome_(homeKeyVCHome) {}

TSciKeyCommand& TSciKeyCommandCollection::Add(int command, TShortCut shortCut) {
    items_.push_back(std::unique_ptr<TSciKeyCommand>(new TSciKeyCommand(this)));
    TSciKeyCommand& item = *items_.back();
    BeginUpdate();
    item.SetCommand(command);
    item.SetShortCut(shortCut);
    EndUpdate();
    return item;
}

void TSciKeyCommandCollection::Clear() {
    BeginUpdate();
    items_.clear();
    EndUpdate();
}

void TSciKeyCommandCollection::ResetToDefaults() {
    BeginUpdate();
    items_.clear();
    for (const DefaultBinding& row : kDefaultBindings)
        Add(DefaultCommand(row.Command, homeKeyVCHome_), SciKeyToShortCut(row.SciKey, row.Modifiers));
    EndUpdate();
}

void TSciKeyCommandCollection::Assign(const TSciKeyCommandCollection& other) {
    BeginUpdate();
    homeKeyVCHome_ = other.homeKeyVCHome_;
    items_.clear();
    for (const auto& item : other.items_) Add(item->Command(), item->ShortCut());
    EndUpdate();
}

int TSciKeyCommandCollection::FindCommand(int sciKeyDefinition) const {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        if ((*it)->ShortCut() != 0 && ShortCutToSciKeyDefinition((*it)->ShortCut()) == sciKeyDefinition)
            return (*it)->Command();
    return -1;
}

void TSciKeyCommandCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) ApplyAll();
}

void TSciKeyCommandCollection::ItemChanged(const TSciKeyCommand& item) {
    if (updateCount_ > 0 || !editor_) return;
    editor_->Send(QsciScintillaBase::SCI_ASSIGNCMDKEY, ShortCutToSciKeyDefinition(item.ShortCut()), item.Command());
}

void TSciKeyCommandCollection::ApplyAll() {
    if (!editor_) return;
    editor_->Send(QsciScintillaBase::SCI_CLEARALLCMDKEYS);
    for (const auto& item : items_)
        editor_->Send(QsciScintillaBase::SCI_ASSIGNCMDKEY, ShortCutToSciKeyDefinition(item->ShortCut()),
                      item->Command());
}
