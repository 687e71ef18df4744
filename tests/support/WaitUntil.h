// Waiting in tests for a condition instead of for a fixed time: the condition is
// polled until it holds or a generous deadline passes. The deadline only stops a
// test that would otherwise hang; it is not what the test measures.
#pragma once

#include <chrono>
#include <thread>

namespace asmora::testing {

inline constexpr std::chrono::milliseconds kGenerousDeadline{30000};

// Polls `condition` every few milliseconds; true as soon as it holds, false when
// `deadline` passed without it.
template <typename Condition>
bool waitUntil(Condition&& condition, std::chrono::milliseconds deadline = kGenerousDeadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace asmora::testing
