// The splash window `TForm5`: borderless, 597 x 182, centred, shown while the
// program starts.
#pragma once

#include <QWidget>

namespace asmora::app {

class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
};

}  // namespace asmora::app
