// Test double of the shell service: records what would have been opened or started.
#pragma once

#include "../ShellService.h"

#include <QList>
#include <QPair>
#include <QStringList>

namespace platform {

class RecordingShell final : public ShellService {
public:
    QStringList openedBatches;
    QList<QPair<QString, QString>> started;  // program, arguments
    bool succeed = true;
    QString missing;   // what missingFor answers
    QStringList host;  // what hostRows answers

    bool openBatchMaximized(const QString& batchPath) override {
        openedBatches.append(batchPath);
        return succeed;
    }
    bool startDetached(const QString& program, const QString& arguments) override {
        started.append({program, arguments});
        return succeed;
    }
    QString missingFor(Purpose, const QString&) override { return missing; }
    QStringList hostRows() override { return host; }
};

}  // namespace platform
