// Puts window tests on Qt's offscreen platform before anything creates a QApplication.
#include <cstdlib>

namespace {
const bool kOffscreen = [] { return setenv("QT_QPA_PLATFORM", "offscreen", 0) == 0; }();
}  // namespace
