// The splash window.
#include "Unit5.h"

#include "skins/JpegPicture.h"
#include "skins/WindowFonts.h"

#include <QGuiApplication>
#include <QScreen>

namespace asmora::app {
namespace {

QLabel* makeLine(QWidget* parent, const char* name, const QString& text, const char* colour, bool bold, QPoint at) {
    auto* line = new QLabel(text, parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFont(skins::songTi(12, bold));
    // The window's own sheet keeps these colours whatever skin paints the program.
    line->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(QLatin1String(colour)));
    line->move(at);
    line->adjustSize();
    return line;
}

}  // namespace

QString makerWebAddress() { return QStringLiteral("www.qorvel.example"); }

TForm5::TForm5(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Form5"));
    setFixedSize(597, 182);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("#Form5 { background-color: white; }"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 601, 153);
    Image1->setPixmap(QPixmap::fromImage(skins::jpegPicture(QStringLiteral(":/pictures/splash.jpg"))));

    Label1 = makeLine(this, "Label1", QStringLiteral("欢迎使用Qorvel工作室提供的汇编工具 ") + makerWebAddress(),
                      "green", false, {264, 160});
    Label2 = makeLine(this, "Label2", QStringLiteral("版本发布：V2009 Build 3.818"), "purple", true, {5, 160});

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

}  // namespace asmora::app
