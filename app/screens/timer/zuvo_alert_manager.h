#pragma once

#include <functional>

namespace quorvel {

// The app's questions to the user. Only the reminder switch's question lives here until the timer
// screen's alert manager takes it in.
class ZuvoAlertManager {
public:
    // "Receive reminders?" or "Don't receive reminders?", with "Cancel" (false) and "Okay" (true); shown
    // from the main queue.
    static void showReminderToggleAlert(bool enable, std::function<void(bool)> completion = nullptr);
};

}  // namespace quorvel
