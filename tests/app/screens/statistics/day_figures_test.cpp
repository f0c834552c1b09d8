#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "app/core/app_notification_names.h"
#include "app/core/formatting_helpers.h"
#include "app/screens/statistics/data_value_formatter.h"
#include "app/screens/statistics/date_value_formatter.h"
#include "platform/charts/bar_chart_data.h"
#include "platform/charts/line_chart_data.h"
#include "tests/app/screens/statistics/charts_fixture.h"

namespace quorvel {
namespace {

using platform::NSDate;
using testing::ChartsTest;
using DayFigures = ChartsTest;

// Sunday 5 April 2026, 12:00 in Berlin: the last 30 days hold the change to summer time (29 March).
class DayFiguresAfterTheSpringChange : public ChartsTest {
protected:
    DayFiguresAfterTheSpringChange() : ChartsTest(797076000.0) {}
};

std::vector<double> xs(const std::vector<platform::ChartDataEntry>& entries) {
    std::vector<double> result;
    for (const auto& entry : entries) result.push_back(entry.x());
    return result;
}

}  // namespace

TEST_F(DayFiguresAfterTheSpringChange, SessionsGroupByLocalDayAcrossTheChangeAndTheDaysRunOnLocalMidnights) {
    ASSERT_EQ(NSDate::now(), local(2026, 4, 5, 12));
    store(local(2026, 3, 28, 23, 59, 59));
    store(local(2026, 3, 29, 0, 0, 0), 50);
    store(local(2026, 3, 29, 1, 59, 59));
    store(local(2026, 3, 29, 3, 0, 0));  // an hour after 01:59:59: the clocks jumped from 02:00 to 03:00
    store(local(2026, 3, 29, 23, 59, 59));
    store(local(2026, 3, 30, 0, 0, 0));
    store(local(2025, 10, 26, 23, 30));  // the day the clocks went back, 25 hours long
    store(local(2025, 10, 26, 2, 30));
    show();

    const DayNumbers expected = {{local(2025, 10, 26), {2, 50, 0, 0}},
                                 {local(2026, 3, 28), {1, 25, 0, 0}},
                                 {local(2026, 3, 29), {4, 125, 0, 0}},
                                 {local(2026, 3, 30), {1, 25, 0, 0}}};
    EXPECT_EQ(screen->dayNumbersDict(), expected);

    const auto line = xs(screen->lineChartDatas());
    ASSERT_EQ(line.size(), 30u);
    EXPECT_EQ(line.front(), local(2026, 3, 7).timeIntervalSince1970());
    EXPECT_EQ(line.back(), local(2026, 4, 5).timeIntervalSince1970());
    for (std::size_t i = 1; i < line.size(); ++i) {
        const double day = line[i] - line[i - 1];
        EXPECT_EQ(day, line[i - 1] == local(2026, 3, 29).timeIntervalSince1970() ? 23 * 3600 : 24 * 3600) << i;
    }
    EXPECT_EQ(screen->lineChartDatas()[22].y(), 4) << "29 March";
    EXPECT_EQ(screen->lineChartDatas()[21].y(), 1) << "28 March";
    const auto bars = xs({screen->barChartDatas().begin(), screen->barChartDatas().end()});
    EXPECT_EQ(bars, std::vector<double>(line.end() - 14, line.end()));

    // The bars are as wide as 13/14 of a day less 1/15 of a second, whatever the hour lost.
    auto data = std::dynamic_pointer_cast<platform::BarChartData>(screen->barChartView()->data());
    ASSERT_TRUE(data);
    EXPECT_NEAR(data->barWidth(), (bars.back() - bars.front()) / 14 - 1.0 / 15, 1e-9);
}

TEST_F(DayFigures, AveragesDivideTodayAndTheDaysBeforeByTheirNumberWhateverIsStored) {
    for (int i = 0; i < 10; ++i) store(daysAgo(0, 9));
    show();
    auto [sessions14, minutes14] = screen->averagesOverLastDays(14);
    EXPECT_DOUBLE_EQ(sessions14, 10.0 / 14);
    EXPECT_DOUBLE_EQ(minutes14, 250.0 / 14);
    EXPECT_DOUBLE_EQ(screen->averagesOverLastDays(30).first, 10.0 / 30);
    EXPECT_EQ(screen->avg7DaysLabel()->text(), "Average 0.7 Focus Sessions (  18 minutes )");
    EXPECT_EQ(screen->avg30DaysLabel()->text(), "Average 0.3 Focus Sessions (  9 minutes )");

    store(daysAgo(13));
    store(daysAgo(14));
    screen->refreshCharts();
    EXPECT_DOUBLE_EQ(screen->averagesOverLastDays(14).first, 11.0 / 14) << "13 days ago counts, 14 days ago not";
    EXPECT_DOUBLE_EQ(screen->averagesOverLastDays(30).first, 12.0 / 30);
    EXPECT_EQ(screen->averagesOverLastDays(0), (std::pair<double, double>{0, 0})) << "no days divide nothing";

    for (int i = 0; i < 9; ++i) store(daysAgo(1));
    screen->refreshCharts();
    EXPECT_EQ(screen->avg7DaysLabel()->text(), "Average 1 Focus Sessions (  36 minutes )") << "20 / 14 = 1.43";
}

TEST_F(DayFigures, WithoutSessionsEveryDayIsZeroAndCarriesNoValueLabel) {
    show();
    EXPECT_TRUE(screen->dayNumbersDict().empty());
    ASSERT_EQ(screen->lineChartDatas().size(), 30u);
    ASSERT_EQ(screen->barChartDatas().size(), 14u);
    for (const auto& entry : screen->lineChartDatas()) EXPECT_EQ(entry.y(), 0);
    for (const auto& entry : screen->barChartDatas()) EXPECT_EQ(entry.y(), 0);
    EXPECT_EQ(screen->avg7DaysLabel()->text(), "Average 0.0 Focus Sessions (  0 minute )");
    EXPECT_EQ(screen->avg30DaysLabel()->text(), "Average 0.0 Focus Sessions (  0 minute )");
    EXPECT_FALSE(screen->lineChartView()->data()->dataSets()[0]->isDrawValuesEnabled());
    EXPECT_FALSE(screen->barChartView()->data()->dataSets()[0]->isDrawValuesEnabled());
}

TEST_F(DayFigures, UnsavedSessionsCountAndDamagedOnesTakeNothingAway) {
    store(daysAgo(0), 25);
    store(daysAgo(0), -40);  // a record from elsewhere with a negative length
    auto context = CoreDataManager::context();
    auto unsaved = std::dynamic_pointer_cast<Session>(context->insertNewObjectForEntityForName("Session"));
    unsaved->setTimestamp(daysAgo(1));
    unsaved->setDuration(30);
    auto timeless = std::dynamic_pointer_cast<Session>(context->insertNewObjectForEntityForName("Session"));
    timeless->setValueForKey(platform::Value(), "timestamp");
    show();
    EXPECT_EQ(screen->dayNumbersDict(), (DayNumbers{{local(2026, 3, 1), {1, 30, 0, 0}}, {local(2026, 3, 2), {2, 25, 0, 0}}}));
}

// The screen keeps its figures from the saves rather than reading every session again at each refresh;
// whatever happened to the store, they are those of a full read. A merge is another connection to the
// same file saving on its own queue, as the sync's is.
TEST_F(DayFigures, AfterStoresMergesAndMovesToOtherZonesTheFiguresAreThoseOfAFullRead) {
    show();
    auto& center = platform::NSNotificationCenter::defaultCenter();
    const auto merge = mergingContext();

    std::mt19937 random(43);
    auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto someTime = [&] { return NSDate::now().dateByAddingTimeInterval(-60.0 * uniform(0, 45 * 24 * 60)); };
    auto addSession = [&](platform::NSManagedObjectContext& context) {
        auto session = std::dynamic_pointer_cast<Session>(context.insertNewObjectForEntityForName("Session"));
        session->setTimestamp(someTime());
        session->setDuration(uniform(0, 90));
    };
    const char* zones[] = {"Europe/Berlin", "America/New_York", "Asia/Kolkata", "Australia/Adelaide", "Pacific/Chatham"};
    for (int step = 0; step < 80; ++step) {
        switch (uniform(0, 3)) {
            case 0:
                store(someTime(), uniform(0, 90));
                center.postNotificationName(NotificationName::changeChartsData());
                break;
            case 1:
                addSession(*CoreDataManager::context());
                center.postNotificationName(NotificationName::changeChartsData());
                break;
            case 2:
                merge->performBlockAndWait([&] {
                    for (int added = uniform(0, 2); added > 0; --added) addSession(*merge);
                    const auto sessions = merge->executeFetchRequest(platform::NSFetchRequest::fetchRequestWithEntityName("Session"));
                    if (uniform(0, 1) && sessions && !sessions->empty())
                        (*sessions)[std::size_t(uniform(0, int(sessions->size()) - 1))]->setValueForKey(someTime(), "timestamp");
                    EXPECT_TRUE(merge->save());
                });
                center.postNotificationName(NotificationName::didChangeCloudContent());
                break;
            default:
                platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName(zones[uniform(0, 4)]));
                center.postNotificationName(NotificationName::changeChartsData());
        }
        clock->runUntilIdle();
        ASSERT_EQ(screen->dayNumbersDict(), fullRead()) << "step " << step;
    }
    EXPECT_GT(screen->dayNumbersDict().size(), 20u);
}

TEST(ChartFormatters, ValueLabelsAreWholeCountsAndDayLabelsShortDates) {
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
    platform::NSLocale::setCurrentLocale(platform::NSLocale::localeWithLocaleIdentifier("en_US"));
    const DataValueFormatter values;
    const std::pair<double, const char*> table[] = {{0.0, ""}, {-1, ""}, {1.0, "1"}, {2.9, "2"}, {0.5, "0"},
                                                    {std::numeric_limits<double>::quiet_NaN(), ""}};
    for (const auto& [value, text] : table) EXPECT_EQ(values.stringForValue(value), text) << value;
    EXPECT_EQ(values.stringForValue(3.0, platform::ChartDataEntry(0, 3), 0, nullptr), "3");

    const DateValueFormatter days;
    const double fifthOfMarch = ChartsTest::local(2026, 3, 5).timeIntervalSince1970();
    EXPECT_EQ(days.stringForValue(fifthOfMarch), "Mar 5");
    EXPECT_EQ(days.stringForValue(fifthOfMarch - 1, nullptr), "Mar 4");
    EXPECT_EQ(days.stringForValue(ChartsTest::local(2026, 10, 25, 23, 30).timeIntervalSince1970()), "Oct 25");
}

}  // namespace quorvel
