// Joining split command-line arguments back into a path.
#include "StartupFile.h"

#include "platform/Paths.h"

namespace asmora::app {

QString resolveStartupFile(const QStringList& arguments) {
    QString text;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        text = i == 0 ? arguments[i] : text + u' ' + arguments[i];
        if (platform::fileExists(text)) break;
    }
    return text;
}

}  // namespace asmora::app
