#include "platform/foundation/ns_calendar.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/foundation/clock.h"
#include "tests/platform/foundation/civil_time.h"

using namespace platform;
using quorvel::testing::utc;

namespace {

NSCalendar calendarIn(const char* zoneName) {
    NSCalendar calendar;
    calendar.setTimeZone(*NSTimeZone::timeZoneWithName(zoneName));
    return calendar;
}

constexpr double kHour = 3600;

}  // namespace

// Europe/Berlin 2026: clocks go 02:00 → 03:00 on 29 March (01:00 UTC) and 03:00 → 02:00 on
// 25 October (01:00 UTC). America/New_York 2026: 02:00 → 03:00 on 8 March (07:00 UTC) and
// 02:00 → 01:00 on 1 November (06:00 UTC).

TEST(CalendarStartOfDay, LastSecondOfADayGivesThatDaysLocalMidnight) {
    // 2026-03-05 23:59:59 in Berlin (CET) and in New York (EST).
    EXPECT_EQ(calendarIn("Europe/Berlin").startOfDayForDate(utc(2026, 3, 5, 22, 59, 59)),
              utc(2026, 3, 4, 23));
    EXPECT_EQ(calendarIn("America/New_York").startOfDayForDate(utc(2026, 3, 6, 4, 59, 59)),
              utc(2026, 3, 5, 5));
    // Midnight itself is its own start of day, even with a fraction of a second added.
    EXPECT_EQ(calendarIn("Europe/Berlin").startOfDayForDate(utc(2026, 3, 4, 23, 0, 0.25)),
              utc(2026, 3, 4, 23));
}

TEST(CalendarStartOfDay, DaylightSavingChangeDaysStartAtLocalMidnight) {
    const NSCalendar berlin = calendarIn("Europe/Berlin");
    // Spring forward: the day's midnight is still CET (+1), its evening CEST (+2).
    EXPECT_EQ(berlin.startOfDayForDate(utc(2026, 3, 29, 21, 59, 59)), utc(2026, 3, 28, 23));
    // Fall back: midnight is CEST (+2), the last second of the day is CET (+1).
    EXPECT_EQ(berlin.startOfDayForDate(utc(2026, 10, 25, 22, 59, 59)), utc(2026, 10, 24, 22));
    EXPECT_EQ(calendarIn("America/New_York").startOfDayForDate(utc(2026, 11, 2, 4, 59, 59)),
              utc(2026, 11, 1, 4));
}

TEST(CalendarStartOfDay, DayBeginningInsideAGapStartsAtItsFirstInstant) {
    // Beirut moves its clocks from 00:00 to 01:00 on the last Sunday of March: 29 March 2026 has no midnight.
    const NSCalendar beirut = calendarIn("Asia/Beirut");
    EXPECT_EQ(beirut.startOfDayForDate(utc(2026, 3, 29, 9)), utc(2026, 3, 28, 22));
    EXPECT_EQ(beirut.component(NSCalendarUnit::Hour, utc(2026, 3, 28, 22)), 1);
}

TEST(CalendarAddingDays, KeepsTheWallTimeAcrossSpringForwardAndFallBack) {
    const NSCalendar berlin = calendarIn("Europe/Berlin");
    // 10:00 CET the day before → 10:00 CEST: 23 hours later.
    EXPECT_EQ(berlin.dateByAddingUnit(NSCalendarUnit::Day, 1, utc(2026, 3, 28, 9)), utc(2026, 3, 29, 8));
    // 10:00 CEST → 10:00 CET: 25 hours later.
    EXPECT_EQ(berlin.dateByAddingUnit(NSCalendarUnit::Day, 1, utc(2026, 10, 24, 8)), utc(2026, 10, 25, 9));
    // 09:30 CEST on 5 April, 13 days earlier: 09:30 CET on 23 March.
    EXPECT_EQ(berlin.dateByAddingUnit(NSCalendarUnit::Day, -13, utc(2026, 4, 5, 7, 30)),
              utc(2026, 3, 23, 8, 30));
    // 18:00 EDT on 15 March, 13 days earlier: 18:00 EST on 2 March.
    EXPECT_EQ(calendarIn("America/New_York").dateByAddingUnit(NSCalendarUnit::Day, -13, utc(2026, 3, 15, 22)),
              utc(2026, 3, 2, 23));
}

TEST(CalendarAddingDays, StartOfDayMovedByWholeDaysStaysAStartOfDay) {
    for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
        const NSCalendar calendar = calendarIn(zone);
        const NSDate start = calendar.startOfDayForDate(utc(2026, 3, 20, 12));
        for (int days = -60; days <= 250; ++days) {
            const auto moved = calendar.dateByAddingUnit(NSCalendarUnit::Day, days, start);
            ASSERT_TRUE(moved);
            EXPECT_EQ(calendar.startOfDayForDate(*moved), *moved) << zone << " " << days;
        }
    }
}

TEST(CalendarAddingDays, KeepsFractionsOfASecond) {
    const auto moved =
        calendarIn("Europe/Berlin").dateByAddingUnit(NSCalendarUnit::Day, 1, utc(2026, 3, 28, 9, 0, 0.25));
    ASSERT_TRUE(moved);
    EXPECT_DOUBLE_EQ(moved->timeIntervalSinceReferenceDate(),
                     utc(2026, 3, 29, 8, 0, 0.25).timeIntervalSinceReferenceDate());
}

TEST(CalendarAddingComponents, HoursAreElapsedTimeAcrossTheGap) {
    // 01:30 CET plus one hour is 03:30 CEST.
    const NSCalendar berlin = calendarIn("Europe/Berlin");
    const auto later = berlin.dateByAddingUnit(NSCalendarUnit::Hour, 1, utc(2026, 3, 29, 0, 30));
    EXPECT_EQ(later, utc(2026, 3, 29, 1, 30));
    EXPECT_EQ(berlin.component(NSCalendarUnit::Hour, *later), 3);
}

TEST(CalendarAddingComponents, MonthsClampToTheEndOfShorterMonths) {
    const NSCalendar calendar = calendarIn("UTC");
    EXPECT_EQ(calendar.dateByAddingUnit(NSCalendarUnit::Month, 1, utc(2026, 1, 31, 12)),
              utc(2026, 2, 28, 12));
    EXPECT_EQ(calendar.dateByAddingUnit(NSCalendarUnit::Year, 1, utc(2028, 2, 29)), utc(2029, 2, 28));
    NSDateComponents mixed;
    mixed.month = 1;
    mixed.day = 2;
    mixed.hour = 3;
    EXPECT_EQ(calendar.dateByAddingComponents(mixed, utc(2026, 1, 31)), utc(2026, 3, 2, 3));
}

TEST(CalendarAddingComponents, WrappingStaysInsideTheLargerUnit) {
    const NSCalendar calendar = calendarIn("UTC");
    EXPECT_EQ(calendar.dateByAddingUnit(NSCalendarUnit::Day, 5, utc(2026, 3, 30, 8), true),
              utc(2026, 3, 4, 8));
    EXPECT_EQ(calendar.dateByAddingUnit(NSCalendarUnit::Hour, 3, utc(2026, 3, 30, 22), true),
              utc(2026, 3, 30, 1));
}

TEST(CalendarAddingComponents, AbsurdAmountsGiveNoDate) {
    const NSCalendar calendar = calendarIn("Europe/Berlin");
    const std::int64_t huge = std::numeric_limits<std::int64_t>::max();
    EXPECT_FALSE(calendar.dateByAddingUnit(NSCalendarUnit::Year, huge, utc(2026, 1, 1)));
    EXPECT_FALSE(calendar.dateByAddingUnit(NSCalendarUnit::Day, -huge, utc(2026, 1, 1)));
    EXPECT_FALSE(
        calendar.dateByAddingUnit(NSCalendarUnit::Day, 1, NSDate(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_FALSE(calendar.dateByAddingUnit(NSCalendarUnit::Day | NSCalendarUnit::Hour, 1, utc(2026, 1, 1)));
}

TEST(CalendarComponents, FieldsFollowTheCalendarsZone) {
    const NSDate date = utc(2026, 3, 5, 13, 45, 30.5);  // a Thursday
    const auto units = NSCalendarUnit::Era | NSCalendarUnit::Year | NSCalendarUnit::Month |
                       NSCalendarUnit::Day | NSCalendarUnit::Hour | NSCalendarUnit::Minute |
                       NSCalendarUnit::Second | NSCalendarUnit::Nanosecond | NSCalendarUnit::Weekday |
                       NSCalendarUnit::WeekdayOrdinal;

    EXPECT_EQ(calendarIn("Europe/Berlin").components(units, date),
              (NSDateComponents{.era = 1,
                                .year = 2026,
                                .month = 3,
                                .day = 5,
                                .hour = 14,
                                .minute = 45,
                                .second = 30,
                                .nanosecond = 500'000'000,
                                .weekday = 5,
                                .weekdayOrdinal = 1}));

    EXPECT_EQ(calendarIn("America/New_York").component(NSCalendarUnit::Hour, date), 8);
    // Fourteen hours ahead of UTC it is already Friday the 6th.
    const NSDateComponents kiritimati = calendarIn("Pacific/Kiritimati").components(units, date);
    EXPECT_EQ(kiritimati.day, 6);
    EXPECT_EQ(kiritimati.weekday, 6);
    EXPECT_EQ(kiritimati.hour, 3);
}

TEST(CalendarComponents, OnlyRequestedFieldsAreSet) {
    const NSDateComponents parts =
        calendarIn("UTC").components(NSCalendarUnit::Hour | NSCalendarUnit::Weekday, utc(2026, 3, 8, 17));
    EXPECT_EQ(parts, (NSDateComponents{.hour = 17, .weekday = 1}));  // 8 March 2026 is a Sunday
    EXPECT_EQ(calendarIn("UTC").component(NSCalendarUnit::Weekday, utc(2026, 3, 7)), 7);
}

TEST(CalendarComponents, UnrepresentableDatesGiveNothing) {
    const NSCalendar calendar = calendarIn("UTC");
    const NSDate nan(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(calendar.components(NSCalendarUnit::Year, nan), NSDateComponents{});
    EXPECT_EQ(calendar.component(NSCalendarUnit::Year, NSDate(std::numeric_limits<double>::infinity())),
              NSDateComponentUndefined);
    EXPECT_EQ(calendar.component(NSCalendarUnit::Year | NSCalendarUnit::Month, utc(2026, 1, 1)),
              NSDateComponentUndefined);
    // Far beyond any real date, where ICU's 32-bit day numbers would overflow.
    EXPECT_EQ(calendar.components(NSCalendarUnit::Year, NSDate(1e18)), NSDateComponents{});
    EXPECT_EQ(calendar.components(NSCalendarUnit::Second, NSDate(-1e12), NSDate(1e12)).second,
              2'000'000'000'000);
}

TEST(CalendarDateFromComponents, BuildsLocalWallTimes) {
    NSDateComponents parts{.year = 2026, .month = 3, .day = 5, .hour = 14, .minute = 45, .second = 30};
    EXPECT_EQ(calendarIn("Europe/Berlin").dateFromComponents(parts), utc(2026, 3, 5, 13, 45, 30));
    EXPECT_EQ(calendarIn("America/New_York").dateFromComponents(parts), utc(2026, 3, 5, 19, 45, 30));
    parts.nanosecond = 250'000'000;
    EXPECT_EQ(calendarIn("UTC").dateFromComponents(parts), utc(2026, 3, 5, 14, 45, 30.25));
}

TEST(CalendarDateFromComponents, IsLenientLikeThePlatform) {
    const NSCalendar calendar = calendarIn("Europe/Berlin");
    EXPECT_EQ(calendar.dateFromComponents({.year = 2026, .month = 3, .day = 5, .hour = 25}), utc(2026, 3, 6));
    EXPECT_EQ(calendar.dateFromComponents({.year = 2026, .month = 3, .day = 0}), utc(2026, 2, 27, 23));
    EXPECT_EQ(calendar.dateFromComponents({.year = 2026, .month = 13, .day = 1}), utc(2026, 12, 31, 23));
    EXPECT_EQ(calendar.dateFromComponents({.year = 2026, .month = 3, .day = 5, .hour = 10, .minute = -1}),
              utc(2026, 3, 5, 8, 59));
    // The auto-reset hour "Never" is stored as 666: 27 days and 18 hours on.
    EXPECT_EQ(calendar.dateFromComponents({.year = 2026, .month = 3, .day = 2, .hour = 666}),
              utc(2026, 3, 29, 16));
}

TEST(CalendarDateFromComponents, GapMovesForwardAndRepeatedTimeTakesTheFirst) {
    const NSCalendar berlin = calendarIn("Europe/Berlin");
    // 02:30 does not exist on 29 March: it becomes 03:30 CEST.
    EXPECT_EQ(berlin.dateFromComponents({.year = 2026, .month = 3, .day = 29, .hour = 2, .minute = 30}),
              utc(2026, 3, 29, 1, 30));
    // 02:30 happens twice on 25 October: the first, still CEST.
    EXPECT_EQ(berlin.dateFromComponents({.year = 2026, .month = 10, .day = 25, .hour = 2, .minute = 30}),
              utc(2026, 10, 25, 0, 30));
}

TEST(CalendarDateFromComponents, WeekdayAndOrdinalPickADayOfTheMonth) {
    // The second Sunday of March 2026.
    NSDateComponents parts{.year = 2026, .month = 3, .weekday = 1, .weekdayOrdinal = 2};
    EXPECT_EQ(calendarIn("UTC").dateFromComponents(parts), utc(2026, 3, 8));
    // A given day of the month wins over the weekday.
    parts.day = 20;
    EXPECT_EQ(calendarIn("UTC").dateFromComponents(parts), utc(2026, 3, 20));
}

TEST(CalendarDateFromComponents, OutOfRangeValuesGiveNoDate) {
    const NSCalendar calendar = calendarIn("UTC");
    EXPECT_FALSE(calendar.dateFromComponents({.year = std::numeric_limits<std::int64_t>::max()}));
    EXPECT_FALSE(
        calendar.dateFromComponents({.year = 2026, .day = std::numeric_limits<std::int64_t>::min()}));
}

TEST(CalendarDifferences, DayCountsAcrossDaylightSavingChanges) {
    const NSCalendar berlin = calendarIn("Europe/Berlin");
    // Midnight to midnight across spring forward: two days, 47 hours.
    EXPECT_EQ(berlin.components(NSCalendarUnit::Day, utc(2026, 3, 28, 23), utc(2026, 3, 30, 22)).day, 2);
    EXPECT_EQ(berlin.components(NSCalendarUnit::Hour, utc(2026, 3, 28, 23), utc(2026, 3, 30, 22)).hour, 47);
    // Across fall back: 10:00 to 10:00 is one day although 25 hours pass.
    EXPECT_EQ(berlin.components(NSCalendarUnit::Day, utc(2026, 10, 24, 8), utc(2026, 10, 25, 9)).day, 1);
    EXPECT_EQ(berlin.components(NSCalendarUnit::Day, utc(2026, 10, 25, 9), utc(2026, 10, 24, 8)).day, -1);
    // Fourteen days before a start of day, as the statistics screen counts them.
    const NSDate today = berlin.startOfDayForDate(utc(2026, 4, 5, 10));
    const NSDate earlier = *berlin.dateByAddingUnit(NSCalendarUnit::Day, -13, today);
    EXPECT_EQ(berlin.components(NSCalendarUnit::Day, earlier, today).day, 13);
}

TEST(CalendarDifferences, TruncateTowardZero) {
    const NSCalendar berlin = calendarIn("Europe/Berlin");
    EXPECT_EQ(berlin.components(NSCalendarUnit::Day, utc(2026, 3, 29, 9, 59), utc(2026, 3, 28, 11)).day, 0);
    EXPECT_EQ(berlin.components(NSCalendarUnit::Second, utc(2026, 3, 1, 0, 0, 59.9), utc(2026, 3, 1)).second,
              -59);
}

TEST(CalendarDifferences, SplitIntoSeveralUnits) {
    const NSCalendar berlin = calendarIn("Europe/Berlin");
    const auto units = NSCalendarUnit::Day | NSCalendarUnit::Hour | NSCalendarUnit::Minute;
    EXPECT_EQ(berlin.components(units, utc(2026, 3, 28, 9), utc(2026, 3, 29, 11, 30)),
              (NSDateComponents{.day = 1, .hour = 3, .minute = 30}));
    EXPECT_EQ(calendarIn("UTC").components(NSCalendarUnit::Month | NSCalendarUnit::Day, utc(2026, 1, 31),
                                           utc(2026, 3, 1)),
              (NSDateComponents{.month = 1, .day = 1}));
    // One hour added to a date with a fraction, where the sum rounds a hair short, still counts as an hour.
    const NSDate from(1073741800.1);
    EXPECT_EQ(berlin.components(NSCalendarUnit::Hour | NSCalendarUnit::Nanosecond, from,
                                from.dateByAddingTimeInterval(kHour)),
              (NSDateComponents{.hour = 1, .nanosecond = 0}));
    EXPECT_EQ(
        berlin.components(NSCalendarUnit::Second, NSDate::distantPast(), NSDate::distantFuture()).second,
        126227808000);
}

TEST(CalendarSameDay, TodayFollowsTheClockAndTheZone) {
    auto clock = VirtualClock::install();  // 2026-03-02 09:00 UTC
    const NSCalendar berlin = calendarIn("Europe/Berlin");
    EXPECT_TRUE(berlin.isDateInToday(utc(2026, 3, 2, 22, 30)));   // 23:30 CET
    EXPECT_FALSE(berlin.isDateInToday(utc(2026, 3, 2, 23, 30)));  // 00:30 the next day
    EXPECT_TRUE(calendarIn("America/New_York").isDateInToday(utc(2026, 3, 3, 4, 30)));
    clock->advance(86400);
    EXPECT_TRUE(berlin.isDateInToday(utc(2026, 3, 2, 23, 30)));
    EXPECT_TRUE(berlin.isDate(utc(2026, 10, 24, 22), utc(2026, 10, 25, 22, 59)));  // both 25 October
    EXPECT_FALSE(berlin.isDate(utc(2026, 10, 24, 21, 59), utc(2026, 10, 24, 22)));
}

TEST(CalendarCompare, OrdersByTheRequestedGranularity) {
    const NSCalendar berlin = calendarIn("Europe/Berlin");
    EXPECT_EQ(berlin.compareDate(utc(2026, 3, 1, 23), utc(2026, 3, 2, 22), NSCalendarUnit::Day),
              NSOrderedSame);
    EXPECT_EQ(berlin.compareDate(utc(2026, 3, 1, 22), utc(2026, 3, 1, 23), NSCalendarUnit::Day),
              NSOrderedAscending);
    EXPECT_EQ(berlin.compareDate(utc(2026, 3, 31, 22), utc(2026, 3, 1), NSCalendarUnit::Month),
              NSOrderedDescending);
    // The repeated 02:00 hour of 25 October: same wall-clock hour, two different hours.
    EXPECT_EQ(berlin.compareDate(utc(2026, 10, 25, 0, 30), utc(2026, 10, 25, 1, 30), NSCalendarUnit::Hour),
              NSOrderedAscending);
    EXPECT_EQ(
        berlin.compareDate(utc(2026, 3, 1, 0, 0, 1.5), utc(2026, 3, 1, 0, 0, 1.25), NSCalendarUnit::Second),
        NSOrderedSame);
}

TEST(CalendarSettingHour, FindsTheWallTimeOfThatDay) {
    const NSCalendar berlin = calendarIn("Europe/Berlin");
    EXPECT_EQ(berlin.dateBySettingHour(7, 15, 0, utc(2026, 3, 5, 20)), utc(2026, 3, 5, 6, 15));
    // No 02:00 on 29 March: the next existing time, 03:00 CEST.
    EXPECT_EQ(berlin.dateBySettingHour(2, 30, 0, utc(2026, 3, 29, 12)), utc(2026, 3, 29, 1));
    // 02:00 twice on 25 October: the first.
    EXPECT_EQ(berlin.dateBySettingHour(2, 0, 0, utc(2026, 10, 25, 12)), utc(2026, 10, 25, 0));
    EXPECT_FALSE(berlin.dateBySettingHour(24, 0, 0, utc(2026, 3, 5)));
    EXPECT_FALSE(berlin.dateBySettingHour(10, 60, 0, utc(2026, 3, 5)));
}

TEST(CalendarCurrent, TakesTheDefaultZoneWhenMade) {
    const NSTimeZone original = NSTimeZone::defaultTimeZone();
    NSTimeZone::setDefaultTimeZone(*NSTimeZone::timeZoneWithName("America/New_York"));
    NSCalendar madeInNewYork = NSCalendar::currentCalendar();
    NSTimeZone::setDefaultTimeZone(*NSTimeZone::timeZoneWithName("Europe/Berlin"));

    EXPECT_EQ(madeInNewYork.timeZone().name(), "America/New_York");
    EXPECT_EQ(NSTimeZone::localTimeZone().name(), "Europe/Berlin");
    EXPECT_EQ(NSCalendar::currentCalendar().timeZone().name(), "Europe/Berlin");
    EXPECT_EQ(NSCalendar::currentCalendar().startOfDayForDate(utc(2026, 3, 5, 12)), utc(2026, 3, 4, 23));
    NSTimeZone::setDefaultTimeZone(original);
}
