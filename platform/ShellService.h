// Handing work to the desktop: opening a batch file in a maximised console window
// and starting a program detached (the debugger). The real service starts xterm;
// tests use a recording double.
#pragma once

#include <QString>

namespace platform {

class ShellService {
public:
    virtual ~ShellService() = default;
    // Opens the batch file in a maximised console window; false when that fails.
    virtual bool openBatchMaximized(const QString& batchPath) = 0;
    // Starts `program` with `arguments` (one string, passed as the program's
    // command-line tail, unchanged) without waiting; false when it cannot start.
    virtual bool startDetached(const QString& program, const QString& arguments) = 0;
};

class XtermShellService final : public ShellService {
public:
    bool openBatchMaximized(const QString& batchPath) override;
    bool startDetached(const QString& program, const QString& arguments) override;

    // The xterm command line that shows a console host running `batchPath`.
    static QStringList consoleCommand(const QString& hostProgram, const QString& batchPath);
};

}  // namespace platform
