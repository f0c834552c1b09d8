#include "app/screens/reminders/reminder_settings_cell.h"

namespace quorvel {

std::string ReminderSettingsCell::title() const {
    switch (kind) {
        case Kind::time:
            return "Reminder Time";
        case Kind::enable:
            return "Receive Reminder";
        case Kind::repeats:
            return "Every " + displayName(day);
    }
    return {};
}

}  // namespace quorvel
