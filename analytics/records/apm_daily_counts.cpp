#include "analytics/records/apm_daily_counts.h"

#include <algorithm>
#include <limits>

namespace analytics {

namespace {

// The counts stay 32 bits wide; past their range they stop at its end rather than overflow.
std::int32_t add(std::int32_t count, std::int32_t amount) {
    const std::int64_t sum = static_cast<std::int64_t>(count) + amount;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

void APMDailyCounts::incrementCountsForCurrentDay(std::int32_t day, bool isPublicEvent, bool isConversion,
                                                  std::int32_t effectiveEventCount) {
    if (day != day_) resetWithNewDay(day);
    if (isConversion) conversionsCount_ = add(conversionsCount_, 1);
    allEventsCount_ = add(allEventsCount_, effectiveEventCount);
    if (isPublicEvent) publicEventsCount_ = add(publicEventsCount_, effectiveEventCount);
}

void APMDailyCounts::incrementErrorEventsCountForCurrentDay(std::int32_t day) {
    if (day != day_) resetWithNewDay(day);
    allEventsCount_ = add(allEventsCount_, 1);
    errorEventsCount_ = add(errorEventsCount_, 1);
}

void APMDailyCounts::incrementRealtimeCountsForCurrentDay(std::int32_t day) {
    if (day != day_) resetWithNewDay(day);
    realtimeCount_ = add(realtimeCount_, 1);
}

void APMDailyCounts::decrementAllEventsCount() {
    if (allEventsCount_ > 0) --allEventsCount_;
}

void APMDailyCounts::resetWithNewDay(std::int32_t day) {
    *this = APMDailyCounts(day, 0, 0, 0, 0, 0);
}

}  // namespace analytics
