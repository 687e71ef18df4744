// Runs one console command as a child process and appends everything it prints,
// row by row, to the output list. The caller continues only after the child has
// ended, yet the window keeps painting and answering meanwhile, so a child that
// never ends can be stopped; commands still run one at a time.
#pragma once

#include "OutputList.h"
#include "RowSplitter.h"

#include <QObject>

namespace platform {
class ChildProcess;
}

namespace asmora::build {

class TCommandRunner final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Runs `command` (split by the Windows rules; the program is resolved against the
    // current folder) and appends its output rows to `output`. Returns when the child
    // has ended and its output is drained, or at once when it cannot be started (then
    // nothing is appended, except the reason when the command names an i386 program
    // this machine cannot run). Nothing the child prints is lost.
    void RunDosCommand(const QString& command, TOutputList& output);

    bool isRunning() const { return child_ != nullptr; }
    // Ends the running child; RunDosCommand then returns with the rows received.
    void stop();

signals:
    void runningChanged(bool running);

private:
    enum class Drain { Some, All };
    // Reads what the pipe holds (a bounded amount for Some) and appends the rows.
    // Returns false once the pipe has reached its end.
    bool drain(Drain how, TOutputList& output);

    platform::ChildProcess* child_ = nullptr;
    RowSplitter splitter_;
};

}  // namespace asmora::build
