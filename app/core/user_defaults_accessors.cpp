#include "app/core/user_defaults_accessors.h"

#include <limits>

#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "platform/uikit/drawing/ns_keyed_archiver.h"
#include "platform/uikit/drawing/ns_keyed_unarchiver.h"

namespace quorvel {

using platform::NSDate;
using platform::NSUserDefaults;
using Temp = TempUserDefaultProperties;
using Settings = UserDefaultProperties;

std::optional<NSDate> readStoredDate(const NSUserDefaults& suite, const std::string& key) {
    return suite.dateForKey(key);
}

std::optional<NSDate> readLatestTimerStartedDate(const NSUserDefaults& suite) {
    return readStoredDate(suite, Temp::key(Temp::Case::latestTimerStartedDate));
}

std::optional<NSDate> readLastSessionChangeNotificationDate(const NSUserDefaults& suite) {
    return readStoredDate(suite, Temp::key(Temp::Case::lastSessionChangeNotificationDate));
}

std::optional<NSDate> readSessionCountPostingDate(const NSUserDefaults& suite) {
    return readStoredDate(suite, Temp::key(Temp::Case::sessionCountPostingDate));
}

std::optional<NSDate> checkedDate(const NSUserDefaults& suite) {
    return suite.dateForKey(Temp::key(Temp::Case::checkedDate));
}

void writeStoredDate(NSUserDefaults& suite, std::optional<NSDate> date, const std::string& key) {
    if (date) {
        suite.setDate(*date, key);
    } else {
        suite.removeObjectForKey(key);
    }
}

void setCheckedDate(NSUserDefaults& suite, std::optional<NSDate> date) {
    writeStoredDate(suite, date, Temp::key(Temp::Case::checkedDate));
}

void writeSessionCountPostingDate(NSUserDefaults& suite, std::optional<NSDate> date) {
    writeStoredDate(suite, date, Temp::key(Temp::Case::sessionCountPostingDate));
}

std::vector<std::string> readScheduledSessionChangeNotificationIDs(const NSUserDefaults& suite) {
    return suite.stringArrayForKey(Temp::key(Temp::Case::scheduledSessionChangeNotificationIDs))
        .value_or(std::vector<std::string>{});
}

std::shared_ptr<platform::UIColor> readThemeColor(const std::string& key) {
    const auto data = Settings::standardDefaults()->dataForKey(key);
    if (!data) return nullptr;
    return platform::NSKeyedUnarchiver::unarchiveColor(*data);
}

std::shared_ptr<platform::UIColor> readFocusThemeColor() {
    return readThemeColor(Settings::key(Settings::Case::focusThemeColor));
}

std::shared_ptr<platform::UIColor> readShortBreakThemeColor() {
    return readThemeColor(Settings::key(Settings::Case::shortBreakThemeColor));
}

std::shared_ptr<platform::UIColor> readLongBreakThemeColor() {
    return readThemeColor(Settings::key(Settings::Case::longBreakThemeColor));
}

void writeSharedThemeColor(const std::shared_ptr<platform::UIColor>& color, const std::string& key) {
    if (!color) return;
    const auto group = Settings::appGroupDefaults();
    if (!group) return;
    group->setData(platform::NSKeyedArchiver::archivedDataWithRootObject(color), key);
}

void writeSharedFocusThemeColor(const std::shared_ptr<platform::UIColor>& color) {
    writeSharedThemeColor(color, Settings::key(Settings::Case::sharedFocusThemeColor));
}

void writeOptionalString(const std::optional<std::string>& text, const std::string& key) {
    const auto suite = Settings::standardDefaults();
    if (text) {
        suite->setString(*text, key);
    } else {
        suite->removeObjectForKey(key);
    }
}

std::int64_t readSessionLength(SessionType type) {
    Settings::Case lengthCase = Settings::Case::focusLength;
    if (type == SessionType::shortBreak) lengthCase = Settings::Case::shortBreakLength;
    if (type == SessionType::longBreak) lengthCase = Settings::Case::longBreakLength;
    return Settings::standardDefaults()->integerForKey(Settings::key(lengthCase));
}

std::int64_t sessionLengthInSeconds(SessionType type) {
    const std::int64_t minutes = readSessionLength(type);
    // A hand-edited minute count too large to multiply saturates instead of overflowing.
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 60;
    if (minutes > kLimit) return kLimit * 60;
    if (minutes < -kLimit) return -kLimit * 60;
    return minutes * 60;
}

bool readTimerBadgeEnabled() {
    return Settings::standardDefaults()->boolForKey(Settings::key(Settings::Case::timerBadgeEnabled));
}

std::int64_t readLatestGoal() {
    return Settings::standardDefaults()->integerForKey(Settings::key(Settings::Case::latestGoal));
}

}  // namespace quorvel
