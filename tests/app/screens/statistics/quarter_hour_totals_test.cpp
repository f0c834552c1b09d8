#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/core/formatting_helpers.h"
#include "app/screens/statistics/quarter_hour_totals.h"
#include "platform/foundation/ns_time_zone.h"

namespace quorvel {
namespace {

using platform::NSDate;

struct Ended {
    double at;
    std::int64_t minutes;
};

// Each session's day found by itself, as a full read of the store finds it.
DayNumbers daysOneByOne(const std::vector<Ended>& sessions) {
    DayNumbers days;
    for (const auto& session : sessions) {
        auto& day = days[startOfDay(NSDate(session.at))];
        day.pomodoros += 1;
        day.minutes += std::max<std::int64_t>(session.minutes, 0);
    }
    return days;
}

class QuarterHourTotalsInZones : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName(GetParam()));
    }
    void TearDown() override {
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
    }
};

// Sessions of three years, many of them close to a local midnight or a change of daylight time, come in
// any order; some are taken back again.
TEST_P(QuarterHourTotalsInZones, GiveTheDaysOfTheSessionsOneByOne) {
    std::mt19937 random(7);
    std::vector<Ended> sessions;
    QuarterHourTotals totals;
    const double start = 757382400;  // 1 January 2025, midnight universal time
    for (int i = 0; i < 6000; ++i) {
        const double day = std::uniform_int_distribution<int>(0, 3 * 365)(random) * 86400.0;
        // Half of them within a quarter of an hour of a whole hour, where every offset puts a midnight.
        const double within = i % 2 ? std::uniform_real_distribution<double>(0, 86400)(random)
                                    : 3600.0 * std::uniform_int_distribution<int>(0, 23)(random) +
                                          std::uniform_real_distribution<double>(-900, 900)(random);
        sessions.push_back({start + day + within, std::uniform_int_distribution<int>(-5, 90)(random)});
        totals.add(sessions.back().at, sessions.back().minutes);
    }
    for (int i = 0; i < 500; ++i) {
        const auto gone = sessions.begin() + std::uniform_int_distribution<int>(0, int(sessions.size()) - 1)(random);
        ASSERT_TRUE(totals.remove(gone->at, gone->minutes));
        sessions.erase(gone);
    }
    EXPECT_EQ(totals.days(), daysOneByOne(sessions));
    EXPECT_TRUE(std::is_sorted(totals.quarters().begin(), totals.quarters().end(),
                               [](const auto& a, const auto& b) { return a.index < b.index; }));
}

INSTANTIATE_TEST_SUITE_P(Offsets, QuarterHourTotalsInZones,
                         ::testing::Values("Europe/Berlin", "America/St_Johns", "Asia/Kolkata", "Asia/Kathmandu",
                                           "Australia/Eucla", "Pacific/Chatham", "Pacific/Kiritimati", "UTC"));

TEST(QuarterHourTotals, TakeBackOnlyWhatWasAddedAndKeepTimesWithoutADayAside) {
    QuarterHourTotals totals;
    totals.add(100.0, 25);
    totals.add(200.0, -3);   // counts, but no minutes
    totals.add(-50.0, 10);   // before the reference date: the quarter before it
    totals.add(std::nullopt, 25);
    totals.add(std::numeric_limits<double>::quiet_NaN(), 25);
    totals.add(5e15, 30);  // too far for a quarter
    EXPECT_EQ(totals.quarters(), (std::vector<QuarterHourTotals::Quarter>{{-1, 1, 10}, {0, 2, 25}}));
    EXPECT_EQ(totals.loose(), (std::vector<QuarterHourTotals::Loose>{{5e15, 30}}));

    EXPECT_FALSE(totals.remove(100.0, 26)) << "more minutes than the rest of the quarter can hold";
    EXPECT_FALSE(totals.remove(1000.0, 25)) << "a quarter without sessions";
    EXPECT_FALSE(totals.remove(5e15, 31));
    EXPECT_TRUE(totals.remove(100.0, 25));
    EXPECT_TRUE(totals.remove(200.0, 0));
    EXPECT_FALSE(totals.remove(200.0, 0)) << "taken back once";
    EXPECT_TRUE(totals.remove(5e15, 30));
    EXPECT_EQ(totals.quarters(), (std::vector<QuarterHourTotals::Quarter>{{-1, 1, 10}}));
    EXPECT_TRUE(totals.loose().empty());
}

TEST(QuarterHourTotals, AreRefusedOutOfOrderTwiceOrEmpty) {
    EXPECT_TRUE(QuarterHourTotals::from({{1, 1, 0}, {2, 3, 75}}, {{-2e12, 5}}));
    EXPECT_FALSE(QuarterHourTotals::from({{2, 1, 0}, {1, 1, 0}}, {}));
    EXPECT_FALSE(QuarterHourTotals::from({{1, 1, 0}, {1, 1, 0}}, {}));
    EXPECT_FALSE(QuarterHourTotals::from({{1, 0, 0}}, {}));
    EXPECT_FALSE(QuarterHourTotals::from({{1, 1, -1}}, {}));
    EXPECT_FALSE(QuarterHourTotals::from({}, {{100.0, 5}})) << "a time a quarter holds";
}

// Liberia kept 44 minutes 30 seconds behind universal time until 1972: its days started inside a quarter.
// Only a quarter with sessions on both sides of a midnight cannot tell their days.
TEST(QuarterHourTotals, HaveNoDaysWhenAQuarterWithSessionsHoldsAMidnight) {
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Africa/Monrovia"));
    const double midnight = -1293840000.0 + 180 * 86400.0 + 44 * 60 + 30;  // 00:44:30 universal time
    ASSERT_EQ(startOfDay(NSDate(midnight + 1)), NSDate(midnight));
    QuarterHourTotals totals;
    totals.add(midnight + 600, 25);
    totals.add(800000000.0, 25);
    EXPECT_EQ(totals.days(), daysOneByOne({{midnight + 600, 25}, {800000000.0, 25}}));
    totals.add(midnight - 60, 25);
    EXPECT_FALSE(totals.days());
    // The quarter from 00:30 to 00:45 universal time is left to its sessions; the rest is counted.
    const auto local = totals.localDays();
    ASSERT_EQ(local.across.size(), 1u);
    EXPECT_EQ(QuarterHourTotals::startOf(local.across[0]), midnight - 14 * 60 - 30);
    EXPECT_EQ(local.across[0].sessions, 1);
    EXPECT_EQ(local.days, daysOneByOne({{midnight + 600, 25}, {800000000.0, 25}}));
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
    EXPECT_EQ(totals.days(), daysOneByOne({{midnight + 600, 25}, {800000000.0, 25}, {midnight - 60, 25}}));
}

}  // namespace
}  // namespace quorvel
