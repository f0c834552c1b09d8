#pragma once

#include <cstdint>

namespace quorvel {

// The minute ring of the timer screen as the engine moves it: the ruler's item of a whole minute, and
// its offset in fractional minutes.
class TimerMinuteRing {
public:
    virtual ~TimerMinuteRing() = default;

    virtual void scrollToItemAtIndex(std::int64_t index, bool animated) = 0;
    virtual void setScrollOffset(double offset) = 0;
};

}  // namespace quorvel
