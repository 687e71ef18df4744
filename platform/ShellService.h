// Handing work to the desktop: opening a batch file in a maximised console window
// and starting a program detached (the debugger). The real service starts xterm;
// tests use a recording double.
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

class ShellService {
public:
    virtual ~ShellService() = default;
    // Opens the batch file in a maximised console window; false when that fails.
    virtual bool openBatchMaximized(const QString& batchPath) = 0;
    // Starts `program` with `arguments` (one string, passed as the program's
    // command-line tail, unchanged) without waiting; false when it cannot start.
    virtual bool startDetached(const QString& program, const QString& arguments) = 0;

    enum class Purpose { Run, Debug };
    // Why the built program `executable` cannot be shown running in a console window
    // (Run) or under the debugger (Debug) on this machine: a missing helper program
    // or no way to run i386 programs, with the package to install. Empty when
    // nothing is missing.
    virtual QString missingFor(Purpose purpose, const QString& executable) = 0;
    // The rows the tool-kit check adds: how i386 programs run on this machine, then
    // one row for each missing helper program.
    virtual QStringList hostRows() = 0;
};

class XtermShellService final : public ShellService {
public:
    bool openBatchMaximized(const QString& batchPath) override;
    bool startDetached(const QString& program, const QString& arguments) override;
    QString missingFor(Purpose purpose, const QString& executable) override;
    QStringList hostRows() override;

    // The xterm command line that shows a console host running `batchPath`.
    static QStringList consoleCommand(const QString& hostProgram, const QString& batchPath);
};

}  // namespace platform
