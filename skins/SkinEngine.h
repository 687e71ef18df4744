// The skin engine `SkinData1`: paints every window, menu and control of the
// program with the loaded skin by setting it as the application's style sheet.
// Switched off, the program shows the platform's standard look. The engine starts
// switched on with a skin of its own (the standard look) until a stored skin is
// loaded. Used on the user-interface thread only.
#pragma once

#include <QString>

namespace asmora::skins {

class TSkinStore;

class TSkinData {
public:
    TSkinData();
    // Gives the application back the style sheet it had before the engine.
    ~TSkinData();
    TSkinData(const TSkinData&) = delete;
    TSkinData& operator=(const TSkinData&) = delete;

    // Loads stored skin `index`; the engine paints with it from now on whenever
    // it is switched on. Raises platform::Error when the store lacks the skin.
    void loadFromStore(const TSkinStore& store, int index);
    // Loads a skin whose sheet was already read from the store.
    void load(const QString& name, const QString& sheet);

    // Switches the engine on (the loaded skin) or off (the standard look).
    void setActive(bool on);
    bool active() const { return active_; }

    // The loaded skin's display name; empty while the engine has its own skin.
    const QString& skinName() const { return name_; }
    const QString& sheet() const { return sheet_; }

private:
    void apply();

    QString name_;
    QString sheet_;
    bool active_ = true;
    QString before_;  // the application's sheet before the engine took over
};

}  // namespace asmora::skins
