// Paths under the program folder.
#include "ProgramFolder.h"

namespace platform {

QString ProgramFolder::file(QStringView relative) const { return path_ + u'/' + relative.toString(); }

QString ProgramFolder::bin() const { return file(u"bin"); }

QString ProgramFolder::inBin(QStringView fileName) const { return bin() + u'/' + fileName.toString(); }

}  // namespace platform
