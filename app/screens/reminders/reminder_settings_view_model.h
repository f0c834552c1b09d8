#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/screens/reminders/reminder_settings_model.h"
#include "app/screens/reminders/reminder_settings_view_model_protocol.h"

namespace quorvel {

// The model behind the reminder screen: reads the stored reminder, lays it out as the hour and switch
// section and the weekday section, and applies each change at once: stored in both settings suites,
// the weekly notifications rebuilt from scratch, the list rebuilt, the screen told. Main thread only.
class ReminderSettingsViewModel : public ReminderSettingsViewModelProtocol {
public:
    // Reads the stored hour, switch and weekday text.
    ReminderSettingsViewModel();

    const std::vector<ReminderSettingsSection>& displayList() const override { return displayList_; }
    void setDidUpdate(std::function<void()> didUpdate) override { didUpdate_ = std::move(didUpdate); }
    const std::optional<ReminderSettingsModel>& reminderData() const { return reminderData_; }
    // Sunday first, the order of the weekday rows.
    const std::vector<ReminderWeekdays>& weekdayList() const { return weekdayList_; }

    virtual void buildDisplayList() override;
    virtual void update(const ReminderSettingsCell& cell) override;
    // Removes the reminders of all seven days and, while reminders are on, schedules one per chosen
    // day at the chosen hour. Also what the first launch runs to put its default reminder in place.
    virtual void rescheduleReminders();

private:
    std::vector<ReminderSettingsSection> displayList_;
    std::function<void()> didUpdate_;
    std::optional<ReminderSettingsModel> reminderData_;
    std::vector<ReminderWeekdays> weekdayList_;
};

// The days of `weekdayList`, in its order, whose raw value's digit the stored text contains.
std::vector<ReminderWeekdays> parseReminderWeekdays(const std::vector<ReminderWeekdays>& weekdayList,
                                                    const std::string& text);
// The raw values in list order without separator: Monday then Friday is "15".
std::string reminderWeekdayText(const std::vector<ReminderWeekdays>& weekdays);

}  // namespace quorvel
