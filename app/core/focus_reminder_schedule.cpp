#include "app/core/focus_reminder_schedule.h"

#include "app/core/user_data_manager.h"
#include "app/core/zuvo_local_notification_manager.h"

namespace quorvel {

namespace {

constexpr std::int64_t kSunday = 7;

}  // namespace

std::int64_t FocusReminderSchedule::calendarWeekday(std::int64_t storedWeekday) {
    return storedWeekday == kSunday ? 1 : storedWeekday + 1;
}

std::vector<std::int64_t> FocusReminderSchedule::storedWeekdays(const std::string& text) {
    std::vector<std::int64_t> days;
    for (const std::int64_t day : {kSunday, std::int64_t{1}, std::int64_t{2}, std::int64_t{3}, std::int64_t{4},
                                   std::int64_t{5}, std::int64_t{6}}) {
        if (text.find(std::to_string(day)) != std::string::npos) days.push_back(day);
    }
    return days;
}

void FocusReminderSchedule::rescheduleFromSettings() {
    ZuvoLocalNotificationManager::removeFocusReminders({1, 2, 3, 4, 5, 6, 7});
    const auto settings = UserDataManager::getAppSettingData();
    if (!settings.focusReminderEnabled) return;
    for (const auto day : storedWeekdays(settings.focusReminderWeekday.value_or(""))) {
        ZuvoLocalNotificationManager::scheduleFocusReminders(calendarWeekday(day), settings.focusReminderTime);
    }
}

}  // namespace quorvel
