// Work-file naming.
#include "WorkFiles.h"

#include "platform/Paths.h"

namespace asmora::build {

WorkFiles workFilesOf(const QString& sourcePath) {
    WorkFiles files;
    // "a.asm" (or no document at all) has no folder part; "/a.asm" lies in "/".
    files.sourceFolder = platform::folderOf(sourcePath);
    if (!files.sourceFolder.isEmpty() && !files.sourceFolder.endsWith(u'/')) files.sourceFolder += u'/';
    files.outputFolder = files.sourceFolder + QStringLiteral("Debug");
    files.base = files.outputFolder + u'/' + platform::baseNameOf(sourcePath);
    return files;
}

}  // namespace asmora::build
