// The fixed-pitch font with its substitutes.
#include "FixedFont.h"

namespace asmora::build {

QFont fixedsysFont(int pixels) {
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("Fixedsys"), QStringLiteral("WenQuanYi Micro Hei Mono"),
                                 QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("DejaVu Sans Mono"),
                                 QStringLiteral("Monospace")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixels);
    return font;
}

}  // namespace asmora::build
