#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

// The weekly focus reminders as the stored reminder setting says: the hour, the switch and the
// weekdays kept as digits, Monday 1 to Sunday 7.
class FocusReminderSchedule {
public:
    // The notification weekday of a stored one: Sunday 1, Monday 2 … Saturday 7.
    static std::int64_t calendarWeekday(std::int64_t storedWeekday);
    // The stored days, Sunday first, each once; characters other than 1 to 7 are ignored.
    static std::vector<std::int64_t> storedWeekdays(const std::string& text);
    // Removes every weekday's reminder, then, when reminders are on, schedules one per stored weekday.
    static void rescheduleFromSettings();
};

}  // namespace quorvel
