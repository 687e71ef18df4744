// The fonts of the stored window layouts on this platform: 宋体 where it is
// installed, otherwise the CJK fonts that fontconfig offers in its place.
#pragma once

#include <QFont>

namespace asmora::skins {

QFont songTi(int pixels, bool bold = false);

}  // namespace asmora::skins
