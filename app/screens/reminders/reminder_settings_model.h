#pragma once

#include <cstdint>
#include <vector>

#include "app/screens/reminders/reminder_weekdays.h"

namespace quorvel {

// The weekly focus reminder: one full hour, on or off as a whole, on the chosen days in the order
// they were loaded or chosen.
struct ReminderSettingsModel {
    std::int64_t time = 0;
    bool enabled = false;
    std::vector<ReminderWeekdays> weekdays;

    bool operator==(const ReminderSettingsModel&) const = default;
};

}  // namespace quorvel
