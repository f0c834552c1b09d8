#pragma once

#include <cstdint>
#include <string>

#include "app/screens/reminders/reminder_weekdays.h"

namespace quorvel {

// One row of the reminder screen with what it shows: the hour, the switch, or one weekday and
// whether it is chosen. A change the user makes travels back to the model as a row too.
struct ReminderSettingsCell {
    enum class Kind { time, enable, repeats };

    static ReminderSettingsCell time(std::int64_t hour) { return {Kind::time, hour, false, {}}; }
    static ReminderSettingsCell enable(bool on) { return {Kind::enable, 0, on, {}}; }
    static ReminderSettingsCell repeats(ReminderWeekdays day, bool selected) {
        return {Kind::repeats, 0, selected, day};
    }

    // "Reminder Time", "Receive Reminder", "Every Sunday" …
    std::string title() const;

    Kind kind = Kind::time;
    std::int64_t hour = 0;  // time
    bool flag = false;      // enable: the switch; repeats: chosen
    ReminderWeekdays day = ReminderWeekdays::monday;  // repeats

    bool operator==(const ReminderSettingsCell&) const = default;
};

}  // namespace quorvel
