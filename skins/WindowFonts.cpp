// Font substitutes for the stored window layouts.
#include "WindowFonts.h"

#include <QStringList>

namespace asmora::skins {

QFont songTi(int pixels, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

}  // namespace asmora::skins
