// The splash window `TForm5`: borderless, client area 597 x 182, centred on the
// screen, shown by the program entry while the program starts. It holds the splash
// picture and the welcome and version lines; it has no behaviour of its own.
#pragma once

#include <QLabel>
#include <QWidget>

namespace asmora::app {

// The maker's web address, shown in the splash and in the about window's caption.
QString makerWebAddress();

class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;  // the splash picture, 601 x 153 at the top left
    QLabel* Label1 = nullptr;  // welcome line, green
    QLabel* Label2 = nullptr;  // version line, purple, bold
};

}  // namespace asmora::app
