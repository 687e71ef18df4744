// The about window and the main window's `A1Click`, which shows it.
#include "Unit3.h"

#include "app/HelpViewer.h"
#include "app/Unit1.h"
#include "app/Unit5.h"
#include "skins/JpegPicture.h"
#include "skins/WindowFonts.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

namespace asmora::app {
namespace {

// Lines are set from the top of their 16-pixel rows, so the last line of the
// fullest group (six lines) ends well above the group's bottom border.
constexpr int kFirstLineTop = 20;
constexpr int kLinePitch = 16;
constexpr int kLineLeft = 8;

// The window keeps its white face and its text colours under every skin: its own
// sheet is preferred to the skin's application-wide sheet.
const char kAboutSheet[] =
    "#Form3 { background-color: white; }"
    "#Form3 QLabel { color: black; background: transparent; }"
    "#Form3 QGroupBox::title { color: black; }"
    "#Form3 #GroupBox3 QLabel, #Form3 #GroupBox3::title, #Form3 QLabel#Label12 { color: navy; }"
    "#Form3 #GroupBox4 QLabel, #Form3 #GroupBox4::title { color: red; }"
    "#Form3 QLabel#TextbookAuthor { color: blue; }";

struct Line {
    const char* name;
    const char16_t* text;
};

// 教材简介: the blue line names the textbook's author.
constexpr Line kTextbookLines[] = {
    {"TextbookAuthor", u"教材作者：沈明远  编著（第三版）"},
    {"Label2", u"本书的主要特点："},
    {"Label3", u"重点介绍了32位内存模型和32位指令；"},
    {"Label4", u"强调体系结构，如寄存器、内存编址、硬件功能等；"},
    {"Label5", u"阐述了如何在汇编语言中实现高级语言概念"},
    {"Label6", u"提前介绍了汇编语言编程及Microsft的Windbg调试器；"},
};

// 程序制作, navy.
constexpr Line kMakerLines[] = {
    {"Label7", u"发布： Norwick计算机科学学院"},
    {"Label8", u"作者： Qorvel工作室  林书航"},
    {"Label9", u"联系： asmora@qorvel.example"},
};

// 授权声明, red.
constexpr Line kLicenceLines[] = {
    {"Label10", u""},
    {"Label11", u""},
};

QGroupBox* makeGroup(QWidget* parent, const char* name, const QString& title, QRect geometry) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(geometry);
    return group;
}

template <size_t N>
void addLines(QGroupBox* group, const Line (&lines)[N]) {
    int top = kFirstLineTop;
    for (const Line& line : lines) {
        auto* label = new QLabel(QString::fromUtf16(line.text), group);
        label->setObjectName(QString::fromLatin1(line.name));
        label->setGeometry(kLineLeft, top, group->width() - 2 * kLineLeft, kLinePitch);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        top += kLinePitch;
    }
}

}  // namespace

TForm3::TForm3(platform::ProgramFolder programFolder, platform::DialogService& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      programFolder_(std::move(programFolder)),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("关于  ") + makerWebAddress());
    setFixedSize(519, 335);
    setFont(skins::songTi(12));
    setStyleSheet(QString::fromLatin1(kAboutSheet));
    buildGroups();

    Label12 = new QLabel(QStringLiteral("常见问题可参阅帮助文件：Asmora帮助.HLP(点击链接)"), this);
    Label12->setObjectName(QStringLiteral("Label12"));
    Label12->move(10, 309);
    Label12->adjustSize();
    Label12->setCursor(Qt::PointingHandCursor);
    Label12->installEventFilter(this);

    Button1 = new QPushButton(QStringLiteral("确       定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(384, 304, 129, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
}

TForm3::~TForm3() = default;

void TForm3::buildGroups() {
    GroupBox1 = makeGroup(this, "GroupBox1", QStringLiteral("教材图片"), {8, 8, 193, 289});
    Image1 = new QLabel(GroupBox1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 20, 177, 257);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap::fromImage(skins::jpegPicture(QStringLiteral(":/pictures/cover.jpg"))));

    GroupBox2 = makeGroup(this, "GroupBox2", QStringLiteral("教材简介"), {208, 8, 305, 129});
    addLines(GroupBox2, kTextbookLines);
    GroupBox3 = makeGroup(this, "GroupBox3", QStringLiteral("程序制作"), {208, 144, 305, 81});
    addLines(GroupBox3, kMakerLines);
    GroupBox4 = makeGroup(this, "GroupBox4", QStringLiteral("授权声明"), {208, 232, 305, 65});
    addLines(GroupBox4, kLicenceLines);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label12 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label12Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::Label12Click() {
    if (!helpViewer_) helpViewer_ = new THelpViewer(dialogs_, this);
    helpViewer_->openContents(programFolder_.helpFile());
}

void TForm3::Button1Click() { accept(); }

// Shows the about window centred on the screen, modally.
void TForm1::A1Click() {
    if (!Form3) return;
    if (QScreen* screen = Form3->screen() ? Form3->screen() : QGuiApplication::primaryScreen())
        Form3->move(screen->availableGeometry().center() - Form3->rect().center());
    Form3->exec();
}

}  // namespace asmora::app
