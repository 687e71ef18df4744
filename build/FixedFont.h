// The fixed-pitch font of the template editor and the listing window (Fixedsys in
// the stored layouts), with the CJK monospace font of this platform behind it, so
// that a Chinese character takes two columns.
#pragma once

#include <QFont>
#include <QStringList>

namespace asmora::build {

QFont fixedsysFont(int pixels);

}  // namespace asmora::build
