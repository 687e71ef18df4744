// The editor's key command table: shortcut codes, their translation to the control's
// key definitions, and the table that replaces the control's own key map.
#pragma once

#include <QKeyCombination>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class TScintillaBase;
class TSciKeyCommandCollection;

// A shortcut code: the Windows virtual-key code in the low byte plus the modifier bits.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The control's modifier bits of a key definition.
constexpr int kSciModShift = 1;
constexpr int kSciModCtrl = 2;
constexpr int kSciModAlt = 4;

constexpr int kSciNullCommand = 2172;  // SCI_NULL: does nothing

// The key definition the control expects: modifiers × 65536 + the control's key code.
int ShortCutToSciKeyDefinition(TShortCut shortCut);
// The reverse: a shortcut from the control's key code and modifier bits.
TShortCut SciKeyToShortCut(int sciKey, int sciModifiers);
// A Qt key with modifiers as a shortcut code; 0 when the key has no virtual-key code.
TShortCut QtKeyToShortCut(QKeyCombination key);
QKeyCombination ShortCutToQtKey(TShortCut shortCut);
// The shortcut as Qt writes it ("Ctrl+Z", "Shift+PgUp"), "(None)" for 0.
QString ShortCutToText(TShortCut shortCut);

class TSciKeyCommand {
public:
    int Command() const { return command_; }
    void SetCommand(int command);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    QString DisplayName() const { return ShortCutToText(shortCut_); }

private:
    friend class TSciKeyCommandCollection;
    explicit TSciKeyCommand(TSciKeyCommandCollection* owner) : owner_(owner) {}

    TSciKeyCommandCollection* owner_;
    int command_ = kSciNullCommand;
    TShortCut shortCut_ = 0;
};

// The ordered table. Each change is applied to the control at once: one changed item
// with SCI_ASSIGNCMDKEY, a change of the whole table (filling, assigning, clearing)
// with SCI_CLEARALLCMDKEYS and then every item in order, so the later of two items
// with the same key wins and keys outside the table do nothing.
class TSciKeyCommandCollection {
public:
    // An empty table bound to `editor` (which may be null for a detached table).
    explicit TSciKeyCommandCollection(TScintillaBase* editor, bool homeKeyVCHome = true);
    TSciKeyCommandCollection(const TSciKeyCommandCollection&) = delete;
    TSciKeyCommandCollection& operator=(const TSciKeyCommandCollection&) = delete;

    // Selects SCI_VCHOME (set) or SCI_HOME (clear) for the Home-key rows of the defaults.
    bool HomeKeyVCHome() const { return homeKeyVCHome_; }
    void SetHomeKeyVCHome(bool on) { homeKeyVCHome_ = on; }

    int Count() const { return int(items_.size()); }
    TSciKeyCommand& Item(int index) { return *items_.at(index); }
    const TSciKeyCommand& Item(int index) const { return *items_.at(index); }
    TSciKeyCommand& Add(int command, TShortCut shortCut);
    void Clear();
    // Replaces the table by the 77 default rows.
    void ResetToDefaults();
    // Copies the rows and the Home-key flag.
    void Assign(const TSciKeyCommandCollection& other);
    // The command the table gives a key definition (the later row wins), or -1.
    int FindCommand(int sciKeyDefinition) const;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

private:
    friend class TSciKeyCommand;
    void ItemChanged(const TSciKeyCommand& item);
    void ApplyAll();

    TScintillaBase* editor_;
    bool homeKeyVCHome_;
    int updateCount_ = 0;
    std::vector<std::unique_ptr<TSciKeyCommand>> items_;
};
