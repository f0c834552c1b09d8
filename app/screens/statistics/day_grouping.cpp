#include "app/screens/statistics/day_grouping.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/saturating_cast.h"

namespace quorvel {

using namespace platform;

void DayGrouping::add(const Value& timestamp, const Value& duration) {
    const auto date = timestamp.dateValue();
    if (!date || !std::isfinite(date->timeIntervalSinceReferenceDate())) return;
    add(*date, 1, std::max<std::int64_t>(duration.intValue().value_or(0), 0));
}

void DayGrouping::add(NSDate date, std::int64_t sessions, std::int64_t minutes) {
    place(date);
    if (!record_) record_ = &days_[span_.dayStart()];
    record_->pomodoros = addSaturating(record_->pomodoros, sessions);
    record_->minutes = addSaturating(record_->minutes, minutes);
}

bool DayGrouping::onOneDay(NSDate from, NSDate until) {
    place(from);
    return span_.contains(from) && span_.lastsUntil(until);
}

void DayGrouping::place(NSDate date) {
    if (placed_ && span_.contains(date)) return;
    span_ = LocalDaySpan::around(date, calendar_);
    placed_ = true;
    record_ = nullptr;
}

}  // namespace quorvel
