// The reasons of failed system calls, in the program's language.
#include "Errors.h"

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

struct ReasonRow {
    int errorNumber;
    const char16_t* text;
};

constexpr ReasonRow kReasons[] = {
    {EACCES, u"没有访问权限。"},
    {EPERM, u"操作不被允许。"},
    {ENOENT, u"文件或文件夹不存在。"},
    {ENOTDIR, u"路径中有一部分不是文件夹。"},
    {EISDIR, u"这是一个文件夹。"},
    {EROFS, u"所在的磁盘是只读的。"},
    {ENOSPC, u"磁盘空间不足。"},
    {EDQUOT, u"超出了磁盘配额。"},
    {EFBIG, u"文件太大。"},
    {ENAMETOOLONG, u"文件名太长。"},
    {ELOOP, u"符号链接的层数太多。"},
    {EMFILE, u"打开的文件太多。"},
    {ENFILE, u"打开的文件太多。"},
    {ETXTBSY, u"文件正在被使用。"},
    {EBUSY, u"文件正在被使用。"},
    {EIO, u"读写磁盘时出错。"},
    {EXDEV, u"不能跨磁盘移动文件。"},
};

}  // namespace

Error fileCreationError(const QString& path, const QString& reason) {
    return Error(QStringLiteral("无法创建文件 %1\n%2").arg(path, reason), reason);
}

QString systemReason(int errorNumber) {
    for (const ReasonRow& row : kReasons)
        if (row.errorNumber == errorNumber) return QString::fromUtf16(row.text);
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

}  // namespace platform
