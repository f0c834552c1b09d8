#pragma once

#include "platform/foundation/ns_calendar.h"
#include "platform/foundation/ns_date.h"

namespace quorvel {

// A stretch of time in which the local clock shows one date at one offset, with that date's first
// instant, its key among the days. Every instant inside it falls on that day. It ends at the next local
// midnight or the next change of the clocks, whichever comes first: where the clocks go back across a
// midnight, a date comes round twice, and where they skip a midnight, a day starts later.
class LocalDaySpan {
public:
    LocalDaySpan() = default;
    // The stretch around `date` in the calendar's zone. A date the calendar cannot place has a day of
    // its own (its own instant) and a stretch holding nothing.
    static LocalDaySpan around(platform::NSDate date, const platform::NSCalendar& calendar);

    platform::NSDate dayStart() const { return dayStart_; }
    bool contains(platform::NSDate date) const { return !(date < from_) && date < until_; }
    // Whether it lasts at least until `end`.
    bool lastsUntil(platform::NSDate end) const { return !(until_ < end); }

private:
    LocalDaySpan(platform::NSDate dayStart, platform::NSDate from, platform::NSDate until)
        : dayStart_(dayStart), from_(from), until_(until) {}

    platform::NSDate dayStart_, from_, until_;
};

}  // namespace quorvel
