// The console template editor `TForm2`: shows the template in its editable form
// under an 80-column ruler, explains the ";;" notation, and offers four buttons:
// restore the built-in template, back the text up to Backup.dat, try the frame in
// a console window, and save it to bin/ExecM.dll.
#pragma once

#include "platform/ProgramFolder.h"
#include "platform/ServiceDeclarations.h"

#include <QDialog>
#include <QStringList>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace asmora::build {

class TForm2 final : public QDialog {
    Q_OBJECT
public:
    TForm2(const platform::ProgramFolder& programFolder, platform::DialogService& dialogs,
           platform::ShellService& shell, platform::PauseService& pause, QWidget* parent = nullptr);

    // Once, at start-up: writes the built-in template when bin/ExecM.dll is missing.
    // Raises platform::Error when it cannot be written.
    void FormCreate();
    // Each time the window is shown: the text area gets ExecM.dll in editable form.
    void Form2Show();

    void Button1Click();  // test: the batch of the text area in a console window
    void Button2Click();  // save: the text area to ExecM.dll
    void Button3Click();  // restore: the built-in template, after a question
    void Button4Click();  // backup: the text area to Backup.dat

    // Centres the window on the screen and shows it modally; returns when closed.
    // Hiding it for a moment (restore) does not end it.
    void showModally();

    // The text area's lines; a last empty line (a final line break) is no line.
    QStringList editableLines() const;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;  // advice on the line length
    QLabel* Label8 = nullptr;  // ruler
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button2 = nullptr;  // 恢复预留界面
    QPushButton* Button5 = nullptr;  // 备份当前DOS界面
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Button3 = nullptr;  // DOS测试
    QPushButton* Button4 = nullptr;  // 保  存

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void guarded(void (TForm2::*handler)());
    void inform(const QString& text, const QString& caption);

    platform::ProgramFolder programFolder_;
    platform::DialogService& dialogs_;
    platform::ShellService& shell_;
    platform::PauseService& pause_;
};

}  // namespace asmora::build
