// The framed title rows that the build commands write into the output list:
//   ------…------ 源文件信息 -----…-----   (54 dashes, the title, 53 dashes)
#pragma once

#include <QString>

namespace asmora::build {

inline const QString kCrLf = QStringLiteral("\r\n");

// 54 "-" + title + 53 "-".
inline QString dashedTitle(const QString& title) { return QString(54, u'-') + title + QString(53, u'-'); }

}  // namespace asmora::build
