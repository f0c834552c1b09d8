#include "app/screens/reminders/reminder_weekdays.h"

#include <array>

#include "app/core/focus_reminder_schedule.h"

namespace quorvel {

std::optional<ReminderWeekdays> reminderWeekdayFromRaw(std::int64_t raw) {
    if (raw < 1 || raw > 7) return std::nullopt;
    return static_cast<ReminderWeekdays>(raw);
}

std::string displayName(ReminderWeekdays day) {
    static constexpr std::array<const char*, 7> names = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                         "Friday", "Saturday", "Sunday"};
    return names[static_cast<int>(day) - 1];
}

std::int64_t calendarWeekday(ReminderWeekdays day) {
    return FocusReminderSchedule::calendarWeekday(static_cast<int>(day));
}

}  // namespace quorvel
