// The real quorvel program started with a TZ that only the C library reads (a POSIX rule): the first
// launch's reminder and the daily auto-reset fall at their hours on that zone's clock, not on UTC's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/core/first_launch_defaults.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/property_list.h"
#include "tests/shell/desktop_test.h"

namespace {

using platform::NSDate;
using P = quorvel::UserDefaultProperties;
using T = quorvel::TempUserDefaultProperties;

constexpr long kDaySeconds = 86'400;
constexpr long kHourSeconds = 3'600;

class HostTimeZoneWindow : public quorvel::testing::DesktopTest {
protected:
    void TearDown() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        DesktopTest::TearDown();
    }

    // Runs the program once with this TZ, from its first frame until it quits as a person quits it.
    void runOnceIn(const std::string& tz) {
        setenv("TZ", tz.c_str(), 1);
        const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
        ASSERT_NE(window, 0u);
        user->requestClose(window);
        ASSERT_EQ(app->waitForExit(), 0) << app->transcript();
    }

    static double nowSince1970() { return NSDate::now().timeIntervalSince1970(); }

    // The settings of a device past its first launch, as the next start reads them.
    static void writeSettings(std::int64_t autoResetHour, double checkedSince1970) {
        platform::NSUserDefaults::resetAllForTesting();
        for (const auto& value : {P::autoResetHour(autoResetHour), P::latestRound(2), P::latestGoal(3)})
            P::save(value);
        T::save(T::checkedDate(NSDate::dateWithTimeIntervalSince1970(checkedSince1970)));
        platform::NSUserDefaults::flushAll();
        platform::NSUserDefaults::resetAllForTesting();
    }
    static std::int64_t storedRound() {
        platform::NSUserDefaults::resetAllForTesting();
        return P::standardDefaults()->integerForKey("TimerCountRound");
    }

private:
    std::optional<std::string> saved_ =
        std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

// Weekdays as the calendar counts them, 1 = Sunday; 1 January 1970 was a Thursday.
std::int64_t calendarWeekdayOf(long daysSince1970) {
    return (daysSince1970 + 4) % 7 + 1;
}

}  // namespace

TEST_F(HostTimeZoneWindow, TheFirstLaunchsReminderIsDueAtItsHourOnAQuarterHourZonesClock) {
    constexpr long kOffset = 15 * 60;  // QVT-0:15 is a quarter of an hour ahead of UTC
    const double launched = nowSince1970();
    runOnceIn("QVT-0:15");

    const auto file = platform::DataRoot::library() / "UserNotifications" / "PendingRequests.plist";
    const auto contents = platform::PropertyList::readFile(file);
    ASSERT_TRUE(contents) << file;
    const auto* requests = contents->dictionaryValue()->at("requests").arrayValue();
    ASSERT_TRUE(requests && !requests->empty());
    int reminders = 0;
    for (const auto& request : *requests) {
        const auto& entry = *request.dictionaryValue();
        const auto& trigger = *entry.at("trigger").dictionaryValue();
        if (!trigger.contains("hour")) continue;
        ++reminders;
        const double due = entry.at("fireDate").dateValue()->timeIntervalSince1970();
        const auto local = static_cast<long>(std::llround(due)) + kOffset;
        const long days = local / kDaySeconds;
        EXPECT_EQ(local - days * kDaySeconds, *trigger.at("hour").intValue() * kHourSeconds)
            << "due at UTC " << std::fmod(due, kDaySeconds);
        EXPECT_EQ(calendarWeekdayOf(days), *trigger.at("weekday").intValue());
        EXPECT_GT(due, launched);
        EXPECT_LE(due, launched + 7 * kDaySeconds);
    }
    EXPECT_EQ(reminders, 1) << "the first launch schedules one reminder";
}

TEST_F(HostTimeZoneWindow, TheAutoResetComesAtItsHourOnANamedOffsetZonesClock) {
    for (const auto& value : quorvel::firstLaunchDefaults()) P::save(value);
    T::save(T::launchedOnce(true));
    markGuidanceSeen();

    // Some five and a half hours ahead of UTC, chosen so the zone's clock stands between a quarter and
    // half past an hour before 23:00: the next hour does not come while the test runs.
    const double now = nowSince1970();
    long offset = 0;
    for (long quarters = 20; quarters < 28; ++quarters) {
        offset = quarters * 15 * 60;
        const long local = static_cast<long>(now) + offset;
        const long minute = local % kHourSeconds / 60;
        if (minute >= 15 && minute < 30 && local % kDaySeconds / kHourSeconds != 23) break;
    }
    char tz[32];
    std::snprintf(tz, sizeof tz, "<+%02ld%02ld>-%ld:%02ld", offset / kHourSeconds, offset % kHourSeconds / 60,
                  offset / kHourSeconds, offset % kHourSeconds / 60);
    const long local = static_cast<long>(now) + offset;
    const std::int64_t hour = local % kDaySeconds / kHourSeconds;
    const double hourBegan = static_cast<double>(local - local % kHourSeconds - offset);

    // Checked a minute before this hour began: an auto-reset at the next hour has not come ...
    writeSettings(hour + 1, hourBegan - 60);
    runOnceIn(tz);
    EXPECT_EQ(storedRound(), 2) << tz << " at local hour " << hour;

    // ... one at this hour has.
    writeSettings(hour, hourBegan - 60);
    runOnceIn(tz);
    EXPECT_EQ(storedRound(), 0) << tz << " at local hour " << hour;
}
