// The layouts of the real message box's text.
#include "platform/DialogService.h"

#include <gtest/gtest.h>

namespace {

using platform::QtDialogService;

TEST(ColumnsLayout, RowsEndAtEveryRunOfLineEndsAndBlankRunsSeparateCells) {
    const QString text = QStringLiteral(
        "文件: /home/学生/my asm/Debug/a.exe\n\r\n\r"
        "   单步跟踪调试：【F10】                        键盘操作：直接按键\n\r\n\r"
        "        内存跟踪：【Alt】+【5】                 键盘操作：同时按下\r\n"
        "          (注意：内存跟踪时，输入须在变量名前加“&”符)\n");
    EXPECT_EQ(QtDialogService::columnsHtml(text),
              QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">"
                             "<tr><td colspan=\"2\">文件: /home/学生/my asm/Debug/a.exe</td></tr>"
                             "<tr><td style=\"padding-left:1em\">单步跟踪调试：【F10】</td>"
                             "<td style=\"padding-left:1em\">键盘操作：直接按键</td></tr>"
                             "<tr><td style=\"padding-left:1em\">内存跟踪：【Alt】+【5】</td>"
                             "<td style=\"padding-left:1em\">键盘操作：同时按下</td></tr>"
                             "<tr><td colspan=\"2\" style=\"padding-left:2em\">"
                             "(注意：内存跟踪时，输入须在变量名前加“&amp;”符)</td></tr>"
                             "</table>"));
}

TEST(ColumnsLayout, TextWithoutLinesGivesAnEmptyTable) {
    EXPECT_EQ(QtDialogService::columnsHtml(QStringLiteral("\r\n\n\r   ")),
              QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\"></table>"));
}

}  // namespace
