#include "platform/foundation/ns_time_zone.h"

#include <gtest/gtest.h>

#include "tests/platform/foundation/civil_time.h"

using namespace platform;
using quorvel::testing::utc;

TEST(TimeZoneLookup, KnowsZoneIdentifiersAndRejectsOthers) {
    const auto berlin = NSTimeZone::timeZoneWithName("Europe/Berlin");
    ASSERT_TRUE(berlin);
    EXPECT_EQ(berlin->name(), "Europe/Berlin");
    EXPECT_TRUE(NSTimeZone::timeZoneWithName("UTC"));
    EXPECT_FALSE(NSTimeZone::timeZoneWithName("Nowhere/City"));
    EXPECT_FALSE(NSTimeZone::timeZoneWithName(""));
    EXPECT_FALSE(NSTimeZone::timeZoneWithName("Etc/Unknown"));
}

TEST(TimeZoneOffsets, FollowDaylightSavingTime) {
    const auto berlin = *NSTimeZone::timeZoneWithName("Europe/Berlin");
    EXPECT_EQ(berlin.secondsFromGMTForDate(utc(2026, 3, 29, 0, 59, 59)), 3600);
    EXPECT_EQ(berlin.secondsFromGMTForDate(utc(2026, 3, 29, 1)), 7200);
    EXPECT_FALSE(berlin.isDaylightSavingTimeForDate(utc(2026, 1, 15)));
    EXPECT_TRUE(berlin.isDaylightSavingTimeForDate(utc(2026, 7, 15)));

    const auto newYork = *NSTimeZone::timeZoneWithName("America/New_York");
    EXPECT_EQ(newYork.secondsFromGMTForDate(utc(2026, 1, 15)), -18000);
    EXPECT_EQ(newYork.secondsFromGMTForDate(utc(2026, 11, 1, 5, 59)), -14400);
    EXPECT_EQ(newYork.secondsFromGMTForDate(utc(2026, 11, 1, 6)), -18000);

    const auto india = *NSTimeZone::timeZoneWithName("Asia/Kolkata");
    EXPECT_EQ(india.secondsFromGMTForDate(utc(2026, 7, 15)), 19800);
    EXPECT_FALSE(india.isDaylightSavingTimeForDate(utc(2026, 7, 15)));
}
