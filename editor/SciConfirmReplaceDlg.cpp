// The confirm dialog of a replacement and the rule that places it beside the match.
#include "SciConfirmReplaceDlg.h"

#include "SciSearchReplaceBase.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

struct AnswerButton {
    const char16_t* Caption;
    const char* ObjectName;
    TSciReplaceAnswer Answer;
};

constexpr AnswerButton kAnswerButtons[] = {
    {u"替 换(&Y)", "btnReplace", sraReplace},
    {u"跳 过(&N)", "btnSkip", sraSkip},
    {u"关闭(&C)", "btnCancel", sraClose},
    {u"替换全部(&A)", "btnReplaceAll", sraReplaceAll},
};

constexpr int kGap = 4;
constexpr int kQuestionWidth = 260;

}  // namespace

QPoint SciConfirmDialogPosition(const QRect& editor, const QSize& dialog, const QPoint& match, int lineHeight) {
    const int editorRight = editor.x() + editor.width();
    int x = match.x();
    if (dialog.width() >= editor.width())
        x = editor.x() + (editor.width() - dialog.width()) / 2;
    else if (match.x() + dialog.width() > editorRight)
        x = editorRight - dialog.width();

    const int belowNextLine = match.y() + 2 * lineHeight;
    const int twoThirds = editor.y() + editor.height() * 2 / 3;
    const int y = belowNextLine > twoThirds ? match.y() - dialog.height() - kGap : belowNextLine + kGap;
    return {x, y};
}

TConfirmReplaceDialog::TConfirmReplaceDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("确定替换"));
    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* icon = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop);
    layout->addWidget(icon, 0, 0);

    question_ = new QLabel(this);
    question_->setObjectName(QStringLiteral("lblConfirmation"));
    question_->setTextFormat(Qt::PlainText);
    question_->setWordWrap(true);
    question_->setFixedWidth(kQuestionWidth);
    layout->addWidget(question_, 0, 1);

    auto* buttons = new QHBoxLayout;
    for (const AnswerButton& row : kAnswerButtons) {
        auto* button = new QPushButton(QString::fromUtf16(row.Caption), this);
        button->setObjectName(QString::fromLatin1(row.ObjectName));
        button->setAutoDefault(false);
        const int answer = row.Answer;
        connect(button, &QPushButton::clicked, this, [this, answer] { done(answer); });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons, 1, 0, 1, 2);
}

void TConfirmReplaceDialog::PrepareShow(const QRect& editor, const QPoint& match, int lineHeight,
                                        const QString& searchText) {
    question_->setText(QStringLiteral("请问是否真的要替换\"%1\"?").arg(searchText));
    adjustSize();
    move(SciConfirmDialogPosition(editor, size(), match, lineHeight));
}

QString TConfirmReplaceDialog::Question() const { return question_->text(); }

void TConfirmReplaceDialog::reject() { done(sraClose); }
