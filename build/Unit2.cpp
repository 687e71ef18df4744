// The console template editor.
#include "Unit2.h"

#include "ConsoleColumns.h"
#include "ConsoleTemplate.h"
#include "FixedFont.h"
#include "TextLines.h"

#include "platform/DialogService.h"
#include "platform/Errors.h"
#include "platform/FileAttributes.h"
#include "platform/PauseService.h"
#include "platform/Paths.h"
#include "platform/ShellService.h"

#include <QEventLoop>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>

namespace asmora::build {
namespace {

constexpr int kClientWidth = 676;
const QString kTextAreaColour = QStringLiteral("navy");
constexpr int kClientHeight = 436;
constexpr int kTestPauseMs = 500;
constexpr int kRestorePauseMs = 3000;

// A digit at columns 0, 10, ... 70 and "80" at columns 78 and 79: 83 characters.
const QString kRuler =
    QStringLiteral("0         1         2         3         4         5         6         7       80   ");

struct HelpLine {
    const char16_t* text;
    const char* colour;
    bool bold;
};

constexpr HelpLine kNotation[] = {
    {u"双分号( ;; )后边的内容会直接保留到模板, 一般带DOS命令。如：“;;dir C:\\”", "blue", false},
    {u"更改窗体颜色：添加“;;color F1”其中F1可变，变化范围0-9，A-F，前为背景颜色，后为字体颜色。", "blue", false},
    {u"必须有“;;%FILENAME%”一句（必须独占一行），否则，运行时无法调用到生成的exe文件。", "red", true},
};

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const char* colour, bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setStyleSheet(
        QStringLiteral("color: %1;%2")
            .arg(QString::fromLatin1(colour), bold ? QStringLiteral(" font-weight: bold;") : QString()));
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

}  // namespace

TForm2::TForm2(const platform::ProgramFolder& programFolder, platform::DialogService& dialogs,
               platform::ShellService& shell, platform::PauseService& pause, QWidget* parent)
    : QDialog(parent), programFolder_(programFolder), dialogs_(dialogs), shell_(shell), pause_(pause) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Dos运行界面修改器"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    buildLayout();
    connect(Button3, &QPushButton::clicked, this, [this] { guarded(&TForm2::Button1Click); });
    connect(Button4, &QPushButton::clicked, this, [this] { guarded(&TForm2::Button2Click); });
    connect(Button2, &QPushButton::clicked, this, [this] { guarded(&TForm2::Button3Click); });
    connect(Button5, &QPushButton::clicked, this, [this] { guarded(&TForm2::Button4Click); });
}

// The ruler stands right above the text area, shifted by the text area's frame and
// document margin, in the same font, so that its columns are the text's columns.
void TForm2::buildLayout() {
    GroupBox1 = new QGroupBox(QStringLiteral("符号说明"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 4, kClientWidth - 16, 84);
    int top = 20;
    int index = 2;
    for (const HelpLine& line : kNotation) {
        const QByteArray name = "Label" + QByteArray::number(index++);
        QLabel* label = makeLabel(GroupBox1, name.constData(), QString::fromUtf16(line.text), line.colour, line.bold);
        label->setGeometry(10, top, kClientWidth - 36, 18);
        top += 20;
    }
    Label1 = makeLabel(this, "Label1",
                       QStringLiteral("建议：为了不让DOS显示出现软回车换行，每行字数请不要超过80个字。"), "navy");
    Label1->setGeometry(10, 92, kClientWidth - 20, 18);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(fixedsysFont(11));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // White text on the dark blue of a classic text-mode editor: the text area reads as
    // a console page without being a black hole in the window.
    Memo1->setStyleSheet(QStringLiteral("QPlainTextEdit { color: white; background: %1; }").arg(kTextAreaColour));
    Memo1->setGeometry(8, 128, kClientWidth - 16, 248);
    new TConsoleColumns(Memo1->document());

    const int textLeft = Memo1->x() + Memo1->frameWidth() + static_cast<int>(Memo1->document()->documentMargin());
    Label8 = makeLabel(this, "Label8", kRuler, "teal");
    Label8->setFont(fixedsysFont(11));
    Label8->setStyleSheet(QStringLiteral("QLabel { color: teal; background: silver; }"));
    Label8->setContentsMargins(0, 0, 0, 0);
    Label8->setIndent(0);
    Label8->setGeometry(textLeft, 112, Label8->fontMetrics().horizontalAdvance(kRuler), 16);

    Label6 = makeLabel(this, "Label6", QStringLiteral("备份文件为：Backup.dat"), "navy");
    Label6->setGeometry(10, 386, 280, 18);
    Label7 = makeLabel(this, "Label7", QStringLiteral("把Backup.dat与程序放在同目录下，即可使用。"), "navy");
    Label7->setGeometry(10, 408, 280, 18);
    Button2 = makeButton(this, "Button2", QStringLiteral("恢复预留界面"), QRect(296, 392, 90, 28));
    Button5 = makeButton(this, "Button5", QStringLiteral("备份当前DOS界面"), QRect(390, 392, 116, 28));
    Button3 = makeButton(this, "Button3", QStringLiteral("DOS测试"), QRect(510, 392, 78, 28));
    Button4 = makeButton(this, "Button4", QStringLiteral("保  存"), QRect(592, 392, 76, 28));
}

void TForm2::guarded(void (TForm2::*handler)()) {
    try {
        (this->*handler)();
    } catch (const platform::Error& error) {
        dialogs_.messageBox(this, error.message(), QStringLiteral("80X86Asmora"), platform::MessageIcon::Error,
                            platform::MessageButtons::Ok);
    }
}

void TForm2::inform(const QString& text, const QString& caption) {
    dialogs_.messageBox(this, text, caption, platform::MessageIcon::Information, platform::MessageButtons::Ok);
}

void TForm2::FormCreate() {
    const QString consoleTemplate = programFolder_.consoleTemplate();
    if (!platform::fileExists(consoleTemplate)) writeDefaultTemplate(consoleTemplate);
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded(&TForm2::Form2Show);
}

void TForm2::Form2Show() {
    Memo1->clear();
    const QString consoleTemplate = programFolder_.consoleTemplate();
    if (platform::fileExists(consoleTemplate))
        Memo1->setPlainText(fileToEditable(readTextLines(consoleTemplate)).join(u'\n'));
}

QStringList TForm2::editableLines() const {
    QStringList lines = Memo1->toPlainText().split(u'\n');
    if (lines.back().isEmpty()) lines.removeLast();
    return lines;
}

void TForm2::Button1Click() {
    const QString batch = programFolder_.runBatch();
    QFile::remove(batch);
    pause_.pause(kTestPauseMs);
    writeTextLines(batch, testBatch(editableLines(), batch));
    platform::markHidden(batch);
    shell_.openBatchMaximized(batch);
}

void TForm2::Button2Click() {
    QFile::remove(programFolder_.runBatch());
    writeTextLines(programFolder_.consoleTemplate(), editableToFile(editableLines()));
    inform(QStringLiteral("数据保存成功!"), QStringLiteral("提示"));
}

void TForm2::Button3Click() {
    const int answer = dialogs_.messageBox(
        this, QStringLiteral("该操作会将现有的数据文件进行覆盖，该操作不可逆，请问是否继续？!"), QStringLiteral("提示"),
        platform::MessageIcon::Information, platform::MessageButtons::YesNo);
    if (answer != platform::IdYes) return;
    writeDefaultTemplate(programFolder_.consoleTemplate());
    inform(QStringLiteral("数据恢复，窗口将会关闭几秒钟，请您稍等。"), QStringLiteral("系统提示"));
    hide();
    pause_.pause(kRestorePauseMs);
    show();
}

void TForm2::Button4Click() {
    writeTextLines(programFolder_.templateBackup(), editableLines());
    inform(QStringLiteral("备份成功，已成功备份到文件Backup.dat，与程序放在同目录下即可使用。"),
           QStringLiteral("Recovery"));
}

void TForm2::showModally() {
    if (const QScreen* where = screen()) move(where->availableGeometry().center() - rect().center());
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    loop.exec();
}

}  // namespace asmora::build
