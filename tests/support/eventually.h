#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace quorvel::testing {

// How long a test waits for what another thread or process brings before it gives up. It is only a
// guard against a run that would hang: the verdict is the event itself, so the guard is far beyond
// what any loaded machine takes.
inline constexpr std::chrono::seconds kPatience{120};

// Polls `done` until it holds, calling `step` (which lets the awaited work move on, such as running
// the main queue) before each look; false only when kPatience passes first.
inline bool eventually(const std::function<bool()>& done, const std::function<void()>& step = {}) {
    const auto guard = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        if (step) step();
        if (done()) return true;
        if (std::chrono::steady_clock::now() > guard) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace quorvel::testing
