// The real quorvel program started with a TZ the calendar library reads otherwise than the C library (a
// POSIX rule, a zone whose rules changed lately): the first launch's reminder and the daily auto-reset
// fall at their hours on the desktop's clock.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
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
    // The one reminder the first launch schedules is due at its hour and weekday on the clock the C
    // library keeps under the TZ the program ran with, within a week of `launched`.
    static void expectOneReminderAtItsHourOnTheDesktopsClock(double launched) {
        tzset();
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
            const auto seconds = static_cast<std::time_t>(std::llround(due));
            std::tm local{};
            ASSERT_TRUE(localtime_r(&seconds, &local));
            EXPECT_EQ(local.tm_hour, *trigger.at("hour").intValue())
                << "due at UTC " << std::fmod(due, kDaySeconds);
            EXPECT_EQ(local.tm_min * 60 + local.tm_sec, 0);
            EXPECT_EQ(local.tm_wday + 1, *trigger.at("weekday").intValue());
            EXPECT_GT(due, launched);
            EXPECT_LE(due, launched + 7 * kDaySeconds);
        }
        EXPECT_EQ(reminders, 1) << "the first launch schedules one reminder";
    }
    static std::int64_t storedRound() {
        platform::NSUserDefaults::resetAllForTesting();
        return P::standardDefaults()->integerForKey("TimerCountRound");
    }

private:
    std::optional<std::string> saved_ =
        std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

}  // namespace

TEST_F(HostTimeZoneWindow, TheFirstLaunchsReminderIsDueAtItsHourOnAQuarterHourZonesClock) {
    const double launched = nowSince1970();
    runOnceIn("QVT-0:15");
    expectOneReminderAtItsHourOnTheDesktopsClock(launched);
}

// Almaty's clock moved an hour back in 2024; the calendar library's own zone data still has it an hour ahead.
TEST_F(HostTimeZoneWindow, TheFirstLaunchsReminderIsDueAtItsHourOnAZoneWhoseRulesChangedLately) {
    const double launched = nowSince1970();
    runOnceIn("Asia/Almaty");
    expectOneReminderAtItsHourOnTheDesktopsClock(launched);
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

// A TZ naming a file the C library fails to read, a gigabyte that is no zone file, or a FIFO nobody
// writes is UTC: the program starts, says so once, and keeps the first launch's reminder on UTC's clock.
TEST_F(HostTimeZoneWindow, AZoneFileThatCannotBeReadOrIsAGigabyteIsUTCSaidOnce) {
    // In the program's data folder, gone with it.
    const auto huge = root.path() / "huge";
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, std::uintmax_t{1} << 30);
    const auto fifo = root.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& tz : {std::string("/proc/self/mem"), huge.string(), fifo.string()}) {
        const double launched = nowSince1970();
        runOnceIn(tz);
        EXPECT_EQ(app->count("names no time zone this system can read"), 1u) << app->transcript();
        setenv("TZ", "UTC", 1);
        expectOneReminderAtItsHourOnTheDesktopsClock(launched);
    }
}
