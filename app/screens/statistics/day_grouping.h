#pragma once

#include <cstdint>

#include "app/screens/statistics/day_number.h"
#include "app/screens/statistics/local_day_span.h"
#include "platform/foundation/ns_calendar.h"
#include "platform/foundation/value.h"

namespace quorvel {

// Adds sessions to their local days in the present time zone. Sessions mostly come in the order they
// ended, so consecutive ones mostly share a day: the stretch of time known to lie on the last session's
// day is kept, and the calendar is asked for a day only when a session falls outside it.
class DayGrouping {
public:
    explicit DayGrouping(DayNumbers& days) : days_(days) {}

    // A session as the store holds it: one without a real time belongs to no day, and a damaged or
    // foreign record cannot take minutes away from a day.
    void add(const platform::Value& timestamp, const platform::Value& duration);
    // `sessions` sessions of `minutes` in all that ended at `date` (a real time).
    void add(platform::NSDate date, std::int64_t sessions, std::int64_t minutes);
    // Whether every instant from `from` up to (not including) `until` falls on `from`'s local date.
    bool onOneDay(platform::NSDate from, platform::NSDate until);

private:
    void place(platform::NSDate date);

    DayNumbers& days_;
    platform::NSCalendar calendar_;
    LocalDaySpan span_;
    bool placed_ = false;
    DayNumber* record_ = nullptr;  // the span's day, once a session went to it
};

}  // namespace quorvel
