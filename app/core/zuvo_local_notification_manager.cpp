#include "app/core/zuvo_local_notification_manager.h"

#include <charconv>
#include <cmath>
#include <set>

#include "app/core/session_order.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"
#include "app/core/user_defaults_accessors.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_calendar.h"
#include "platform/foundation/saturating_cast.h"
#include "platform/usernotifications/un_calendar_notification_trigger.h"
#include "platform/usernotifications/un_time_interval_notification_trigger.h"
#include "platform/usernotifications/un_user_notification_center.h"

namespace quorvel {

using platform::Console;
using platform::UNUserNotificationCenter;

namespace {

constexpr double kGapBetweenSessions = 0.6;
// A chain never starts sooner than this: a trigger of zero or fewer seconds cannot fire.
constexpr double kEarliestFirstOffset = 1.0;
constexpr const char* kReminderBody = "It's time. Let's get some work done!";
constexpr const char* kReminderSound = "Three Ring Chime.wav";

// A double as the platform writes it: the shortest text that reads back the same, a whole number with
// ".0", exponents only for very large and very small magnitudes.
std::string doubleDescription(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char buffer[64];
    const double magnitude = std::fabs(value);
    const bool scientific = magnitude >= 1e16 || (magnitude != 0 && magnitude < 1e-4);
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       scientific ? std::chars_format::scientific : std::chars_format::fixed);
    std::string text(buffer, written.ptr);
    if (!scientific && text.find('.') == std::string::npos) text += ".0";
    return text;
}

void addRequest(const std::string& identifier, const platform::UNMutableNotificationContent& content,
                std::shared_ptr<platform::UNNotificationTrigger> trigger) {
    UNUserNotificationCenter::currentNotificationCenter()->addNotificationRequest(
        platform::UNNotificationRequest::requestWithIdentifier(identifier, content, std::move(trigger)),
        [](const std::shared_ptr<platform::NSError>& error) {
            if (error) Console::print("Error " + error->description());
        });
}

std::string describe(const platform::NSDateComponents& components) {
    std::string text;
    if (components.hour) text += "hour: " + std::to_string(*components.hour) + " ";
    if (components.weekday) text += "weekday: " + std::to_string(*components.weekday) + " ";
    return text + "isLeapMonth: false ";
}

// Withdraws the stored chain (and, with `extra`, the further identifiers too), then forgets the
// chain's end and its list.
void withdrawChain(const std::vector<std::string>& extra) {
    TempUserDefaultProperties::save(
        TempUserDefaultProperties::lastSessionChangeNotificationDate(std::nullopt));
    const auto stored = readScheduledSessionChangeNotificationIDs(*UserDefaultProperties::standardDefaults());
    std::vector<std::string> identifiers = stored;
    identifiers.insert(identifiers.end(), extra.begin(), extra.end());
    if (!identifiers.empty()) {
        UNUserNotificationCenter::currentNotificationCenter()
            ->removePendingNotificationRequestsWithIdentifiers(identifiers);
    }
    if (!stored.empty()) {
        TempUserDefaultProperties::save(TempUserDefaultProperties::scheduledSessionChangeNotificationIDs({}));
    }
}

}  // namespace

std::string ZuvoLocalNotificationManager::sessionChangeIdentifier(double offset) {
    return kSessionChangedPrefix + doubleDescription(offset);
}

void ZuvoLocalNotificationManager::checkAuthorization(std::function<void(bool)> completion) {
    UNUserNotificationCenter::currentNotificationCenter()->getNotificationSettingsWithCompletionHandler(
        [completion = std::move(completion)](const platform::UNNotificationSettings& settings) {
            if (completion)
                completion(settings.authorizationStatus == platform::UNAuthorizationStatus::Authorized);
        });
}

void ZuvoLocalNotificationManager::scheduleSessionChangeNotifications(bool authorised,
                                                                      const SessionChainStart& start) {
    if (!authorised || start.applicationActive) return;
    const auto stored = readScheduledSessionChangeNotificationIDs(*UserDefaultProperties::standardDefaults());
    if (!stored.empty()) {
        UNUserNotificationCenter::currentNotificationCenter()
            ->removePendingNotificationRequestsWithIdentifiers(stored);
        TempUserDefaultProperties::save(TempUserDefaultProperties::scheduledSessionChangeNotificationIDs({}));
    }

    std::int64_t round = start.currentRound;
    std::int64_t goal = start.currentGoal;
    double offset = start.elapsedTime / 1000;
    // A session in its very last moment still gets its notification, a second from now.
    if (!(offset >= kEarliestFirstOffset)) offset = kEarliestFirstOffset;
    const PomodoroData timer = UserDataManager::getPomodoroData();
    SessionType type = timer.latestSessionType;
    const bool autoRestart = UserDataManager::getAppSettingData().autoRestart;
    std::vector<std::string> identifiers;
    const auto schedule = [&](const SessionChangeMessage& message) {
        const auto identifier = sessionChangeIdentifier(offset);
        scheduleSessionChangeNotification(offset, message, identifier);
        identifiers.push_back(identifier);
    };

    if (autoRestart) {
        for (int i = 0; i < kChainedSessionEnds; ++i) {
            schedule(SessionChangeMessage::after(type, round, goal));
            if (type == SessionType::focus) {
                round = platform::addSaturating(round, 1);
                goal = platform::addSaturating(goal, 1);
            }
            const SessionType next = nextSessionType(type, round, timer.roundLimit);
            offset += static_cast<double>(sessionLengthInSeconds(next)) + kGapBetweenSessions;
            type = next;
        }
    }
    schedule(autoRestart ? SessionChangeMessage::autoContinueStopped()
                         : SessionChangeMessage::after(type, round, goal));

    TempUserDefaultProperties::save(TempUserDefaultProperties::lastSessionChangeNotificationDate(
        platform::NSDate::now().dateByAddingTimeInterval(offset)));
    TempUserDefaultProperties::save(
        TempUserDefaultProperties::scheduledSessionChangeNotificationIDs(identifiers));
}

void ZuvoLocalNotificationManager::scheduleSessionChangeNotification(double offset,
                                                                     const SessionChangeMessage& message,
                                                                     const std::string& identifier) {
    platform::UNMutableNotificationContent content;
    content.setBody(message.text());
    content.setSound(platform::UNNotificationSound::defaultSound());
    addRequest(identifier, content,
               platform::UNTimeIntervalNotificationTrigger::triggerWithTimeInterval(offset, false));
}

void ZuvoLocalNotificationManager::scheduleFocusReminders(std::int64_t weekday, std::int64_t hour) {
    platform::UNMutableNotificationContent content;
    content.setBody(kReminderBody);
    content.setSound(platform::UNNotificationSound::soundNamed(kReminderSound));
    const auto calendar = platform::NSCalendar::currentCalendar();
    auto components = calendar.components(platform::NSCalendarUnit::Hour | platform::NSCalendarUnit::Weekday,
                                          platform::NSDate::now());
    components.hour = hour;
    components.weekday = weekday;
    Console::print(describe(components));
    addRequest(kReminderPrefix + std::to_string(weekday), content,
               platform::UNCalendarNotificationTrigger::triggerWithDateMatchingComponents(components, true));
}

void ZuvoLocalNotificationManager::removeFocusReminders(const std::vector<std::int64_t>& weekdays) {
    std::vector<std::string> identifiers;
    for (const auto weekday : weekdays) identifiers.push_back(kReminderPrefix + std::to_string(weekday));
    UNUserNotificationCenter::currentNotificationCenter()->removePendingNotificationRequestsWithIdentifiers(
        identifiers);
}

void ZuvoLocalNotificationManager::removeSessionChangeNotifications() {
    withdrawChain({});
}

void ZuvoLocalNotificationManager::removeStaleSessionChangeNotifications() {
    UNUserNotificationCenter::currentNotificationCenter()
        ->getPendingNotificationRequestsWithCompletionHandler(
            [](const std::vector<std::shared_ptr<platform::UNNotificationRequest>>& requests) {
                std::vector<std::string> chain;
                for (const auto& request : requests) {
                    if (request->identifier().starts_with(kSessionChangedPrefix))
                        chain.push_back(request->identifier());
                }
                withdrawChain(chain);
            });
}

}  // namespace quorvel
