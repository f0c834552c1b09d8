#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "platform/foundation/clock.h"

namespace quorvel::testing {

// Work answered on another thread or by another process (a probe, a decoder) reaches the main queue in
// wall time: runs the virtual clock's main queue until `done` holds, for at most ten seconds.
inline bool runMainQueueUntil(platform::VirtualClock& clock, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        clock.runUntilIdle();
    }
    return true;
}

}  // namespace quorvel::testing
