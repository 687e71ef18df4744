// The debugger launch.
#include "DebugCommand.h"

#include "BuildContext.h"
#include "SourceChecks.h"
#include "WorkFiles.h"

#include "platform/DialogService.h"
#include "platform/Paths.h"
#include "platform/ShellService.h"

#include <QAction>
#include <QLineEdit>

namespace asmora::build {
namespace {

// The separator between the tips' pieces: LF CR LF CR.
constexpr char16_t kTipsSeparator[] = u"\n\r\n\r";

// The pieces after the first, in order; the blank runs are part of the text.
constexpr const char16_t* kTipsPieces[] = {
    u"文件已经成功加载到Windbg.exe, 您可以直接调试了",
    u"WinDbg窗口打开后，请连续按【F10】键两次，即可调出窗口调试。(如有对话框弹出，请点“确定”.)",
    u"WinDbg快捷键提示：",
    u"   单步跟踪调试：【F10】                        键盘操作：直接按键",
    u"     查看寄存器：【Alt】+【4】                 键盘操作：同时按下",
    u"        内存跟踪：【Alt】+【5】                 键盘操作：同时按下",
    u"          (注意：内存跟踪时，输入须在变量名前加“&”符)",
    u"   自动调整界面：【Alt】+【R】                键盘操作：同时按下",
    u"          (注意：自动调整界面的快捷键只对\"WinDBGNorwick修改版\"有效。)",
    u"调试方法提示：通过以上快捷键提示，调整好界面，每次按下【F10】即可跟踪调试。",
};

}  // namespace

QString debuggerArguments(const QString& executable) {
    QString encoded = executable;
    encoded.replace(u' ', QStringLiteral("%20"));
    return QStringLiteral(" -a -i \"") + encoded + u'"';
}

QString debugTipsText(const QString& executable) {
    QString text = QStringLiteral("文件: ") + executable;
    for (const char16_t* piece : kTipsPieces) text += QString::fromUtf16(kTipsSeparator) + QString::fromUtf16(piece);
    return text;
}

void debugProgram(const TBuildContext& context) {
    context.commandBox.clear();
    const QString executable = workFilesOf(context.currentPath()).executable();
    const QString missing = context.shell.missingFor(platform::ShellService::Purpose::Debug, executable);
    if (!missing.isEmpty()) {
        warn(context, missing, QStringLiteral("无法调试"));
        return;
    }
    if (platform::fileExists(executable)) {
        if (!context.debugTipsOff.isChecked()) {
            context.dialogs.messageBox(context.owner, debugTipsText(executable), QStringLiteral("调试操作提示"),
                                       platform::MessageIcon::Information, platform::MessageButtons::Ok,
                                       platform::MessageLayout::Columns);
        }
        context.shell.startDetached(QStringLiteral("./bin/windbg.exe"), debuggerArguments(executable));
    } else {
        inform(context, QStringLiteral("加载文件不存在,可能需要您手动加载其他文件."), QStringLiteral("提示"));
        context.shell.startDetached(context.programFolder.debugger(), QString());
    }
}

}  // namespace asmora::build
