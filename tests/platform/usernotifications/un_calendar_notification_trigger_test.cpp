#include "platform/usernotifications/un_calendar_notification_trigger.h"

#include <gtest/gtest.h>

#include "platform/foundation/ns_time_zone.h"
#include "tests/platform/foundation/civil_time.h"

using namespace platform;
using quorvel::testing::utc;

namespace {

class CalendarTrigger : public ::testing::Test {
protected:
    CalendarTrigger() { NSTimeZone::setDefaultTimeZone(*NSTimeZone::timeZoneWithName("Europe/Berlin")); }
    ~CalendarTrigger() override { NSTimeZone::setDefaultTimeZone(*NSTimeZone::timeZoneWithName("UTC")); }

    static std::shared_ptr<UNCalendarNotificationTrigger> weekly(int weekday, int hour) {
        NSDateComponents components;
        components.weekday = weekday;
        components.hour = hour;
        return UNCalendarNotificationTrigger::triggerWithDateMatchingComponents(components, true);
    }
};

}  // namespace

TEST_F(CalendarTrigger, AWeekdayAndHourFireEveryWeekAtTheFullLocalHour) {
    const auto monday14 = weekly(2, 14);
    // Wednesday 4 March 2026, 10:00 in Berlin (UTC+1) → Monday 9 March, 14:00 local.
    EXPECT_EQ(monday14->nextDateAfter(utc(2026, 3, 4, 9)), utc(2026, 3, 9, 13));
    EXPECT_EQ(monday14->nextDateAfter(utc(2026, 3, 9, 12, 59, 59)), utc(2026, 3, 9, 13));
    // Exactly on time counts as passed: the next fire is a week later.
    EXPECT_EQ(monday14->nextDateAfter(utc(2026, 3, 9, 13)), utc(2026, 3, 16, 13));
    // Across the change to summer time (29 March) the local hour stays 14:00.
    EXPECT_EQ(monday14->nextDateAfter(utc(2026, 3, 23, 14)), utc(2026, 3, 30, 12));
    EXPECT_EQ(weekly(1, 0)->nextDateAfter(utc(2026, 3, 7, 23, 30)), utc(2026, 3, 14, 23));
}

TEST_F(CalendarTrigger, UnsetSmallerFieldsStartEachMatchOnTime) {
    NSDateComponents halfPast;
    halfPast.minute = 30;
    const auto hourly = UNCalendarNotificationTrigger::triggerWithDateMatchingComponents(halfPast, true);
    EXPECT_EQ(hourly->nextDateAfter(utc(2026, 3, 4, 9, 31)), utc(2026, 3, 4, 10, 30));

    NSDateComponents leapDay;
    leapDay.month = 2;
    leapDay.day = 29;
    const auto yearly = UNCalendarNotificationTrigger::triggerWithDateMatchingComponents(leapDay, true);
    EXPECT_EQ(yearly->nextDateAfter(utc(2026, 3, 4)), utc(2028, 2, 28, 23));
    EXPECT_TRUE(yearly->invalidReason().empty());
}
