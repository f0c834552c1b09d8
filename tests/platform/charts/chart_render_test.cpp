#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/charts/bar_chart_view.h"
#include "platform/charts/line_chart_view.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/ui_image.h"

namespace platform {
namespace {

using Pixel = UIImage::Pixel;
constexpr CGFloat kScale = 2;

struct DayLabels : ChartAxisValueFormatter {
    std::string stringForValue(double value, const AxisBase*) const override {
        return "Day " + std::to_string(int(value));
    }
};

Pixel at(const UIImage& image, CGPoint p) {
    return image.pixelAt(int(p.x * kScale), int(p.y * kScale));
}

bool near(Pixel p, int r, int g, int b, int tolerance = 12) {
    return std::abs(p.r - r) < tolerance && std::abs(p.g - g) < tolerance && std::abs(p.b - b) < tolerance;
}

// How many nearly white pixels a rectangle (in points) holds.
int whitePixels(const UIImage& image, const CGRect& rect) {
    int count = 0;
    for (int y = int(rect.minY() * kScale); y < int(rect.maxY() * kScale); ++y) {
        for (int x = int(rect.minX() * kScale); x < int(rect.maxX() * kScale); ++x) {
            if (near(image.pixelAt(x, y), 255, 255, 255, 60)) ++count;
        }
    }
    return count;
}

// A dark ground with a chart of three days over it.
struct Scene {
    explicit Scene(std::shared_ptr<ChartViewBase> chart) : chart(std::move(chart)) {
        root->setBackgroundColor(UIColor::colorWithRed(0.2, 0.25, 0.3, 1));
        root->addSubview(this->chart);
        auto& xAxis = this->chart->xAxis();
        xAxis.setLabelPosition(XAxis::LabelPosition::bottom);
        xAxis.setLabelTextColor(UIColor::whiteColor());
        xAxis.setValueFormatter(std::make_shared<DayLabels>());
        xAxis.setDrawGridLinesEnabled(false);
        this->chart->leftAxis().setLabelTextColor(UIColor::clearColor());
        this->chart->rightAxis().setEnabled(false);
    }
    std::shared_ptr<UIImage> render(const char* name) {
        const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / name;
        EXPECT_TRUE(LayerRenderer::writeViewPNG(*root, out, kScale));
        return LayerRenderer::renderView(*root, kScale);
    }
    std::shared_ptr<UIView> root = std::make_shared<UIView>(CGRect(0, 0, 320, 220));
    std::shared_ptr<ChartViewBase> chart;
};

template <typename Set>
void styleValues(Set& set) {
    set.setValueTextColor(UIColor::whiteColor());
    set.setValueFont(UIFont::systemFontOfSize(12));
    set.setHighlightColor(UIColor::whiteColor());
}

}  // namespace

// Bars, their values and day labels, and a highlighted bar, written as a PNG for a person to look at.
TEST(ChartRendering, BarsWithValuesLabelsAndAHighlight) {
    auto bars = std::make_shared<BarChartView>(CGRect(10, 10, 300, 200));
    Scene scene(bars);
    auto set = std::make_shared<BarChartDataSet>(std::vector<BarChartDataEntry>{{0, 1}, {1, 3}, {2, 0}}, "");
    set->setColor(UIColor::redColor());
    styleValues(*set);
    auto data = std::make_shared<BarChartData>(set);
    data->setBarWidth(0.8);
    bars->setFitBars(true);
    bars->setData(data);

    auto image = scene.render("chart_bars.png");
    const CGRect tall = bars->barRect(set->entries()[1]).offsetBy(10, 10);
    const CGRect low = bars->barRect(set->entries()[0]).offsetBy(10, 10);
    EXPECT_NEAR(tall.width(), low.width(), 0.01);
    EXPECT_NEAR(tall.height(), 3 * low.height(), 0.01);
    EXPECT_TRUE(near(at(*image, {tall.midX(), tall.midY()}), 255, 0, 0));
    EXPECT_TRUE(near(at(*image, {(low.maxX() + tall.minX()) / 2, tall.maxY() - 2}), 51, 64, 77)) << "a gap between bars";
    EXPECT_GT(whitePixels(*image, CGRect(tall.minX(), tall.minY() - 20, tall.width(), 18)), 10) << "the value 3";
    EXPECT_GT(whitePixels(*image, CGRect(10, tall.maxY() + 2, 300, 20)), 30) << "the day labels";
    const CGPoint two = bars->viewPortHandler().pixelForValues(0, 2);
    EXPECT_EQ(whitePixels(*image, CGRect(two.x + 10, two.y + 10 - 7, 12, 14)), 0) << "clear y labels draw nothing";

    bars->highlightValue(bars->highlightForPoint({tall.midX() - 10, 100}));
    image = scene.render("chart_bars_highlighted.png");
    const Pixel lit = at(*image, {tall.midX(), tall.midY()});
    EXPECT_TRUE(near(lit, 255, 120, 120, 20)) << int(lit.r) << "," << int(lit.g) << "," << int(lit.b);
}

// A line through its points with value texts; the highlight adds a line through the chosen point.
TEST(ChartRendering, ALineThroughItsPointsAndAHighlightedPoint) {
    auto line = std::make_shared<LineChartView>(CGRect(10, 10, 300, 200));
    Scene scene(line);
    auto set = std::make_shared<LineChartDataSet>(std::vector<ChartDataEntry>{{0, 0}, {1, 2}, {2, 1}, {3, 4}}, "");
    set->setColor(UIColor::whiteColor());
    set->setCircleColor(UIColor::whiteColor());
    set->setLineWidth(2);
    set->setCircleRadius(3);
    styleValues(*set);
    line->xAxis().setAvoidFirstLastClippingEnabled(true);
    line->setData(std::make_shared<LineChartData>(set));

    auto image = scene.render("chart_line.png");
    const auto& port = line->viewPortHandler();
    for (const auto& entry : set->entries()) {
        const CGPoint p = port.pixelForValues(entry.x(), entry.y());
        EXPECT_TRUE(near(at(*image, {p.x + 10, p.y + 10}), 255, 255, 255, 40)) << entry.x();
    }
    const CGPoint middle = port.pixelForValues(2.5, 2.5);
    EXPECT_TRUE(near(at(*image, {middle.x + 10, middle.y + 10}), 255, 255, 255, 60)) << "the segment between";
    const CGPoint first = port.pixelForValues(0, 0);
    EXPECT_GT(whitePixels(*image, CGRect(10, first.y + 14, 50, 18)), 10) << "the first label stays inside";

    const CGPoint third = port.pixelForValues(2, 1);
    const CGRect column(third.x + 10 - 1, port.contentRect().minY() + 10, 2, 20);
    EXPECT_EQ(whitePixels(*image, column), 0);
    line->highlightValue(line->highlightForPoint(third));
    image = scene.render("chart_line_highlighted.png");
    EXPECT_GT(whitePixels(*image, column), 20) << "the highlight line runs through the point";
}

}  // namespace platform
