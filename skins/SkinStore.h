// The skin store `SkinStore1`: the ten skins the program carries, each a Qt style
// sheet compressed into the program's resources, in their fixed order.
#pragma once

#include <QString>

namespace asmora::skins {

class TSkinStore {
public:
    // The number of stored skins (ten).
    int count() const;
    // The display name of stored skin `index`: shown in the skin menu and saved
    // in the settings. Empty for an index outside the store.
    QString name(int index) const;
    // The style sheet of stored skin `index`, decompressed from the resources.
    // Raises platform::Error naming the skin when the resource is missing.
    QString sheet(int index) const;
    // The index of the skin whose display name is exactly `name` (case counts);
    // -1 when no stored skin has that name.
    int indexOf(const QString& name) const;

    // The resource that holds stored skin `index` (":/skins/<name>.qss").
    static QString resourcePath(int index);
};

}  // namespace asmora::skins
