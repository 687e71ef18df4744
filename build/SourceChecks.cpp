// The common checks of the commands on the current source.
#include "SourceChecks.h"

#include "BuildContext.h"

#include "platform/DialogService.h"
#include "platform/Paths.h"

namespace asmora::build {
namespace {

const QString kNoSource = QStringLiteral("操作中断，可能是没有载入源文件或当前文件未保存，请检查后重试。");
const QString kNoSourceCaption = QStringLiteral("操作中断-1");

struct TypeRefusal {
    SourceCommand command;
    const char16_t* text;
    const char16_t* caption;
};

constexpr TypeRefusal kTypeRefusals[] = {
    {SourceCommand::Assemble, u"对不起，当前载入文件不是ASM类型，不能对其进行汇编操作。", u"类型错误-1"},
    {SourceCommand::Link, u"对不起，当前载入文件不是ASM类型，不能对其进行链接操作。", u"类型错误-2"},
    {SourceCommand::Run, u"对不起，当前载入文件不是ASM类型，不能对其进行运行操作。", u"类型错误-3"},
    {SourceCommand::Clean, u"对不起，当前载入文件不是ASM类型，不能对其进行清理操作。", u"类型错误-4"},
    {SourceCommand::Listing, u"对不起，当前载入文件不是ASM类型，不能对其进行相关操作。", u"类型错误-5"},
};

const TypeRefusal& typeRefusal(SourceCommand command) {
    for (const TypeRefusal& refusal : kTypeRefusals)
        if (refusal.command == command) return refusal;
    Q_ASSERT_X(false, "typeRefusal", "every command has a type refusal");
    return kTypeRefusals[0];
}

}  // namespace

bool checkSource(const TBuildContext& context, const QString& path, SourceCommand command) {
    if (!platform::fileExists(path)) {
        warn(context, kNoSource, kNoSourceCaption);
        return false;
    }
    if (platform::extensionOf(path).toLower() != u".asm") {
        const TypeRefusal& refusal = typeRefusal(command);
        warn(context, QString::fromUtf16(refusal.text), QString::fromUtf16(refusal.caption));
        return false;
    }
    return true;
}

void warn(const TBuildContext& context, const QString& text, const QString& caption) {
    context.dialogs.messageBox(context.owner, text, caption, platform::MessageIcon::Warning,
                               platform::MessageButtons::Ok);
}

void inform(const TBuildContext& context, const QString& text, const QString& caption) {
    context.dialogs.messageBox(context.owner, text, caption, platform::MessageIcon::Information,
                               platform::MessageButtons::Ok);
}

}  // namespace asmora::build
