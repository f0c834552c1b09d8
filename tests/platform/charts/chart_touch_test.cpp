#include <gtest/gtest.h>

#include <vector>

#include "platform/charts/line_chart_view.h"
#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
#include "tests/support/touch_driver.h"

namespace platform {
namespace {

// What the chart told, and whether the touch that led to it was a finished tap.
struct Recorder : ChartViewDelegate {
    struct Selection {
        double x;
        double y;
        bool byTap;
    };
    void chartValueSelected(ChartViewBase& chart, const ChartDataEntry& entry, const Highlight& highlight) override {
        EXPECT_EQ(highlight.x, entry.x());
        selections.push_back({entry.x(), entry.y(), chart.tapGestureRecognizer()->state() == UIGestureRecognizerState::ended});
    }
    void chartViewDidEndPanning(ChartViewBase&) override { ++panEnds; }

    std::vector<Selection> selections;
    int panEnds = 0;
};

// A 300 × 200 line chart of five values 100 points down a shown window, on a virtual clock.
class ChartTouches : public ::testing::Test {
protected:
    void SetUp() override {
        DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8"));
        window->makeKeyAndVisible();
        window->addSubview(chart);
        chart->setData(std::make_shared<LineChartData>(
            std::make_shared<LineChartDataSet>(std::vector<ChartDataEntry>{{0, 1}, {1, 3}, {2, 2}, {3, 5}, {4, 4}}, "")));
        chart->setDelegate(recorder);
        chart->prepareViewPort();
    }

    // Where the chart draws the value at x, in screen points.
    CGPoint screenPointOf(double x) const { return {chart->viewPortHandler().pixelForValues(x, 0).x, 150}; }
    std::vector<double> selectedXs() const {
        std::vector<double> xs;
        for (const auto& s : recorder->selections) xs.push_back(s.x);
        return xs;
    }

    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>(CGRect(0, 0, 375, 667));
    std::shared_ptr<LineChartView> chart = std::make_shared<LineChartView>(CGRect(0, 100, 300, 200));
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
    quorvel::testing::TouchDriver driver{clock};
};

}  // namespace

TEST_F(ChartTouches, ATapSelectsTheNearestValueAndSaysItWasATap) {
    driver.tap(screenPointOf(2.3));
    ASSERT_EQ(recorder->selections.size(), 1u);
    EXPECT_EQ(recorder->selections[0].x, 2);
    EXPECT_EQ(recorder->selections[0].y, 2);
    EXPECT_TRUE(recorder->selections[0].byTap);
    ASSERT_TRUE(chart->highlighted());
    EXPECT_EQ(chart->highlighted()->x, 2);
    EXPECT_EQ(recorder->panEnds, 0);

    chart->setData(chart->data());
    EXPECT_FALSE(chart->highlighted()) << "new data clears the highlight";
    chart->setHighlightPerTapEnabled(false);
    driver.tap(screenPointOf(1));
    EXPECT_EQ(recorder->selections.size(), 1u);
}

TEST_F(ChartTouches, ADragSelectsEachValueItPassesOnceAndReportsItsEnd) {
    driver.drag(screenPointOf(0), screenPointOf(4), 0.5);
    EXPECT_EQ(selectedXs(), (std::vector<double>{0, 1, 2, 3, 4}));
    for (const auto& selection : recorder->selections) EXPECT_FALSE(selection.byTap);
    EXPECT_EQ(recorder->panEnds, 1);

    chart->setDragEnabled(false);
    driver.drag(screenPointOf(4), screenPointOf(0), 0.5);
    EXPECT_EQ(recorder->selections.size(), 5u) << "no drag without dragging";
    EXPECT_EQ(recorder->panEnds, 1);
}

TEST_F(ChartTouches, TouchesWithoutDataSelectNothing) {
    chart->setData(nullptr);
    driver.tap({100, 150});
    EXPECT_TRUE(recorder->selections.empty());
    EXPECT_FALSE(chart->highlightForPoint({100, 50}));
}

}  // namespace platform
