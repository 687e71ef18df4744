// The table of system reasons and their Chinese texts.
#include "SystemReasons.h"

#include <QFileDevice>

#include <cerrno>
#include <cstring>
#include <locale.h>

namespace platform {
namespace {

struct Reason {
    int error;
    const char16_t* chinese;
};

// The errors of file and process operations that the program reports to the user.
constexpr Reason kReasons[] = {
    {ENOENT, u"文件或文件夹不存在"},
    {EACCES, u"没有访问权限"},
    {EPERM, u"操作不被允许"},
    {EROFS, u"文件系统是只读的"},
    {ENOSPC, u"磁盘已满"},
    {EDQUOT, u"磁盘配额已用完"},
    {EBUSY, u"文件正被使用"},
    {ETXTBSY, u"文件正被使用（程序正在运行）"},
    {EISDIR, u"这是一个文件夹，不是文件"},
    {ENOTDIR, u"路径中有一部分不是文件夹"},
    {EEXIST, u"文件已经存在"},
    {ENAMETOOLONG, u"文件名太长"},
    {EMFILE, u"打开的文件太多"},
    {EIO, u"读写设备出错"},
    {ENOEXEC, u"不是可以运行的程序"},
};

// The C library's English text for `error`, independent of the process locale.
QString englishReason(int error) {
    const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const QString text = QString::fromLocal8Bit(c ? strerror_l(error, c) : std::strerror(error));
    if (c) freelocale(c);
    return text;
}

}  // namespace

QString systemReason(int error) {
    for (const Reason& reason : kReasons)
        if (reason.error == error) return QString::fromUtf16(reason.chinese);
    return QString::fromLocal8Bit(std::strerror(error));
}

QString chineseReasons(const QString& text) {
    QString result = text;
    for (const Reason& reason : kReasons) {
        const QString english = englishReason(reason.error);
        if (!english.isEmpty()) result.replace(english, QString::fromUtf16(reason.chinese));
    }
    return result;
}

QString reasonOf(const QFileDevice& file) { return chineseReasons(file.errorString()); }

}  // namespace platform
