// The process's zone read from TZ, set in the process as a person's shell sets it for the program: a
// zone ICU knows by its ID, a POSIX rule only the C library reads (followed as the C library resolves
// it, date by date), and a zone nothing reads.
#include "platform/foundation/host_time_zone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/foundation/console.h"
#include "platform/foundation/ns_calendar.h"
#include "tests/platform/foundation/civil_time.h"

using namespace platform;
using quorvel::testing::daysFromCivil;
using quorvel::testing::utc;

namespace {

class HostZone : public ::testing::Test {
protected:
    ~HostZone() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

    static NSTimeZone zoneFor(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
        return HostTimeZone::current();
    }
    static NSCalendar calendarFor(const char* tz) {
        NSCalendar calendar;
        calendar.setTimeZone(zoneFor(tz));
        return calendar;
    }

private:
    std::optional<std::string> saved_ =
        std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

// What the C library makes of `date` under the TZ now set.
std::tm cLocal(NSDate date) {
    const auto seconds = static_cast<std::time_t>(std::floor(date.timeIntervalSince1970()));
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

}  // namespace

TEST_F(HostZone, AQuarterHourOffsetMovesTheDayAndItsHours) {
    const NSCalendar calendar = calendarFor("QVT-0:15");
    EXPECT_EQ(calendar.timeZone().name(), "QVT-0:15");
    EXPECT_EQ(calendar.timeZone().secondsFromGMTForDate(utc(2026, 1, 15)), 900);
    EXPECT_EQ(calendar.timeZone().secondsFromGMTForDate(utc(2026, 7, 15)), 900);
    EXPECT_EQ(calendar.startOfDayForDate(utc(2026, 3, 10, 12)), utc(2026, 3, 9, 23, 45));
    EXPECT_EQ(calendar.dateByAddingUnit(NSCalendarUnit::Day, 1, utc(2026, 3, 9, 23, 45)),
              utc(2026, 3, 10, 23, 45));
    // An auto-reset hour of 18.
    EXPECT_EQ(calendar.dateBySettingHour(18, 0, 0, utc(2026, 3, 10, 12)), utc(2026, 3, 10, 17, 45));
    // A reminder on Mondays at 14:00: 9 March 2026 is a Monday; five minutes past midnight is Tuesday.
    const auto reminder = calendar.components(
        NSCalendarUnit::Weekday | NSCalendarUnit::Hour | NSCalendarUnit::Minute, utc(2026, 3, 9, 13, 45));
    EXPECT_EQ(reminder, (NSDateComponents{.hour = 14, .minute = 0, .weekday = 2}));
    EXPECT_EQ(calendar.component(NSCalendarUnit::Weekday, utc(2026, 3, 9, 23, 50)), 3);
}

TEST_F(HostZone, ANamedOffsetFormAndACustomGMTOffsetReadAsTheCLibraryReadsThem) {
    const NSCalendar india = calendarFor("<+0530>-5:30");
    EXPECT_EQ(india.timeZone().name(), "<+0530>-5:30");
    EXPECT_EQ(india.timeZone().secondsFromGMTForDate(utc(2026, 7, 1)), 19800);
    EXPECT_EQ(india.startOfDayForDate(utc(2026, 7, 1, 12)), utc(2026, 6, 30, 18, 30));
    EXPECT_EQ(india.component(NSCalendarUnit::Day, utc(2026, 6, 30, 18, 30)), 1);
    // POSIX counts west as positive: "GMT+3" is three hours behind UTC, as the desktop's clock shows it.
    EXPECT_EQ(zoneFor("GMT+3").secondsFromGMTForDate(utc(2026, 7, 1)), -10800);
    EXPECT_EQ(cLocal(utc(2026, 7, 1)).tm_gmtoff, -10800);
}

TEST_F(HostZone, ARuleWithDaylightTimeChangesItsOffsetOnItsDates) {
    const NSCalendar calendar = calendarFor("EST5EDT,M3.2.0,M11.1.0");
    const NSTimeZone& zone = calendar.timeZone();
    EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 1, 15)), -18000);
    EXPECT_FALSE(zone.isDaylightSavingTimeForDate(utc(2026, 1, 15)));
    EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 7, 15)), -14400);
    EXPECT_TRUE(zone.isDaylightSavingTimeForDate(utc(2026, 7, 15)));
    // 02:00 → 03:00 on 8 March 2026 (07:00 UTC); 02:00 → 01:00 on 1 November (06:00 UTC).
    EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 3, 8, 6, 59, 59)), -18000);
    EXPECT_EQ(zone.secondsFromGMTForDate(utc(2026, 3, 8, 7)), -14400);
    EXPECT_EQ(calendar.startOfDayForDate(utc(2026, 3, 8, 20)), utc(2026, 3, 8, 5));
    // Noon stays noon across the change; a wall time in the gap is the gap's end.
    EXPECT_EQ(calendar.dateByAddingUnit(NSCalendarUnit::Day, 1, utc(2026, 3, 7, 17)), utc(2026, 3, 8, 16));
    EXPECT_EQ(calendar.dateBySettingHour(2, 30, 0, utc(2026, 3, 8, 12)), utc(2026, 3, 8, 7));
    // A repeated wall time is its first occurrence.
    EXPECT_EQ(calendar.dateFromComponents({.year = 2026, .month = 11, .day = 1, .hour = 1, .minute = 30}),
              utc(2026, 11, 1, 5, 30));
}

TEST_F(HostZone, RulesAreFollowedDayByDayAsTheCLibraryResolvesThem) {
    // Northern and southern rules, the Julian and zero-based day forms, and changes at negative hours.
    for (const char* rule :
         {"EST5EDT,M3.2.0,M11.1.0", "NZST-12NZDT,M9.5.0,M4.1.0/3", "CET-1CEST,J60/2,J300/3",
          "XST-2XDT,59/2,299/3", "<-03>3<-02>,M3.5.0/-2,M10.5.0/-1"}) {
        const NSCalendar calendar = calendarFor(rule);
        for (long year : {1950L, 2026L, 2028L, 2099L}) {
            for (long day = daysFromCivil(year, 1, 1); day < daysFromCivil(year + 1, 1, 1); ++day) {
                for (int hour = 0; hour < 24; hour += 5) {
                    const NSDate date = NSDate::dateWithTimeIntervalSince1970(day * 86400.0 + hour * 3600.0);
                    const std::tm local = cLocal(date);
                    ASSERT_EQ(calendar.timeZone().secondsFromGMTForDate(date), local.tm_gmtoff)
                        << rule << " " << ::testing::PrintToString(date);
                    ASSERT_EQ(calendar.component(NSCalendarUnit::Hour, date), local.tm_hour) << rule;
                    ASSERT_EQ(calendar.component(NSCalendarUnit::Day, date), local.tm_mday) << rule;
                }
            }
        }
    }
}

TEST_F(HostZone, AZoneIDIsUsedAsICUKnowsIt) {
    for (const char* tz : {"Asia/Kathmandu", ":Asia/Kathmandu", "/usr/share/zoneinfo/Asia/Kathmandu"}) {
        const NSCalendar calendar = calendarFor(tz);
        EXPECT_EQ(calendar.timeZone().name(), "Asia/Kathmandu");
        EXPECT_EQ(calendar.timeZone().secondsFromGMTForDate(utc(2026, 7, 1)), 20700);
        EXPECT_EQ(calendar.startOfDayForDate(utc(2026, 7, 1, 12)), utc(2026, 6, 30, 18, 15));
    }
}

TEST_F(HostZone, AZoneNothingReadsIsUTCWithOneConsoleLine) {
    for (const char* tz : {"Nowhere/City", "XYZ", "<ab>-3"}) {
        Console::Capture console;
        EXPECT_EQ(zoneFor(tz).name(), "UTC");
        ASSERT_EQ(console.lines().size(), 1u) << tz;
        EXPECT_TRUE(console.contains(tz));
    }
    // Zones that are read say nothing.
    Console::Capture console;
    zoneFor("QVT-0:15");
    zoneFor("Asia/Kathmandu");
    zoneFor("");
    EXPECT_TRUE(console.lines().empty());
    EXPECT_EQ(zoneFor("").name(), "UTC");
}
