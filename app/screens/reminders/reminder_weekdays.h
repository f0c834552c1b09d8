#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel {

// A weekday of the focus reminder. The raw values are what the stored weekday text is made of
// ("15" is Monday and Friday); notifications count the days differently, Sunday first.
enum class ReminderWeekdays : int {
    monday = 1,
    tuesday = 2,
    wednesday = 3,
    thursday = 4,
    friday = 5,
    saturday = 6,
    sunday = 7,
};

// None outside 1 to 7.
std::optional<ReminderWeekdays> reminderWeekdayFromRaw(std::int64_t raw);
// "Monday" … "Sunday".
std::string displayName(ReminderWeekdays day);
// The calendar's weekday number: Sunday 1, Monday 2 … Saturday 7.
std::int64_t calendarWeekday(ReminderWeekdays day);

}  // namespace quorvel
