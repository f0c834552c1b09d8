#pragma once

#include <algorithm>
#include <chrono>

namespace platform {

// A wait of `seconds` (more than zero) as the steady clock's duration, at most an hour. A deadline far
// beyond that (a notification due in 2400) would overflow the conversion to nanoseconds and end the
// wait at once, over and over; waking early only finds nothing due and waits again.
inline std::chrono::steady_clock::duration boundedWait(double seconds) {
    constexpr double kLongestWaitSeconds = 60 * 60;
    return std::chrono::ceil<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(std::min(seconds, kLongestWaitSeconds)));
}

}  // namespace platform
