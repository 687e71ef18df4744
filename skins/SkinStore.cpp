// The stored skins and their order.
#include "SkinStore.h"

#include "platform/Errors.h"

#include <QFile>

#include <iterator>

namespace asmora::skins {
namespace {

// Display names in store order; each names its sheet stored/<name>.qss.
constexpr const char* kSkinNames[] = {
    "ClearBlue",       "GNOME-Green",   "LunaBlue",           "Royale1-HOMESTEAD", "Vista",
    "GUIRelax-CINDER", "RoueGrey-SLIM", "RoyaleGlass-INDIGO", "ClearLooks-HUMAN",  "Extensis-COPPER",
};
constexpr int kSkinCount = static_cast<int>(std::size(kSkinNames));

bool inStore(int index) { return index >= 0 && index < kSkinCount; }

}  // namespace

int TSkinStore::count() const { return kSkinCount; }

QString TSkinStore::name(int index) const {
    return inStore(index) ? QString::fromLatin1(kSkinNames[index]) : QString();
}

QString TSkinStore::resourcePath(int index) {
    return inStore(index) ? QStringLiteral(":/skins/%1.qss").arg(QString::fromLatin1(kSkinNames[index])) : QString();
}

QString TSkinStore::sheet(int index) const {
    QFile resource(resourcePath(index));
    if (!inStore(index) || !resource.open(QIODevice::ReadOnly))
        throw platform::Error(QStringLiteral("程序中找不到皮肤资源 %1（序号 %2）。").arg(name(index)).arg(index));
    return QString::fromUtf8(resource.readAll());
}

int TSkinStore::indexOf(const QString& skinName) const {
    for (int index = 0; index < kSkinCount; ++index)
        if (skinName == QLatin1String(kSkinNames[index])) return index;
    return -1;
}

}  // namespace asmora::skins
