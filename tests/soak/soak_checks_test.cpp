// The walk's checks of what a person sees and expects, on their own: the statistics worked out from the
// stored sessions by Berlin's days, the daily reset moment, the goal and sync accounts of the ledger,
// and the safe area held to every view of a real window.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"
#include "platform/uikit/text/ui_label.h"
#include "tests/platform/foundation/civil_time.h"
#include "tests/soak/daily_reset.h"
#include "tests/soak/safe_area_check.h"
#include "tests/soak/statistics_figures.h"
#include "tests/soak/walk_ledger.h"

using namespace quorvel::soak;

namespace {

// The walk's time zone, for one test.
class BerlinTime : public ::testing::Test {
protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        saved_ = zone ? zone : "";
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
    }
    void TearDown() override {
        ::setenv("TZ", saved_.c_str(), 1);
        ::tzset();
    }

private:
    std::string saved_;
};

using StatisticsByBerlinDays = BerlinTime;
using DailyResetMoment = BerlinTime;
using LedgerOfResetsAndSyncs = BerlinTime;

// Seconds since 2001 of a Berlin wall-clock time in winter (UTC+1, up to March) or summer (UTC+2).
double berlin(long year, unsigned month, unsigned day, int hour, int minute = 0, int second = 0) {
    const bool summer = month > 3 && month < 10;
    return quorvel::testing::utc(year, month, day, hour - (summer ? 2 : 1), minute, second)
        .timeIntervalSinceReferenceDate();
}

const std::string kResetAtMidnight = "lengths:25/5/15;limits:4/12;switches:0000111;reset:0;reminder:0";
const std::string kResetAtFour = "lengths:25/5/15;limits:4/12;switches:0000111;reset:4;reminder:0";
const std::string kResetOff = "lengths:25/5/15;limits:4/12;switches:0000011;reset:0;reminder:0";

LifeReport lifeAt(double now, std::int64_t goal, double checked, const std::string& settings,
                  std::vector<StoredSession> added = {}) {
    LifeReport report;
    report.now = now;
    report.goal = goal;
    report.resetChecked = checked;
    report.settings = settings;
    report.added = std::move(added);
    report.startedMinutes = {25};
    return report;
}

}  // namespace

TEST_F(StatisticsByBerlinDays, SessionsCountOnTheirLocalDayAndTheFiguresEndToday) {
    const double today = berlin(2026, 5, 20, 0);
    ASSERT_EQ(StatisticsFigures::dayStart(berlin(2026, 5, 20, 23, 59, 59)), today);
    ASSERT_EQ(StatisticsFigures::dayStart(berlin(2026, 5, 19, 23, 59, 59)), berlin(2026, 5, 19, 0));
    const StatisticsFigures figures({{berlin(2026, 5, 20, 0), 25},
                                     {berlin(2026, 5, 20, 23, 59, 59), 50},
                                     {berlin(2026, 5, 19, 23, 59, 59), 25},
                                     {berlin(2026, 5, 6, 12), 25},   // 14 days ago: the 30 days only
                                     {berlin(2026, 5, 7, 12), 25}},  // 13 days ago: both
                                    today);
    EXPECT_EQ(figures.day(today).sessions, 2);
    EXPECT_EQ(figures.day(today).minutes, 75);
    EXPECT_EQ(figures.lastDays(14).sessions, 4);
    EXPECT_EQ(figures.lastDays(30).sessions, 5);
    // 125 minutes over 14 days: 8.9, rounded up.
    EXPECT_EQ(figures.averageText(14), "Average 0.3 Focus Sessions (  9 minutes )");

    const auto line = figures.chartValues(30);
    ASSERT_EQ(line.size(), 30u);
    EXPECT_EQ(line.back(), std::make_pair(today + 978307200, 2.0));
    EXPECT_EQ(line[28], std::make_pair(berlin(2026, 5, 19, 0) + 978307200, 1.0));
    EXPECT_EQ(line.front().first, berlin(2026, 4, 21, 0) + 978307200);
}

TEST_F(StatisticsByBerlinDays, DaysAcrossTheChangeToSummerTimeStartAtLocalMidnight) {
    const double today = berlin(2026, 3, 30, 0);  // the day after the change: 23 hours before it
    const auto bars = StatisticsFigures({{berlin(2026, 3, 29, 1, 30), 25}}, today).chartValues(14);
    EXPECT_EQ(bars[12].first, berlin(2026, 3, 29, 0) + 978307200);
    EXPECT_EQ(bars[12].second, 1.0);
    EXPECT_EQ(bars[13].first - bars[12].first, 23 * 3600);  // midnight to midnight, summer time from 2:00
    EXPECT_EQ(bars[13].second, 0.0);
}

TEST_F(StatisticsByBerlinDays, TheBoxesHoldAPeriodAgainstTheOneBeforeItSkippingTheDayBetween) {
    const double today = berlin(2026, 5, 20, 0);
    std::vector<StatisticsFigures::Session> sessions;
    for (int i = 0; i < 12; ++i) sessions.push_back({today + 3600, 25});
    EXPECT_EQ(StatisticsFigures(sessions, today).boxComparison(14), "12.0 Sessions");
    EXPECT_EQ(StatisticsFigures(sessions, today).boxTotal(14), "12");

    std::vector<StatisticsFigures::Session> fewer(sessions.begin(), sessions.begin() + 9);
    for (int i = 0; i < 12; ++i) fewer.push_back({berlin(2026, 5, 4, 12), 25});  // 16 days ago
    fewer.push_back({berlin(2026, 5, 6, 12), 25});                               // 14 days ago: neither
    EXPECT_EQ(StatisticsFigures(fewer, today).boxTotal(14), "9");
    EXPECT_EQ(StatisticsFigures(fewer, today).boxComparison(14), "-3 (-25.0%)");
    EXPECT_EQ(StatisticsFigures(fewer, today).boxTotal(30), "22");
}

TEST_F(DailyResetMoment, AResetIsDueOnlyWhenItsHourPassedSinceTheLastCheck) {
    EXPECT_EQ(DailyReset::hourOf(kResetAtFour), 4);
    EXPECT_EQ(DailyReset::hourOf(kResetOff), std::nullopt);
    using Due = DailyReset::Due;
    const double evening = berlin(2026, 5, 19, 22);
    EXPECT_EQ(DailyReset::due(0, evening, berlin(2026, 5, 20, 1), 2), Due::yes);
    EXPECT_EQ(DailyReset::due(4, evening, berlin(2026, 5, 20, 1), 2), Due::no);
    EXPECT_EQ(DailyReset::due(4, evening, berlin(2026, 5, 21, 1), 2), Due::yes);  // a day and more
    EXPECT_EQ(DailyReset::due(0, evening, berlin(2026, 5, 20, 0, 0, 1), 2), Due::maybe);
    EXPECT_EQ(DailyReset::due(0, berlin(2026, 5, 20, 0, 30), berlin(2026, 5, 20, 23), 2), Due::no);
    // The clock set back below the last check: no moment lies between.
    EXPECT_EQ(DailyReset::due(0, berlin(2026, 5, 20, 1), evening, 2), Due::no);
    // 2:00 does not come on the day summer time begins: at 3:30 summer time it is too near to tell.
    EXPECT_EQ(DailyReset::due(2, berlin(2026, 3, 28, 22), berlin(2026, 3, 29, 2, 30), 2), Due::maybe);
    EXPECT_EQ(DailyReset::due(2, berlin(2026, 3, 28, 22), berlin(2026, 3, 29, 3, 30), 2), Due::yes);
}

TEST_F(DailyResetMoment, TheNextMomentLiesWithinADayEvenWithTheResetOff) {
    const double evening = berlin(2026, 5, 19, 22);
    // The reset turned off keeps "never" as its hour, which no day has.
    EXPECT_EQ(DailyReset::nextMoment(666, evening), berlin(2026, 5, 20, 0));
    EXPECT_EQ(DailyReset::nextMoment(-1, evening), berlin(2026, 5, 20, 0));
    EXPECT_EQ(DailyReset::nextMoment(4, evening), berlin(2026, 5, 20, 4));
    EXPECT_EQ(DailyReset::nextMoment(23, evening), berlin(2026, 5, 19, 23));
    EXPECT_EQ(DailyReset::nextMoment(22, evening), berlin(2026, 5, 20, 22));
    // 2:00 does not come the night summer time begins: the step goes on to 4:00 summer time (2:00 UTC).
    EXPECT_EQ(DailyReset::nextMoment(2, berlin(2026, 3, 28, 22)),
              quorvel::testing::utc(2026, 3, 29, 2).timeIntervalSinceReferenceDate());
}

TEST_F(LedgerOfResetsAndSyncs, ALaunchResetsTheGoalExactlyWhenTheResetMomentPassed) {
    const double evening = berlin(2026, 5, 19, 22);
    WalkLedger kept;
    ASSERT_FALSE(kept.take(lifeAt(evening, 3, evening - 3600, kResetAtMidnight), false));
    const auto keptOver =
        kept.takeRelaunch(lifeAt(berlin(2026, 5, 20, 7), 3, evening - 3600, kResetAtMidnight));
    ASSERT_TRUE(keptOver);
    EXPECT_EQ(keptOver->invariant, "daily-reset");

    WalkLedger reset;
    ASSERT_FALSE(reset.take(lifeAt(evening, 3, evening - 3600, kResetAtMidnight), false));
    const double morning = berlin(2026, 5, 20, 7);
    ASSERT_FALSE(reset.takeRelaunch(lifeAt(morning, 0, morning, kResetAtMidnight)));
    // The next launch, the same morning: the moment is behind the last check.
    const auto again = reset.takeRelaunch(lifeAt(morning + 600, 0, morning + 600, kResetAtMidnight));
    ASSERT_FALSE(again);
    ASSERT_FALSE(reset.take(
        lifeAt(morning + 900, 1, morning + 600, kResetAtMidnight, {{"a", morning + 890, 25}}), false));
    const auto fell = reset.takeRelaunch(lifeAt(morning + 1200, 0, morning + 1200, kResetAtMidnight));
    ASSERT_TRUE(fell);
    EXPECT_EQ(fell->invariant, "daily-reset");

    WalkLedger off;
    ASSERT_FALSE(off.take(lifeAt(evening, 3, evening - 3600, kResetOff), false));
    ASSERT_FALSE(off.takeRelaunch(lifeAt(morning, 3, evening - 3600, kResetOff)));
}

TEST_F(LedgerOfResetsAndSyncs, ASyncBringsEachInstallationTheOthersSessionsOnce) {
    const double now = berlin(2026, 5, 20, 12);
    WalkLedger ledger;
    ASSERT_FALSE(ledger.take(lifeAt(now, 1, now, kResetOff, {{"own", now - 60, 25}}), false));

    LifeReport second;
    second.added = {{"far1", now - 7200, 25}, {"far2", now - 5400, 25}};
    second.held = {"far1", "far2"};
    ASSERT_FALSE(ledger.takeSecond(second));
    ASSERT_FALSE(ledger.take(lifeAt(now + 130, 1, now, kResetOff, {{"far1", now - 7200, 25}}), false));
    const auto dropped = ledger.afterSync();
    ASSERT_TRUE(dropped);
    EXPECT_EQ(dropped->invariant, "synced");

    WalkLedger both;
    ASSERT_FALSE(both.take(lifeAt(now, 1, now, kResetOff, {{"own", now - 60, 25}}), false));
    ASSERT_FALSE(both.takeSecond(second));
    ASSERT_FALSE(both.take(lifeAt(now + 130, 1, now, kResetOff, second.added), false));
    ASSERT_FALSE(both.afterSync());
    // At its next sync the second lacks this installation's session.
    LifeReport lacking;
    lacking.held = {"far1", "far2"};
    const auto unsent = both.takeSecond(lacking);
    ASSERT_TRUE(unsent);
    EXPECT_EQ(unsent->invariant, "synced");

    WalkLedger twice;
    auto doubled = lifeAt(now, 1, now, kResetOff, {{"own", now - 60, 25}});
    doubled.twice = {"own"};
    const auto counted = twice.take(doubled, false);
    ASSERT_TRUE(counted);
    EXPECT_EQ(counted->invariant, "counted-once");
    WalkLedger copied;
    ASSERT_FALSE(copied.takeSecond(second));
    const auto copy =
        copied.take(lifeAt(now, 0, now, kResetOff,
                           {{"far1", now - 7200, 25}, {"far2", now - 5400, 25}, {"far1b", now - 7200, 25}}),
                    false);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->invariant, "counted-once");
}

TEST_F(LedgerOfResetsAndSyncs, AStorePutBackLosesOnlySessionsInNeitherTheCopyNorTheSharedFolder) {
    const double now = berlin(2026, 5, 20, 12);
    const std::vector<StoredSession> made{
        {"copied", now - 4000, 25}, {"sent", now - 2000, 25}, {"unsent", now - 60, 25}};
    const auto putBack = [&](WalkLedger& ledger) {
        EXPECT_FALSE(ledger.take(lifeAt(now, 3, now, kResetOff, made), false));
        const auto account = ledger.storePutBack({"copied"}, {"copied", "sent"});
        EXPECT_EQ(account.retaken, 1u);
        EXPECT_EQ(account.unsent, 1u);
    };
    const auto launch = [&](std::vector<StoredSession> held) {
        auto report = lifeAt(now + 60, 3, now, kResetOff, std::move(held));
        report.full = true;
        return report;
    };

    WalkLedger lacking;
    putBack(lacking);
    const auto lost = lacking.takeRelaunch(launch({made[0]}));
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->invariant, "nothing-lost");
    EXPECT_NE(lost->message.find("sent"), std::string::npos) << lost->message;

    WalkLedger whole;
    putBack(whole);
    ASSERT_FALSE(whole.takeRelaunch(launch({made[0], made[1]})));
    EXPECT_EQ(whole.sessionCount(), 2u);
    // Taken in again as another record.
    const auto again =
        whole.take(lifeAt(now + 70, 3, now, kResetOff, {{"sent-again", now - 2000, 25}}), false);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->invariant, "counted-once");
}

// A real window on a notched phone on its side, with a screen's own view filling it.
class SoakWalkSafeArea : public ::testing::Test {
protected:
    void SetUp() override {
        platform::DeviceProfile::setCurrent(*platform::DeviceProfile::named("iPhoneXS"));
        platform::UIScreen::mainScreen().setInterfaceOrientation(
            platform::UIInterfaceOrientation::landscapeLeft);
        window_->setFrame(platform::UIScreen::mainScreen().bounds());
        window_->setRootViewController(screen_);
        window_->makeKeyAndVisible();
    }
    void TearDown() override {
        window_->setHidden(true);
        platform::UIScreen::mainScreen().reset();
    }
    std::shared_ptr<platform::UIView> add(const std::shared_ptr<platform::UIView>& parent,
                                          platform::CGRect frame) {
        auto view = std::make_shared<platform::UIView>(frame);
        parent->addSubview(view);
        return view;
    }

    std::shared_ptr<platform::VirtualClock> clock_ = platform::VirtualClock::install();
    std::shared_ptr<platform::UIWindow> window_ = std::make_shared<platform::UIWindow>();
    std::shared_ptr<platform::UIViewController> screen_ = std::make_shared<platform::UIViewController>();
};

TEST_F(SoakWalkSafeArea, ContentPlacedAcrossTheSensorHousingOrTextUnderTheIndicatorIsNamed) {
    using namespace platform;
    const CGRect screen = UIScreen::mainScreen().bounds();
    const CGRect safe = SafeAreaCheck::safeArea();
    ASSERT_LT(safe.width(), screen.width());
    const auto root = screen_->view();
    // A holder in the safe area with a label, an empty view at the edge that shows nothing, and a band
    // of colour across the screen.
    const auto holder = add(root, safe);
    const auto label = std::make_shared<UILabel>(CGRect(10, 10, 100, 20));
    label->setText("12/12");
    holder->addSubview(label);
    add(root, {0, 0, 20, 20});
    add(root, {0, safe.minY(), screen.width(), 40})->setBackgroundColor(UIColor::redColor());
    EXPECT_TRUE(SafeAreaCheck::outside().empty());

    // The holder pinned to the screen's sides: it shows nothing of its own, but places what shows (its
    // label now under the housing as well). Centred, the label would stay clear: the holder alone tells.
    holder->setFrame({0, safe.minY(), screen.width(), safe.height()});
    auto outside = SafeAreaCheck::outside();
    ASSERT_EQ(outside.size(), 2u);
    label->setFrame({safe.minX() + 10, 10, 100, 20});
    outside = SafeAreaCheck::outside();
    ASSERT_EQ(outside.size(), 1u);
    EXPECT_EQ(outside[0].view.substr(0, 6), "UIView");
    EXPECT_EQ(outside[0].shown.width(), screen.width());
    holder->setFrame(safe);
    label->setFrame({10, 10, 100, 20});

    // A text under the home indicator, and one hidden there.
    const auto low = std::make_shared<UILabel>(CGRect(safe.minX() + 10, safe.maxY() - 10, 100, 20));
    low->setText("Save");
    root->addSubview(low);
    const auto hidden = std::make_shared<UILabel>(CGRect(safe.minX() + 10, safe.maxY() - 10, 100, 20));
    hidden->setText("Close");
    hidden->setHidden(true);
    root->addSubview(hidden);
    outside = SafeAreaCheck::outside();
    ASSERT_EQ(outside.size(), 1u);
    EXPECT_EQ(outside[0].view.substr(0, 14), "UILabel \"Save\"");

    // In a list it is a row scrolled under the edge: only its sides count.
    low->removeFromSuperview();
    const auto list = std::make_shared<UIScrollView>(screen);
    root->addSubview(list);
    list->addSubview(low);
    EXPECT_TRUE(SafeAreaCheck::outside().empty());
}

// The hour picker opened on a notched phone held upright: its Close and Done lay under the home
// indicator. The walk, replayed through the real app, gets to the picker and finds them clear of it.
TEST(SoakWalkOfTheAppOnANotchedPhone, TheHourPickersButtonsStandAboveTheHomeIndicator) {
    const std::string command = std::string(QUORVEL_SOAK) +
                                " --seed 7026 --replay 's87768,s27432,t33499,t96953,g58525,t85371,t73302'"
                                " --shrink-seconds 0 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_TRUE(pipe);
    std::string output;
    char chunk[4096];
    while (std::fgets(chunk, sizeof chunk, pipe)) output += chunk;
    EXPECT_EQ(::pclose(pipe), 0) << output;
    EXPECT_NE(output.find("soak: on iPhoneXS"), std::string::npos) << output;
    EXPECT_NE(output.find("CarouselReminderTimeViewController"), std::string::npos) << output;
    EXPECT_EQ(output.find("safe-area"), std::string::npos) << output;
}
