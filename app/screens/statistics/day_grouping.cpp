#include "app/screens/statistics/day_grouping.h"

#include <algorithm>
#include <cmath>

#include "app/core/formatting_helpers.h"
#include "platform/foundation/saturating_cast.h"

namespace quorvel {

using namespace platform;

void DayGrouping::add(const Value& timestamp, const Value& duration) {
    const auto date = timestamp.dateValue();
    if (!date || !std::isfinite(date->timeIntervalSinceReferenceDate())) return;
    add(*date, 1, std::max<std::int64_t>(duration.intValue().value_or(0), 0));
}

void DayGrouping::add(NSDate date, std::int64_t sessions, std::int64_t minutes) {
    if (!record_ || date < dayStart_) {
        const NSDate start = startOfDay(date);
        enter(start, dateByAddingDays(start, 1));
    } else if (!(date < nextDayStart_)) {
        // A start of day moved by whole days stays one.
        const NSDate following = dateByAddingDays(nextDayStart_, 1);
        const NSDate start = date < following ? nextDayStart_ : startOfDay(date);
        enter(start, start == nextDayStart_ ? following : dateByAddingDays(start, 1));
    }
    record_->pomodoros = addSaturating(record_->pomodoros, sessions);
    record_->minutes = addSaturating(record_->minutes, minutes);
}

void DayGrouping::enter(NSDate start, NSDate end) {
    dayStart_ = start;
    nextDayStart_ = end;
    record_ = &days_[start];
}

}  // namespace quorvel
