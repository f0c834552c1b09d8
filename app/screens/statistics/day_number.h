#pragma once

#include <cstdint>
#include <map>

#include "platform/coregraphics/cg_geometry.h"
#include "platform/foundation/ns_date.h"

namespace quorvel {

// One day's stored sessions: how many, and their minutes. The two averages are carried as made (0).
struct DayNumber {
    std::int64_t pomodoros = 0;
    std::int64_t minutes = 0;
    platform::CGFloat avgPomodoros = 0;
    platform::CGFloat avgMinutes = 0;

    bool operator==(const DayNumber&) const = default;
};

// The days that have sessions, keyed by the start of the local day.
using DayNumbers = std::map<platform::NSDate, DayNumber>;

// The record of a day, or a zero record for a day without sessions.
DayNumber dayNumberOf(const DayNumbers& dayNumbers, platform::NSDate day);

// The sums of `days` consecutive days: `newestDay` and the days before it.
DayNumber sumOfDays(const DayNumbers& dayNumbers, platform::NSDate newestDay, std::int64_t days);

}  // namespace quorvel
