#pragma once

#include <functional>
#include <vector>

#include "app/screens/reminders/reminder_settings_cell.h"
#include "app/screens/reminders/reminder_settings_section.h"

namespace quorvel {

// What the reminder screen needs of its model: the rows to show, a call after every change, and a way
// to hand it the user's changes.
class ReminderSettingsViewModelProtocol {
public:
    virtual ~ReminderSettingsViewModelProtocol() = default;

    virtual const std::vector<ReminderSettingsSection>& displayList() const = 0;
    virtual void setDidUpdate(std::function<void()> didUpdate) = 0;
    virtual void buildDisplayList() = 0;
    virtual void update(const ReminderSettingsCell& cell) = 0;
};

}  // namespace quorvel
