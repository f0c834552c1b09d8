#include <gtest/gtest.h>

#include <thread>

#include "app/core/app_notification_names.h"
#include "app/core/user_default_properties.h"
#include "platform/charts/bar_chart_data.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/uikit/device/interface_driver.h"
#include "tests/app/screens/statistics/charts_fixture.h"
#include "tests/support/touch_driver.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::ChartsTest;
using ChartsScreen = ChartsTest;
using Texts = std::vector<std::string>;

const ChartDataSet& firstSet(const ChartViewBase& chart) {
    return *chart.data()->dataSets().front();
}

void post(const NSNotificationName& name) {
    NSNotificationCenter::defaultCenter().postNotificationName(name);
}

}  // namespace

TEST_F(ChartsScreen, LoadsInTheThemeColourStoredThenWithBarsOfThatColourADayApart) {
    show();
    EXPECT_EQ(screen->focusThemeColor(), defaultFocusThemeColor()) << "none stored";

    const auto teal = UIColor::colorWithRed(0, 0.5, 0.5, 1);
    UserDefaultProperties::save(UserDefaultProperties::focusThemeColor(teal));
    show();
    EXPECT_TRUE(screen->focusThemeColor()->isEqual(teal));
    for (const auto& painted : {screen->view()->backgroundColor(), screen->barResultView()->backgroundColor(),
                                firstSet(*screen->barChartView()).colorAt(0)})
        EXPECT_EQ(painted, screen->focusThemeColor());
    EXPECT_EQ(screen->lineChartView()->delegate(), screen);
    EXPECT_EQ(screen->barChartView()->delegate(), screen);
    // 14 days without a daylight-saving change: 13 days of seconds over 14 bars, less 1/15.
    auto bars = std::dynamic_pointer_cast<BarChartData>(screen->barChartView()->data());
    EXPECT_NEAR(bars->barWidth(), 80228.50, 0.01);
    EXPECT_EQ(ChartsViewController::barWidth(0, 0, 0), 0) << "no bars divide nothing";
}

TEST_F(ChartsScreen, AStoredSessionChangesTodaysBarAndPointBothAveragesAndBothBoxesAtOnce) {
    store(daysAgo(3));
    show();
    EXPECT_EQ(screen->barChartDatas().back().y(), 0);
    store(daysAgo(0));
    post(NotificationName::changeChartsData());
    EXPECT_EQ(screen->barChartDatas().back().y(), 1);
    EXPECT_EQ(screen->lineChartDatas().back().y(), 1);
    EXPECT_EQ(firstSet(*screen->barChartView()).entries().back().y(), 1) << "the chart has the new data";
    EXPECT_EQ(screen->avg7DaysLabel()->text(), "Average 0.1 Focus Sessions (  4 minutes )");
    EXPECT_EQ(screen->avg30DaysLabel()->text(), "Average 0.1 Focus Sessions (  2 minutes )");
    EXPECT_EQ(screen->stat14DaysView()->pomodorosButton()->titleForState(UIControlStateNormal), "2");
    EXPECT_EQ(screen->stat30DaysView()->pomodorosButton()->titleForState(UIControlStateNormal), "2");
}

TEST_F(ChartsScreen, ASyncMergePostedOnAnotherThreadRefreshesTheScreenOnTheMainThread) {
    show();
    store(daysAgo(0));
    std::thread merge([] { post(NotificationName::didChangeCloudContent()); });
    merge.join();
    EXPECT_EQ(screen->barChartDatas().back().y(), 0) << "not on the posting thread";
    clock->runUntilIdle();
    EXPECT_EQ(screen->barChartDatas().back().y(), 1);
    EXPECT_EQ(screen->stat14DaysView()->pomodorosButton()->titleForState(UIControlStateNormal), "1");

    store(daysAgo(0));
    post(NotificationName::didChangeCloudContent());
    EXPECT_EQ(screen->barChartDatas().back().y(), 2) << "posted on the main thread, at once";
}

TEST_F(ChartsScreen, APhoneInLandscapeLaysTheChartsSideBySideWithBothBoxes) {
    show();
    EXPECT_EQ(screen->stackView()->axis(), UILayoutConstraintAxis::vertical);
    EXPECT_TRUE(screen->stat14DaysView()->isHidden());
    EXPECT_TRUE(screen->stat30DaysView()->isHidden());
    EXPECT_FALSE(screen->overlayView()->isHidden());

    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft));
    clock->advance(InterfaceDriver::kTransitionDuration + 0.1);
    EXPECT_EQ(screen->stackView()->axis(), UILayoutConstraintAxis::horizontal);
    EXPECT_FALSE(screen->stat14DaysView()->isHidden());
    EXPECT_FALSE(screen->stat30DaysView()->isHidden());
    EXPECT_TRUE(screen->overlayView()->isHidden());
    EXPECT_GT(screen->stat14DaysView()->frame().height(), 0) << "the boxes take room";

    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::portrait));
    clock->advance(InterfaceDriver::kTransitionDuration + 0.1);
    EXPECT_TRUE(screen->stat30DaysView()->isHidden());
    UIDevice::currentDevice().setOrientation(UIDeviceOrientation::faceUp);
    screen->layoutForOrientation();
    EXPECT_EQ(chartEvents(), (Texts{"Orientation=portrait", "Orientation=landscape", "Orientation=portrait",
                                    "Orientation=portrait"}));
}

TEST_F(ChartsScreen, ATabletInLandscapeKeepsTheChartsStackedButLogsLandscape) {
    useDevice("iPadPro12Inch");
    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeRight));
    show();
    EXPECT_EQ(screen->stackView()->axis(), UILayoutConstraintAxis::vertical);
    EXPECT_TRUE(screen->stat14DaysView()->isHidden());
    EXPECT_FALSE(screen->overlayView()->isHidden());
    EXPECT_EQ(chartEvents(), (Texts{"Orientation=landscape"}));
}

TEST_F(ChartsScreen, ThePanelsFontsGrowWithTheViewsWidthInPixelsFromTheirLeastSizes) {
    show();
    for (const auto& panel : {screen->lineResultView(), screen->barResultView()}) {
        EXPECT_EQ(panel->sessionLabel()->font()->pointSize(), 80);
        EXPECT_EQ(panel->sessionTextLabel()->font()->pointSize(), 26);
        EXPECT_EQ(panel->avgTimeLabel()->font()->pointSize(), 10);
    }
    useDevice("iPadPro12Inch");
    show();
    ASSERT_EQ(screen->view()->bounds().width(), 1024);
    const double f = 1024 / 2.0 / 375.0;
    for (const auto& panel : {screen->lineResultView(), screen->barResultView()}) {
        EXPECT_DOUBLE_EQ(panel->sessionLabel()->font()->pointSize(), 130 * f);
        EXPECT_DOUBLE_EQ(panel->sessionTextLabel()->font()->pointSize(), 46 * f);
        EXPECT_DOUBLE_EQ(panel->avgTimeLabel()->font()->pointSize(), 16 * f);
        EXPECT_EQ(panel->sessionLabel()->font()->fontName(), panel->avgTimeLabel()->font()->fontName())
            << "the faces stay";
    }
}

// Touches, at the points where the charts draw their values.
class ChartsScreenTouches : public ChartsTest {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) store(daysAgo(2), 30);
        store(daysAgo(5));
        show();
    }
    CGPoint onBar(long index) {
        auto chart = screen->barChartView();
        chart->prepareViewPort();
        const CGRect bar = chart->barRect(screen->barChartDatas()[std::size_t(index)]);
        return chart->convertPointToView({bar.midX(), chart->bounds().height() / 2}, nullptr);
    }
    CGPoint onLine(long index) {
        auto chart = screen->lineChartView();
        chart->prepareViewPort();
        const auto& entry = screen->lineChartDatas()[std::size_t(index)];
        const CGPoint p = chart->viewPortHandler().pixelForValues(entry.x(), entry.y());
        return chart->convertPointToView({p.x, chart->bounds().height() / 2}, nullptr);
    }
    testing::TouchDriver driver{clock};
};

TEST_F(ChartsScreenTouches, TappingABarShowsItsDayForHalfASecond) {
    driver.tap(onBar(11));  // two days ago
    auto panel = screen->barResultView();
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(panel->selectedDate(), local(2026, 2, 28));
    EXPECT_EQ(panel->sessionLabel()->text(), "3");
    EXPECT_EQ(panel->avgTimeLabel()->text(), "1 hour 30 minutes");
    EXPECT_TRUE(screen->lineResultView()->isHidden());
    clock->advance(0.4);
    EXPECT_FALSE(panel->isHidden());
    clock->advance(0.15);
    EXPECT_TRUE(panel->isHidden());

    driver.tap(onBar(13));  // today, without sessions
    EXPECT_EQ(panel->sessionLabel()->text(), "0");
    EXPECT_EQ(panel->avgTimeLabel()->text(), " 0 minute");
    EXPECT_EQ(chartEvents(), (Texts{"Orientation=portrait", "Chart_Type=Bar_Graph Pomodoros=3",
                                    "Chart_Type=Bar_Graph Pomodoros=0"}));

    // The queued hiding keeps the screen until it has run.
    std::weak_ptr<ChartsViewController> weak = screen;
    window->setRootViewController(nullptr);
    navigation.reset();
    screen.reset();
    EXPECT_FALSE(weak.expired());
    clock->advance(0.6);
    EXPECT_TRUE(weak.expired());
    post(NotificationName::changeChartsData());
}

// Each day's heading is one line as wide as its own text, whichever day was touched before it.
TEST_F(ChartsScreenTouches, TheDaysHeadingIsOneWholeLineAfterANarrowerDay) {
    const auto heading = screen->barResultView()->dateLabel();
    CGFloat lineHeight = 0;
    for (const long bar : {13L, 8L, 13L}) {  // "Mon, Mar 2", the wider "Wed, Feb 25", and back
        driver.tap(onBar(bar));
        window->layoutIfNeeded();
        const CGSize text = heading->sizeThatFits({0, 0});
        if (lineHeight == 0) lineHeight = text.height;
        EXPECT_EQ(heading->frame().size.width, text.width) << heading->text();
        EXPECT_EQ(heading->frame().size.height, lineHeight) << heading->text();
        clock->advance(0.6);
    }
}

TEST_F(ChartsScreenTouches, DraggingAlongTheLineKeepsItsPanelUpAndUpdatingUntilTheDragEnds) {
    // From just before five days ago, so that the drag has begun when it reaches that day; the finger
    // rests a second on the way.
    const CGPoint start = onLine(24), end = onLine(29);
    auto there = testing::TouchDriver::dragScript({start.x - 8, start.y}, onLine(26), 0.3);
    there.pop_back();
    driver.play(there);
    auto panel = screen->lineResultView();
    EXPECT_EQ(panel->selectedDate(), local(2026, 2, 27));
    clock->advance(1);
    EXPECT_FALSE(panel->isHidden()) << "no hiding while dragging";
    auto onwards = testing::TouchDriver::dragScript(onLine(26), end, 0.3);
    onwards.erase(onwards.begin());  // the finger is down already
    driver.play(onwards);
    EXPECT_EQ(panel->selectedDate(), local(2026, 3, 2));
    EXPECT_TRUE(panel->isHidden()) << "the drag ended";
    EXPECT_EQ(chartEvents(), (Texts{"Orientation=portrait", "Chart_Type=Line_Graph Pomodoros=1",
                                    "Chart_Type=Line_Graph Pomodoros=0", "Chart_Type=Line_Graph Pomodoros=0",
                                    "Chart_Type=Line_Graph Pomodoros=3", "Chart_Type=Line_Graph Pomodoros=0",
                                    "Chart_Type=Line_Graph Pomodoros=0"}))
        << "one for each of the six days passed";
}

}  // namespace quorvel
