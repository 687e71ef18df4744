// The fixed pauses of the program (after assembling, between tool-kit rows, ...).
// The real service waits while the window keeps painting but takes no user input;
// tests replace it with one that only records the pauses.
#pragma once

namespace platform {

class PauseService {
public:
    virtual ~PauseService() = default;
    virtual void pause(int milliseconds) = 0;
};

class RealPauseService final : public PauseService {
public:
    void pause(int milliseconds) override;
};

}  // namespace platform
