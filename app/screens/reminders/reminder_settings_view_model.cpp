#include "app/screens/reminders/reminder_settings_view_model.h"

#include <algorithm>

#include "app/core/focus_reminder_schedule.h"
#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"

namespace quorvel {

namespace {

using P = UserDefaultProperties;

void synchronizeBothSuites() {
    P::standardDefaults()->synchronize();
    if (const auto group = P::appGroupDefaults()) group->synchronize();
}

}  // namespace

ReminderSettingsViewModel::ReminderSettingsViewModel()
    : weekdayList_{ReminderWeekdays::sunday,   ReminderWeekdays::monday, ReminderWeekdays::tuesday,
                   ReminderWeekdays::wednesday, ReminderWeekdays::thursday, ReminderWeekdays::friday,
                   ReminderWeekdays::saturday} {
    const auto settings = UserDataManager::getAppSettingData();
    reminderData_ = ReminderSettingsModel{
        settings.focusReminderTime, settings.focusReminderEnabled,
        settings.focusReminderWeekday ? parseReminderWeekdays(weekdayList_, *settings.focusReminderWeekday)
                                      : std::vector<ReminderWeekdays>{}};
}

void ReminderSettingsViewModel::buildDisplayList() {
    displayList_.clear();
    const auto& data = *reminderData_;
    displayList_.push_back({ReminderSettingsSection::Kind::schedule,
                            {ReminderSettingsCell::time(data.time), ReminderSettingsCell::enable(data.enabled)}});
    ReminderSettingsSection repeat{ReminderSettingsSection::Kind::repeat, {}};
    for (const auto day : weekdayList_) {
        const bool chosen = std::ranges::find(data.weekdays, day) != data.weekdays.end();
        repeat.rows.push_back(ReminderSettingsCell::repeats(day, chosen));
    }
    displayList_.push_back(std::move(repeat));
}

void ReminderSettingsViewModel::update(const ReminderSettingsCell& cell) {
    auto& data = *reminderData_;
    switch (cell.kind) {
        case ReminderSettingsCell::Kind::time:
            data.time = cell.hour;
            P::save(P::focusReminderTime(cell.hour));
            break;
        case ReminderSettingsCell::Kind::enable:
            data.enabled = cell.flag;
            P::save(P::focusReminderEnabled(cell.flag));
            break;
        case ReminderSettingsCell::Kind::repeats:
            if (cell.flag) {
                data.weekdays.push_back(cell.day);
            } else {
                std::erase(data.weekdays, cell.day);
            }
            P::save(P::focusReminderWeekday(reminderWeekdayText(data.weekdays)));
            break;
    }
    synchronizeBothSuites();
    rescheduleReminders();
    buildDisplayList();
    if (didUpdate_) didUpdate_();
}

// Every change is stored before it is scheduled, so the schedule the start-up uses serves here too.
void ReminderSettingsViewModel::rescheduleReminders() {
    FocusReminderSchedule::rescheduleFromSettings();
}

std::vector<ReminderWeekdays> parseReminderWeekdays(const std::vector<ReminderWeekdays>& weekdayList,
                                                    const std::string& text) {
    std::vector<ReminderWeekdays> days;
    for (const auto day : weekdayList) {
        if (text.find(std::to_string(static_cast<int>(day))) != std::string::npos) days.push_back(day);
    }
    return days;
}

std::string reminderWeekdayText(const std::vector<ReminderWeekdays>& weekdays) {
    std::string text;
    for (const auto day : weekdays) text += std::to_string(static_cast<int>(day));
    return text;
}

}  // namespace quorvel
