// The Chinese texts of the libraries and of the system's error reasons.
#include "platform/SystemReasons.h"
#include "platform/Translations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

namespace {

struct ReasonCase {
    int error;
    const char* english;
    const char16_t* chinese;
};

// The reasons a student meets, in the C library's English wording.
constexpr ReasonCase kReasonCases[] = {
    {ENOENT, "No such file or directory", u"文件或文件夹不存在"},
    {EACCES, "Permission denied", u"没有访问权限"},
    {EROFS, "Read-only file system", u"文件系统是只读的"},
    {ENOSPC, "No space left on device", u"磁盘已满"},
    {EBUSY, "Device or resource busy", u"文件正被使用"},
    {ETXTBSY, "Text file busy", u"文件正被使用（程序正在运行）"},
};

TEST(SystemReasons, CommonReasonsAreChinese) {
    for (const ReasonCase& reason : kReasonCases) {
        SCOPED_TRACE(reason.english);
        EXPECT_EQ(platform::systemReason(reason.error), QString::fromUtf16(reason.chinese));
        const QString message =
            QStringLiteral("无法写入文件“/home/学生/lab1.asm”。%1").arg(QLatin1String(reason.english));
        EXPECT_EQ(platform::chineseReasons(message),
                  QStringLiteral("无法写入文件“/home/学生/lab1.asm”。") + QString::fromUtf16(reason.chinese));
    }
}

TEST(SystemReasons, UnknownReasonsKeepTheSystemText) {
    EXPECT_EQ(platform::systemReason(EXDEV), QString::fromLocal8Bit(std::strerror(EXDEV)));
    EXPECT_EQ(platform::chineseReasons(QStringLiteral("Invalid cross-device link")),
              QStringLiteral("Invalid cross-device link"));
}

TEST(SystemReasons, FailedOpenOfAMissingFileIsExplainedInChinese) {
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("不存在.asm")));
    ASSERT_FALSE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(platform::reasonOf(file), QStringLiteral("文件或文件夹不存在"));
}

// Each case installs on the test's application and removes what it installed.
class Translations : public ::testing::Test {
protected:
    void TearDown() override {
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QLocale::setDefault(QLocale::c());
    }
};

TEST_F(Translations, MissingCataloguesLeaveQtInEnglishAndTheEditorMenuChinese) {
    QTemporaryDir empty;
    EXPECT_TRUE(platform::installChineseTranslations(*qApp, empty.path()).isEmpty());
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    EXPECT_EQ(QCoreApplication::translate("ContextMenu", "Select All"), QStringLiteral("全选"));
    EXPECT_EQ(QCoreApplication::translate("QsciScintilla", "Cu&t"), QStringLiteral("剪切(&T)"));
    EXPECT_EQ(QCoreApplication::translate("ContextMenu", "Print"), QStringLiteral("Print"));
}

TEST_F(Translations, QtCatalogueMakesTheFileDialogChinese) {
    const QString folder = platform::qtTranslationsFolder();
    if (!QFileInfo::exists(folder + QStringLiteral("/qtbase_zh_CN.qm")))
        GTEST_SKIP() << "Qt's Chinese catalogue is not installed";
    EXPECT_TRUE(platform::installChineseTranslations(*qApp, folder).contains(QStringLiteral("qt_zh_CN.qm")));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    EXPECT_EQ(QLocale().language(), QLocale::Chinese);
}

}  // namespace
