#pragma once

#include <vector>

#include "app/screens/reminders/reminder_settings_cell.h"

namespace quorvel {

// One section of the reminder screen: the hour and the switch, or the seven weekdays.
struct ReminderSettingsSection {
    enum class Kind { schedule, repeat };

    Kind kind = Kind::schedule;
    std::vector<ReminderSettingsCell> rows;

    bool operator==(const ReminderSettingsSection&) const = default;
};

}  // namespace quorvel
