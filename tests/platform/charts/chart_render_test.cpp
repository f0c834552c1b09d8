#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/charts/bar_chart_view.h"
#include "platform/charts/line_chart_view.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/drawing/ui_image.h"

namespace platform {
namespace {

constexpr CGFloat kScale = 2;

struct DayLabels : ChartAxisValueFormatter {
    std::string stringForValue(double value, const AxisBase*) const override { return "Day " + std::to_string(int(value)); }
};

bool near(UIImage::Pixel p, int r, int g, int b, int tolerance = 12) {
    return std::abs(p.r - r) < tolerance && std::abs(p.g - g) < tolerance && std::abs(p.b - b) < tolerance;
}

// How many nearly white pixels a rectangle (in points) holds.
int whitePixels(const UIImage& image, const CGRect& rect) {
    int count = 0;
    for (int y = int(rect.minY() * kScale); y < int(rect.maxY() * kScale); ++y) {
        for (int x = int(rect.minX() * kScale); x < int(rect.maxX() * kScale); ++x) count += near(image.pixelAt(x, y), 255, 255, 255, 60);
    }
    return count;
}

// A chart at the root's origin over a dark ground, with white values and day labels.
template <typename Chart, typename Set>
std::shared_ptr<Chart> chartOn(UIView& root, const std::shared_ptr<Set>& set) {
    auto chart = std::make_shared<Chart>(CGRect(0, 0, 300, 200));
    root.addSubview(chart);
    chart->xAxis().setLabelPosition(XAxis::LabelPosition::bottom);
    chart->xAxis().setLabelTextColor(UIColor::whiteColor());
    chart->xAxis().setValueFormatter(std::make_shared<DayLabels>());
    chart->xAxis().setDrawGridLinesEnabled(false);
    chart->xAxis().setAvoidFirstLastClippingEnabled(true);
    chart->leftAxis().setLabelTextColor(UIColor::clearColor());
    chart->rightAxis().setEnabled(false);
    set->setColor(UIColor::redColor());
    set->setValueTextColor(UIColor::whiteColor());
    set->setValueFont(UIFont::systemFontOfSize(12));
    set->setHighlightColor(UIColor::whiteColor());
    return chart;
}

std::shared_ptr<UIImage> render(UIView& root, const char* name) {
    EXPECT_TRUE(LayerRenderer::writeViewPNG(root, std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / name, kScale));
    return LayerRenderer::renderView(root, kScale);
}

}  // namespace

// Bars, a line, their values and day labels, and the highlights, written as PNGs for a person to look at.
TEST(ChartRendering, MarksValuesLabelsAndHighlights) {
    auto root = std::make_shared<UIView>(CGRect(0, 0, 300, 400));
    root->setBackgroundColor(UIColor::colorWithRed(0.2, 0.25, 0.3, 1));
    auto barSet = std::make_shared<BarChartDataSet>(std::vector<BarChartDataEntry>{{0, 1}, {1, 3}, {2, 0}}, "");
    auto bars = chartOn<BarChartView>(*root, barSet);
    auto barData = std::make_shared<BarChartData>(barSet);
    barData->setBarWidth(0.8);
    bars->setFitBars(true);
    bars->setData(barData);
    auto lineSet = std::make_shared<LineChartDataSet>(std::vector<ChartDataEntry>{{0, 0}, {1, 2}, {2, 1}, {3, 4}}, "");
    auto line = chartOn<LineChartView>(*root, lineSet);
    line->setFrame(CGRect(0, 200, 300, 200));
    lineSet->setColor(UIColor::whiteColor());
    lineSet->setLineWidth(2);
    line->setData(std::make_shared<LineChartData>(lineSet));

    auto image = render(*root, "charts.png");
    const CGRect tall = bars->barRect(barSet->entries()[1]), low = bars->barRect(barSet->entries()[0]);
    EXPECT_NEAR(tall.height(), 3 * low.height(), 0.01);
    EXPECT_TRUE(near(image->pixelAt(int(tall.midX() * kScale), int(tall.midY() * kScale)), 255, 0, 0));
    EXPECT_TRUE(near(image->pixelAt(int((low.maxX() + tall.minX())), int((tall.maxY() - 2) * kScale)), 51, 64, 77))
        << "a gap between bars";
    EXPECT_GT(whitePixels(*image, CGRect(tall.minX(), tall.minY() - 20, tall.width(), 18)), 10) << "the value 3";
    EXPECT_GT(whitePixels(*image, CGRect(0, tall.maxY() + 2, 300, 20)), 30) << "the day labels";
    const CGPoint two = bars->viewPortHandler().pixelForValues(0, 2);
    EXPECT_EQ(whitePixels(*image, CGRect(two.x, two.y - 7, 12, 14)), 0) << "clear y labels draw nothing";
    const auto& port = line->viewPortHandler();
    const CGPoint between = port.pixelForValues(2.5, 2.5);
    EXPECT_GT(whitePixels(*image, CGRect(between.x - 1, 200 + between.y - 1, 2, 2)), 0) << "the segment";
    const CGPoint first = port.pixelForValues(0, 0);
    EXPECT_GT(whitePixels(*image, CGRect(0, 200 + first.y + 2, 50, 16)), 10) << "the first label stays inside";

    const CGPoint third = port.pixelForValues(2, 1);
    const CGRect column(third.x - 1, 200 + port.contentRect().minY(), 2, 20);
    EXPECT_EQ(whitePixels(*image, column), 0);
    bars->highlightValue(bars->highlightForPoint({tall.midX() - 10, 100}));
    line->highlightValue(line->highlightForPoint(third));
    image = render(*root, "charts_highlighted.png");
    const auto lit = image->pixelAt(int(tall.midX() * kScale), int(tall.midY() * kScale));
    EXPECT_TRUE(near(lit, 255, 120, 120, 20)) << "white over the bar";
    EXPECT_GT(whitePixels(*image, column), 20) << "a line through the point";
}

}  // namespace platform
