#pragma once

#include <functional>

#include "platform/foundation/clock.h"
#include "tests/support/eventually.h"

namespace quorvel::testing {

// Work answered on another thread or by another process (a probe, a decoder) reaches the main queue in
// wall time: runs the virtual clock's main queue until `done` holds (false only past kPatience).
inline bool runMainQueueUntil(platform::VirtualClock& clock, const std::function<bool()>& done) {
    return eventually(done, [&] { clock.runUntilIdle(); });
}

}  // namespace quorvel::testing
