// Test double of the pause service: records the pauses instead of waiting.
#pragma once

#include "../PauseService.h"

#include <QList>

namespace platform {

class RecordingPause final : public PauseService {
public:
    QList<int> pauses;
    void pause(int milliseconds) override { pauses.append(milliseconds); }
};

}  // namespace platform
