// The about window `TForm3`: the textbook's cover and introduction, who made the
// program, the licence group, the link to the help file and the OK button. Made at
// start-up, hidden, and shown modally as often as the user asks (`A1Click`).
#pragma once

#include "platform/ProgramFolder.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace platform {
class DialogService;
}

namespace asmora::app {

class THelpViewer;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(platform::ProgramFolder programFolder, platform::DialogService& dialogs, QWidget* parent = nullptr);
    ~TForm3() override;

    QGroupBox* GroupBox1 = nullptr;  // 教材图片
    QLabel* Image1 = nullptr;        // the textbook cover, stretched to 177 x 257
    QGroupBox* GroupBox2 = nullptr;  // 教材简介
    QGroupBox* GroupBox3 = nullptr;  // 程序制作
    QGroupBox* GroupBox4 = nullptr;  // 授权声明
    QLabel* Label12 = nullptr;       // the help link
    QPushButton* Button1 = nullptr;  // 确       定

    // Opens <program folder>/bin/Asmora帮助.hlp in the help viewer at its contents.
    void Label12Click();
    // Closes (hides) the window.
    void Button1Click();

    // The help viewer the link opens; null until the link is first clicked.
    THelpViewer* helpViewer() const { return helpViewer_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGroups();

    platform::ProgramFolder programFolder_;
    platform::DialogService& dialogs_;
    THelpViewer* helpViewer_ = nullptr;
};

}  // namespace asmora::app
