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
    for (std::int64_t k = 0; k < days; ++k) {
        const DayNumber day = dayNumberOf(dayNumbers, dateByAddingDays(newestDay, -k));
        sum.pomodoros = platform::addSaturating(sum.pomodoros, day.pomodoros);
        sum.minutes = platform::addSaturating(sum.minutes, day.minutes);
    }
    return sum;
}

}  // namespace quorvel
