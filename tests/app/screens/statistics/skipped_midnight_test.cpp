// Zones whose clocks go forward at local midnight: that day starts at 01:00, and the days after it start
// at midnight again. One session on each of four days, two of them half an hour after midnight, shows one
// session a day on the screen, in the totals followed after each save, after a change of zone and after a
// relaunch.
#include <gtest/gtest.h>

#include "app/core/app_notification_names.h"
#include "app/core/session_store_summary.h"
#include "app/screens/statistics/session_day_totals.h"
#include "app/screens/statistics/session_day_totals_file.h"
#include "tests/app/screens/statistics/charts_fixture.h"

namespace quorvel {
namespace {

using platform::NSDate;

// The clock stands on the Thursday at 10:00 after a Saturday night whose midnight the clocks skip.
class SkippedMidnight : public testing::ChartsTest {
protected:
    SkippedMidnight(const char* zone, double thursdayTen, int year, int month, int sunday)
        : ChartsTest(thursdayTen), zone_(zone), year_(year), month_(month), sunday_(sunday) {
        useZone(zone_);
    }

    static void useZone(const char* zone) {
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName(zone));
    }
    // A wall time `days` after the Sunday, in the zone of the test.
    NSDate onDay(int days, int hour, int minute = 0) const { return local(year_, month_, sunday_ + days, hour, minute); }
    NSDate dayStart(int days) const { return onDay(days, 0); }

    void storeOneSessionADay() {
        store(onDay(0, 12));
        store(onDay(1, 0, 30), 30);
        store(onDay(2, 0, 30), 35);
        store(onDay(3, 12), 40);
    }
    DayNumbers oneSessionADay() const {
        return {{dayStart(0), {1, 25, 0, 0}}, {dayStart(1), {1, 30, 0, 0}},
                {dayStart(2), {1, 35, 0, 0}}, {dayStart(3), {1, 40, 0, 0}}};
    }

    // The charts' entries of the four days: a day's first instant each, one session each.
    void expectTheChartsShowOneSessionADay() {
        const auto& line = screen->lineChartDatas();
        ASSERT_EQ(line.size(), 30u);
        // Thursday is the last entry, the Sunday four before it.
        for (int day = 0; day < 4; ++day) {
            const auto& entry = line[25 + std::size_t(day)];
            EXPECT_EQ(entry.x(), dayStart(day).timeIntervalSince1970()) << "day " << day;
            EXPECT_EQ(entry.y(), 1) << "day " << day;
        }
        EXPECT_EQ(line[24].x(), dayStart(-1).timeIntervalSince1970());
        EXPECT_EQ(line[24].y(), 0);
        const auto& bars = screen->barChartDatas();
        ASSERT_EQ(bars.size(), 14u);
        for (int day = 0; day < 4; ++day) EXPECT_EQ(bars[9 + std::size_t(day)].y(), 1) << "day " << day;
        EXPECT_DOUBLE_EQ(screen->averagesOverLastDays(14).first, 4.0 / 14);
    }

    void expectOneSessionADay() {
        // The Sunday starts at 01:00 and lasts 23 hours.
        ASSERT_EQ(dayStart(0), onDay(0, 1));
        ASSERT_EQ(dayStart(1).timeIntervalSinceDate(dayStart(0)), 23 * 3600);
        show();
        EXPECT_EQ(screen->dayNumbersDict(), oneSessionADay());
        EXPECT_EQ(screen->dayNumbersDict(), fullRead());
        expectTheChartsShowOneSessionADay();
    }

    const char* zone_;
    int year_, month_, sunday_;
};

// Chile's clocks went from Saturday 2 September 2023 24:00 to Sunday 01:00.
class SkippedMidnightInSantiago : public SkippedMidnight {
protected:
    SkippedMidnightInSantiago() : SkippedMidnight("America/Santiago", 715784400.0, 2023, 9, 3) {}
};

// Cuba's went from Saturday 7 March 2026 24:00 to Sunday 01:00.
class SkippedMidnightInHavana : public SkippedMidnight {
protected:
    SkippedMidnightInHavana() : SkippedMidnight("America/Havana", 795016800.0, 2026, 3, 8) {}
};

TEST_F(SkippedMidnightInSantiago, EachSessionCountsOnItsOwnDate) {
    storeOneSessionADay();
    expectOneSessionADay();
}

TEST_F(SkippedMidnightInHavana, EachSessionCountsOnItsOwnDate) {
    storeOneSessionADay();
    expectOneSessionADay();
}

// The sessions come one by one while the screen is open: the totals followed after each save.
TEST_F(SkippedMidnightInSantiago, SessionsStoredWhileTheScreenIsOpenCountOnTheirOwnDates) {
    show();
    auto& center = platform::NSNotificationCenter::defaultCenter();
    storeOneSessionADay();
    center.postNotificationName(NotificationName::changeChartsData());
    clock->runUntilIdle();
    EXPECT_EQ(screen->dayNumbersDict(), oneSessionADay());
    expectTheChartsShowOneSessionADay();

    // And one more a minute after the skipped midnight's hour began, stored by a merge.
    const auto merge = mergingContext();
    merge->performBlockAndWait([&] {
        auto session = std::dynamic_pointer_cast<Session>(merge->insertNewObjectForEntityForName("Session"));
        session->setTimestamp(onDay(0, 1, 1));
        session->setDuration(5);
        EXPECT_TRUE(merge->save());
    });
    center.postNotificationName(NotificationName::didChangeCloudContent());
    clock->runUntilIdle();
    auto expected = oneSessionADay();
    expected[dayStart(0)] = {2, 30, 0, 0};
    EXPECT_EQ(screen->dayNumbersDict(), expected);
}

// The totals are kept per quarter of an hour of universal time: another zone counts them again.
TEST_F(SkippedMidnightInHavana, AChangeOfZoneAcrossTheDayCountsTheKeptTotalsOnTheNewZonesDates) {
    storeOneSessionADay();
    useZone("Europe/Berlin");
    show();
    ASSERT_EQ(screen->dayNumbersDict(), fullRead());
    // Monday 00:30 in Havana is Monday 05:30 in Berlin, Sunday 12:00 is Sunday 17:00.
    ASSERT_EQ(screen->dayNumbersDict().size(), 4u);

    useZone(zone_);
    screen->refreshCharts();
    EXPECT_EQ(screen->dayNumbersDict(), oneSessionADay());
    expectTheChartsShowOneSessionADay();

    // In Santiago the same instants fall an hour later (Havana's Sunday 01:00 is Santiago's 02:00).
    useZone("America/Santiago");
    screen->refreshCharts();
    EXPECT_EQ(screen->dayNumbersDict(), fullRead());
}

// A later launch starts from the totals the last one kept in its summary file.
TEST_F(SkippedMidnightInSantiago, TheKeptTotalsReadAfterARelaunchGiveEachSessionItsDate) {
    storeOneSessionADay();
    useZone("Europe/Berlin");
    show();
    const auto text = SessionStoreSummary::read();
    ASSERT_TRUE(text);
    const auto kept = SessionDayTotalsFile::parse(*text);
    ASSERT_TRUE(kept);

    useZone(zone_);
    EXPECT_EQ(kept->totals.days(), oneSessionADay());
    const auto relaunched = SessionDayTotals::make();
    EXPECT_EQ(relaunched->figures(*CoreDataManager::context()), oneSessionADay());
    // Sessions stored after the relaunch are added to the kept totals' days.
    store(onDay(4, 0, 10), 45);
    auto expected = oneSessionADay();
    expected[dayStart(4)] = {1, 45, 0, 0};
    EXPECT_EQ(relaunched->figures(*CoreDataManager::context()), expected);
    EXPECT_EQ(SessionDayTotals::make()->figures(*CoreDataManager::context()), expected);
}

}  // namespace
}  // namespace quorvel
