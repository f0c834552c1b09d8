#pragma once

#include <cstdint>

#include "app/screens/statistics/day_number.h"
#include "platform/foundation/value.h"

namespace quorvel {

// Adds sessions to their local days. Sessions mostly come in the order they ended, so consecutive ones
// mostly share a day, or fall on the next: the day found last is kept with its end, and the calendar is
// asked for a day's start only when a session falls on neither.
class DayGrouping {
public:
    explicit DayGrouping(DayNumbers& days) : days_(days) {}

    // A session as the store holds it: one without a real time belongs to no day, and a damaged or
    // foreign record cannot take minutes away from a day.
    void add(const platform::Value& timestamp, const platform::Value& duration);
    // `sessions` sessions of `minutes` in all that ended at `date` (a real time).
    void add(platform::NSDate date, std::int64_t sessions, std::int64_t minutes);
    // The start of the day after the one the last session went to.
    platform::NSDate nextDayStart() const { return nextDayStart_; }

private:
    void enter(platform::NSDate start, platform::NSDate end);

    DayNumbers& days_;
    platform::NSDate dayStart_, nextDayStart_;
    DayNumber* record_ = nullptr;
};

}  // namespace quorvel
