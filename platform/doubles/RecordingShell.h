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

    bool openBatchMaximized(const QString& batchPath) override {
        openedBatches.append(batchPath);
        return succeed;
    }
    bool startDetached(const QString& program, const QString& arguments) override {
        started.append({program, arguments});
        return succeed;
    }
};

}  // namespace platform
