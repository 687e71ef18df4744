// The command runner: a child process drained through the event loop.
#include "CommandRunner.h"

#include "platform/ChildProcess.h"
#include "platform/Cp936.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <string>
#include <vector>

namespace asmora::build {
namespace {

constexpr size_t kReadSize = 256 * 1024;
// One pass over the pipe hands control back to the event loop after this long.
constexpr qint64 kPassBudgetMs = 15;
constexpr int kExitPollMs = 10;

std::vector<QString> toRows(std::vector<std::string>& raw) {
    std::vector<QString> rows;
    rows.reserve(raw.size());
    for (const std::string& row : raw) rows.push_back(platform::cp936::decodeUtf8OrCp936(row));
    raw.clear();
    return rows;
}

// Keeps the busy state (hourglass, runningChanged) exactly as long as a run lasts,
// also when an exception passes.
class BusyScope {
public:
    BusyScope(TCommandRunner& runner, platform::ChildProcess*& slot, platform::ChildProcess& child)
        : runner_(runner), slot_(slot) {
        slot_ = &child;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        emit runner_.runningChanged(true);
    }
    ~BusyScope() {
        slot_ = nullptr;
        QApplication::restoreOverrideCursor();
        emit runner_.runningChanged(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    TCommandRunner& runner_;
    platform::ChildProcess*& slot_;
};

}  // namespace

bool TCommandRunner::drain(Drain how, TOutputList& output) {
    std::vector<std::string> raw;
    std::string buffer(kReadSize, '\0');
    QElapsedTimer clock;
    clock.start();
    bool open = true;
    while (true) {
        size_t count = 0;
        const auto result = child_->read(buffer.data(), buffer.size(), count);
        if (result == platform::ChildProcess::ReadResult::Data) {
            splitter_.feed(std::string_view(buffer.data(), count), raw);
            if (how == Drain::Some && clock.elapsed() >= kPassBudgetMs) break;
            continue;
        }
        open = result != platform::ChildProcess::ReadResult::EndOfFile;
        break;
    }
    if (!open || how == Drain::All) splitter_.finish(raw);
    output.addRows(toRows(raw));
    return open;
}

void TCommandRunner::RunDosCommand(const QString& command, TOutputList& output) {
    if (child_) return;  // one command at a time
    platform::ChildProcess child;
    if (!child.start(command)) {
        // A student program that this machine cannot run says why, instead of nothing.
        if (child.refused()) output.addRow(child.errorString());
        return;
    }
    BusyScope busy(*this, child_, child);
    splitter_ = RowSplitter();

    QEventLoop loop;
    QSocketNotifier notifier(child.outputFd(), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        if (!drain(Drain::Some, output)) notifier.setEnabled(false);
    });
    QTimer exitPoll;
    QObject::connect(&exitPoll, &QTimer::timeout, &loop, [&] {
        if (child.hasEnded()) loop.quit();
    });
    exitPoll.start(kExitPollMs);
    loop.exec();
    // The child has ended: take everything still in the pipe. A process it left
    // behind that still holds the pipe open does not hold the runner up.
    drain(Drain::All, output);
}

void TCommandRunner::stop() {
    if (child_) child_->kill();
}

}  // namespace asmora::build
