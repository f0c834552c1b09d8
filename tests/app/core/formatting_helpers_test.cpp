#include "app/core/formatting_helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "platform/foundation/ns_calendar.h"
#include "platform/foundation/ns_locale.h"
#include "platform/foundation/ns_time_zone.h"
#include "tests/support/kept_locale.h"
#include "tests/support/kept_time_zone.h"

using namespace quorvel;
using platform::NSDate;

namespace {

// The instant of a wall time in the default time zone.
NSDate local(int year, int month, int day, int hour, int minute = 0, int second = 0) {
    return *platform::NSCalendar::currentCalendar().dateFromComponents(
        {.year = year, .month = month, .day = day, .hour = hour, .minute = minute, .second = second});
}

void useTimeZone(const char* name) {
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName(name));
}

// Cases that run in a zone and a locale of their choice put the default ones back.
class CalendarHelpers : public ::testing::Test {
    quorvel::testing::KeptTimeZone zone_;
    quorvel::testing::KeptLocale locale_;
};

}  // namespace

TEST(TimeText, MinutesAndTruncatedSeconds) {
    const std::pair<double, const char*> table[] = {
        {1500000, "25:00"},  {59999, "00:59"}, {61000, "01:01"},
        {6000000, "100:00"}, {999, "00:00"},   {std::numeric_limits<double>::quiet_NaN(), "00:00"},
    };
    for (const auto& [milliseconds, text] : table) EXPECT_EQ(timeTextFromMilliseconds(milliseconds), text);
    // Far beyond any session: the minutes stop at the integer limit instead of overflowing.
    EXPECT_EQ(timeTextFromMilliseconds(1e300).rfind("2147483647:", 0), 0u);
}

TEST(DurationText, HoursSingularPluralAndSpacing) {
    const std::tuple<bool, std::int64_t, const char*> table[] = {
        {false, 90, "1 hour 30 minutes"}, {false, 125, "2 hours 5 minutes"},
        {false, 60, "1 hour 0 minute"},   {false, 25, " 25 minutes"},
        {false, 1, " 1 minute"},          {false, 0, " 0 minute"},
        {false, 120, "2 hours 0 minute"}, {false, 61, "1 hour 1 minute"},
        {true, 25, "(  25 minutes )"},    {true, 135, "( 2 hours 15 minutes )"},
    };
    for (const auto& [inBrackets, minutes, text] : table) {
        EXPECT_EQ(durationTextFromMinutes(inBrackets, minutes), text) << minutes;
    }
}

TEST_F(CalendarHelpers, StartOfDayIsLocalMidnightAcrossDaylightSavingChanges) {
    useTimeZone("Europe/Berlin");
    EXPECT_EQ(startOfDay(local(2024, 3, 30, 23, 59, 59)), local(2024, 3, 30, 0));
    // The clocks jump from 02:00 to 03:00: the day is 23 hours long.
    EXPECT_EQ(startOfDay(local(2024, 3, 31, 12)), local(2024, 3, 31, 0));
    EXPECT_EQ(local(2024, 4, 1, 0).timeIntervalSinceDate(startOfDay(local(2024, 3, 31, 23, 59, 59))),
              23 * 3600);
    EXPECT_EQ(startOfDay(local(2024, 10, 27, 22)), local(2024, 10, 27, 0));

    useTimeZone("America/New_York");
    EXPECT_EQ(startOfDay(local(2024, 11, 3, 1, 30)), local(2024, 11, 3, 0));
    const NSDate notADate(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(startOfDay(notADate).timeIntervalSinceReferenceDate()));
}

TEST_F(CalendarHelpers, AddingDaysKeepsTheLocalTimeAcrossDaylightSavingChanges) {
    useTimeZone("Europe/Berlin");
    const NSDate after = local(2024, 4, 5, 10, 15);
    EXPECT_EQ(dateByAddingDays(after, -13), local(2024, 3, 23, 10, 15));
    EXPECT_EQ(after.timeIntervalSinceDate(dateByAddingDays(after, -13)), 13 * 86400 - 3600);
    EXPECT_EQ(dateByAddingDays(startOfDay(after), 7), startOfDay(local(2024, 4, 12, 18)));
}

TEST_F(CalendarHelpers, DateTextFollowsTheLocalesPatternForTheTemplate) {
    useTimeZone("Europe/Berlin");
    platform::NSLocale::setCurrentLocale(platform::NSLocale("en_US"));
    const NSDate date = local(2024, 3, 31, 12);
    EXPECT_EQ(dateTextFromTemplate(date, "EE,\nd MMM"), "Sun, Mar 31");
    platform::NSLocale::setCurrentLocale(platform::NSLocale("de_DE"));
    EXPECT_EQ(dateTextFromTemplate(date, "EE,\nd MMM"), "So., 31. März");
}
