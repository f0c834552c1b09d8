#include "app/screens/statistics/day_number.h"

#include "app/core/formatting_helpers.h"
#include "platform/foundation/saturating_cast.h"

namespace quorvel {

DayNumber dayNumberOf(const DayNumbers& dayNumbers, platform::NSDate day) {
    const auto found = dayNumbers.find(day);
    return found == dayNumbers.end() ? DayNumber{} : found->second;
}

DayNumber sumOfDays(const DayNumbers& dayNumbers, platform::NSDate newestDay, std::int64_t days) {
    DayNumber sum;
    if (days <= 0) return sum;
    // Every key is a day's first instant: the days from the oldest up to the one after the newest.
    const platform::NSDate oldest = startOfDayDaysAfter(newestDay, -(days - 1));
    const platform::NSDate after = startOfDayDaysAfter(newestDay, 1);
    if (!(oldest < after)) return sum;  // dates the calendar cannot form
    const auto end = dayNumbers.lower_bound(after);
    for (auto day = dayNumbers.lower_bound(oldest); day != end; ++day) {
        sum.pomodoros = platform::addSaturating(sum.pomodoros, day->second.pomodoros);
        sum.minutes = platform::addSaturating(sum.minutes, day->second.minutes);
    }
    return sum;
}

}  // namespace quorvel
