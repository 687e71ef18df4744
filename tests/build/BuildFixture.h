// A program folder and a source folder in temporary space, the dialog, shell and
// pause doubles, and the widgets the build commands use, joined in a context.
#pragma once

#include "build/BuildContext.h"
#include "build/OutputList.h"
#include "platform/doubles/RecordingPause.h"
#include "platform/doubles/RecordingShell.h"
#include "platform/doubles/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

class BuildFixture : public ::testing::Test {
protected:
    QTemporaryDir program;
    QTemporaryDir student;
    platform::ScriptedDialogs dialogs;
    platform::RecordingShell shell;
    platform::RecordingPause pause;
    asmora::build::TOutputList output;
    QLineEdit commandBox;
    QCheckBox autoExecute;
    QAction debugTipsOff;

    QString currentPath;
    QStringList executed;  // the command box at each execute
    int saves = 0;
    QStringList headersWritten;  // where io.h was written
    std::function<void()> onExecute;

    BuildFixture() {
        autoExecute.setChecked(true);
        debugTipsOff.setCheckable(true);
        QDir().mkpath(programFolder().bin());
    }
    platform::ProgramFolder programFolder() const { return platform::ProgramFolder(program.path()); }

    asmora::build::TBuildContext context() {
        return {nullptr,
                output,
                commandBox,
                autoExecute,
                debugTipsOff,
                programFolder(),
                [this] { return currentPath; },
                [this] {
                    executed.append(commandBox.text());
                    if (onExecute) onExecute();
                },
                [this] { ++saves; },
                [this](const QString& target) {
                    headersWritten.append(target);
                    writeFile(target, "; io.h\r\n");
                },
                dialogs,
                shell,
                pause};
    }

    // A source file under the student folder; `tail` may hold sub-folders.
    QString source(const QString& tail, const QByteArray& text = "END\r\n") {
        const QString path = student.path() + u'/' + tail;
        writeFile(path, text);
        return path;
    }

    // Makes <folder>/hello.asm under the student folder the current source; returns
    // the base of its work files, <student>/<folder>/Debug/hello.
    QString openHello(const QString& folder) {
        currentPath = source(folder + QStringLiteral("/hello.asm"));
        return student.path() + u'/' + folder + QStringLiteral("/Debug/hello");
    }

    static void writeFile(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString captionsShown() const {
        QStringList captions;
        for (const auto& shown : dialogs.shown) captions.append(shown.caption);
        return captions.join(u',');
    }
};
