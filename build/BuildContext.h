// What the build-and-run commands use of the main window: the output list, the
// command box, the auto-execute box, the debugger-tips switch, the execute and save
// commands, the program folder, the current document's path and the platform
// services. The main window fills it; tests fill it with widgets of their own.
#pragma once

#include "platform/ProgramFolder.h"
#include "platform/ServiceDeclarations.h"

#include <QString>

#include <functional>

class QAction;
class QCheckBox;
class QLineEdit;
class QWidget;

namespace asmora::build {

class TOutputList;

struct TBuildContext {
    QWidget* owner;                // parent of the message boxes
    TOutputList& output;           // `ListBox1`
    QLineEdit& commandBox;         // `Edit2`
    const QCheckBox& autoExecute;  // `CheckBox1`: run the tool command at once
    const QAction& debugTipsOff;   // `N27`: no tips box before debugging
    platform::ProgramFolder programFolder;
    std::function<QString()> currentPath;                      // `CurrentPath`
    std::function<void()> execute;                             // the execute button's work (`Button7Click`)
    std::function<void()> save;                                // the save command, `SaveBClick`
    std::function<void(const QString& target)> writeIoHeader;  // the carried io.h
    platform::DialogService& dialogs;
    platform::ShellService& shell;
    platform::PauseService& pause;
};

}  // namespace asmora::build
