// The real quorvel program started on one data folder first in one zone, then in another seven hours
// behind: the weekly reminder keeps its hour and weekday on the clock of the zone it runs in.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/property_list.h"
#include "tests/shell/desktop_test.h"

namespace {

constexpr double kWeekSeconds = 7 * 86'400;

// The pending reminder as the program left it on disk.
struct StoredReminder {
    std::int64_t weekday = 0;  // Sunday 1
    std::int64_t hour = 0;
    double dueSince1970 = 0;
};

std::optional<StoredReminder> storedReminder() {
    const auto file = platform::DataRoot::library() / "UserNotifications" / "PendingRequests.plist";
    const auto contents = platform::PropertyList::readFile(file);
    const auto* top = contents ? contents->dictionaryValue() : nullptr;
    const auto* requests = top ? top->at("requests").arrayValue() : nullptr;
    if (!requests) return std::nullopt;
    for (const auto& request : *requests) {
        const auto& entry = *request.dictionaryValue();
        const auto& trigger = *entry.at("trigger").dictionaryValue();
        if (!trigger.contains("hour") || !trigger.contains("weekday")) continue;
        return StoredReminder{*trigger.at("weekday").intValue(), *trigger.at("hour").intValue(),
                              entry.at("fireDate").dateValue()->timeIntervalSince1970()};
    }
    return std::nullopt;
}

// The wall clock the C library shows in `zone` at that instant, as the program's desktop shows it.
std::tm wallClockIn(const std::string& zone, double since1970) {
    const char* saved = std::getenv("TZ");
    const std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;
    setenv("TZ", zone.c_str(), 1);
    tzset();
    const auto seconds = static_cast<std::time_t>(std::llround(since1970));
    std::tm local{};
    localtime_r(&seconds, &local);
    if (previous) {
        setenv("TZ", previous->c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
    return local;
}

class ReminderZoneWindow : public quorvel::testing::DesktopTest {
protected:
    // From the first frame until a person closes the window, with the program's TZ set to `zone`.
    void runIn(const std::string& zone) {
        const Window window = start({"--device", "iPhone8", "--orientation", "portrait"}, {{"TZ", zone}});
        ASSERT_NE(window, 0u);
        user->requestClose(window);
        ASSERT_EQ(app->waitForExit(), 0) << app->transcript();
    }

    static void expectDueAtItsHourIn(const std::string& zone, const StoredReminder& reminder,
                                     double launched) {
        const std::tm local = wallClockIn(zone, reminder.dueSince1970);
        EXPECT_EQ(local.tm_hour, reminder.hour) << zone;
        EXPECT_EQ(local.tm_min * 60 + local.tm_sec, 0) << zone;
        EXPECT_EQ(local.tm_wday + 1, reminder.weekday) << zone;
        EXPECT_GT(reminder.dueSince1970, launched) << zone;
        EXPECT_LE(reminder.dueSince1970, launched + kWeekSeconds) << zone;
    }
};

}  // namespace

TEST_F(ReminderZoneWindow, AWeeklyReminderKeepsItsLocalHourWhenTheProgramStartsAgainInAnotherZone) {
    // The first launch schedules the reminder the defaults switch on.
    const double firstLaunch = platform::NSDate::now().timeIntervalSince1970();
    runIn("Asia/Almaty");
    const auto inAlmaty = storedReminder();
    ASSERT_TRUE(inAlmaty) << "the first launch schedules a weekly reminder";
    expectDueAtItsHourIn("Asia/Almaty", *inAlmaty, firstLaunch);

    const double relaunch = platform::NSDate::now().timeIntervalSince1970();
    runIn("America/Nuuk");
    const auto inNuuk = storedReminder();
    ASSERT_TRUE(inNuuk);
    EXPECT_EQ(inNuuk->hour, inAlmaty->hour);
    EXPECT_EQ(inNuuk->weekday, inAlmaty->weekday);
    expectDueAtItsHourIn("America/Nuuk", *inNuuk, relaunch);
}
