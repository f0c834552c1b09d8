#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/charts/bar_chart_data.h"
#include "platform/charts/line_chart_data.h"
#include "platform/charts/view_port_handler.h"

namespace platform {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Fixed : ChartValueFormatter {
    std::string stringForValue(double value, const ChartDataEntry&, int index, const ViewPortHandler*) const override {
        return std::to_string(int(value)) + "@" + std::to_string(index);
    }
};

}  // namespace

TEST(ChartDataSet, RangesAndNearestEntryLeaveOutValuesThatAreNoNumbers) {
    LineChartDataSet set({{1, 5}, {kNaN, 100}, {3, -2}, {7, kNaN}, {4, 1}}, "");
    EXPECT_EQ(set.endIndex(), 5);
    EXPECT_EQ(set.xMin(), 1);
    EXPECT_EQ(set.xMax(), 4);
    EXPECT_EQ(set.yMin(), -2);
    EXPECT_EQ(set.yMax(), 5);
    EXPECT_EQ(set.entryIndexForXValue(2.9), 2);
    EXPECT_EQ(set.entryIndexForXValue(100), 4) << "x 7 has no y";
    EXPECT_EQ(set.entryIndexForXValue(2), 0) << "the first of two equally near";

    LineChartDataSet empty({}, "");
    EXPECT_EQ(empty.entryIndexForXValue(0), std::nullopt);
    EXPECT_EQ(empty.xMax(), 0);
    EXPECT_EQ(LineChartData(std::make_shared<LineChartDataSet>(empty)).yMax(), 0);
}

TEST(ChartDataSet, ColoursTakeTurnsAndValueTextsComeFromTheFormatter) {
    BarChartDataSet set({{0, 2}, {1, 3}, {2, 4.25}}, "");
    set.setColors({UIColor::redColor(), nullptr, UIColor::blueColor()});
    EXPECT_EQ(set.colorAt(3), UIColor::blueColor()) << "no colour is no colour";
    EXPECT_EQ(set.valueText(2, 0, nullptr), "4.2");
    set.setValueFormatter(std::make_shared<Fixed>());
    EXPECT_EQ(set.valueText(1, 7, nullptr), "3@7");
}

TEST(ViewPortHandler, ValuesMapOntoTheContentWithYUpwardsAndEmptyRangesDoNotDivideByZero) {
    ViewPortHandler port;
    port.setContentRect(CGRect(10, 20, 200, 100));
    port.setRanges(0, 10, 0, 5);
    EXPECT_EQ(port.pixelForValues(0, 0), (CGPoint{10, 120}));
    EXPECT_EQ(port.pixelForValues(10, 5), (CGPoint{210, 20}));
    EXPECT_DOUBLE_EQ(port.xValueForPixel(110), 5);

    port.setRanges(3, 3, 0, 0);
    EXPECT_EQ(port.pixelForValues(3, 0), (CGPoint{110, 70})) << "a single value sits in the middle";
    port.setRanges(kNaN, 1, 2, -2);
    EXPECT_TRUE(std::isfinite(port.pixelForValues(0, 0).x));
    EXPECT_TRUE(std::isfinite(port.pixelForValues(0, 0).y));
}

}  // namespace platform
