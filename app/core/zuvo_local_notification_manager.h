#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/core/session_change_message.h"

namespace quorvel {

// The running timer as the session-change chain starts from it. The caller reads it on the main
// thread, where the engine and the application state live, before handing the scheduling on.
struct SessionChainStart {
    bool applicationActive = false;
    std::int64_t currentRound = 0;
    std::int64_t currentGoal = 0;
    // Milliseconds left in the current session.
    double elapsedTime = 0;
};

// The local notifications of the app: the chain announcing the coming session ends while the app is
// away, and the weekly focus reminders.
class ZuvoLocalNotificationManager {
public:
    static constexpr const char* kSessionChangedPrefix = "QVSessionChanged-";
    static constexpr const char* kReminderPrefix = "ReminderAlert-";
    static constexpr int kChainedSessionEnds = 56;

    // True when the notification centre says the app is authorised; the completion runs on the
    // centre's queue.
    static void checkAuthorization(std::function<void(bool authorised)> completion);

    // Replaces the pending chain: with "AutoRestart" the next 56 session ends and a last request
    // saying that automatic continuation stopped, else the end of the current session only. Stores
    // the identifiers and when the chain ends. Nothing happens without authorisation or while the
    // app is active.
    static void scheduleSessionChangeNotifications(bool authorised, const SessionChainStart& start);
    static void scheduleSessionChangeNotification(double offset, const SessionChangeMessage& message,
                                                  const std::string& identifier);

    // Weekdays 1 (Sunday) … 7 (Saturday); the reminder fires every week on that day at the full hour.
    static void scheduleFocusReminders(std::int64_t weekday, std::int64_t hour);
    static void removeFocusReminders(const std::vector<std::int64_t>& weekdays);

    // Withdraws the stored chain and forgets when it ends (the app is back in front).
    static void removeSessionChangeNotifications();
    // The same at launch, for a chain a run left behind without its termination step: any pending
    // chain request goes too, also one whose identifier the stored list lost.
    static void removeStaleSessionChangeNotifications();

    // "QVSessionChanged-" and the offset written as the platform writes a double ("1500.0").
    static std::string sessionChangeIdentifier(double offset);
};

}  // namespace quorvel
