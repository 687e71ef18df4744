// A fresh program folder with the dialog, shell and pause doubles, for window tests.
#pragma once

#include "app/ProgramEntry.h"
#include "app/Services.h"
#include "app/Unit1.h"
#include "documents/SciDocTabCtrl.h"
#include "platform/doubles/RecordingPause.h"
#include "platform/doubles/RecordingShell.h"
#include "platform/doubles/ScriptedDialogs.h"
#include "resources/CarriedBundle.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>

#include <memory>

class AppFixture : public ::testing::Test {
protected:
    QTemporaryDir folder;
    platform::ScriptedDialogs dialogs;
    platform::RecordingShell shell;
    platform::RecordingPause pause;
    std::unique_ptr<asmora::app::TForm1> window;
    QString savedCurrent = QDir::currentPath();

    void SetUp() override { asmora::resources::registerCarriedFiles(); }
    void TearDown() override {
        window.reset();
        QDir::setCurrent(savedCurrent);
    }

    asmora::app::Services services() { return {dialogs, shell, pause}; }
    QString path(const QString& tail) const { return folder.path() + u'/' + tail; }
    platform::ProgramFolder programFolder() const { return platform::ProgramFolder(folder.path()); }
    QString tabText() const { return window->documentTabs().TabBar()->tabText(0); }
    // A panel or button of the main window's layout, by its component name.
    template <class Widget = QWidget>
    Widget* component(const char* name) const {
        auto* found = window->centralWidget()->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    asmora::app::TForm1& start(const QStringList& arguments = {}) {
        asmora::app::extractEditingLibrary(programFolder());
        window = std::make_unique<asmora::app::TForm1>(programFolder(), services());
        window->FormCreate(arguments);
        return *window;
    }

    void writeFile(const QString& tail, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(path(tail)).path());
        QFile file(path(tail));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    QByteArray readFile(const QString& tail) const {
        QFile file(path(tail));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
};
