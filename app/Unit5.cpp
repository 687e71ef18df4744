// The splash window.
#include "Unit5.h"

#include <QGuiApplication>
#include <QScreen>

namespace asmora::app {

TForm5::TForm5(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Form5"));
    setFixedSize(597, 182);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

}  // namespace asmora::app
