#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/graphics/layer_renderer.h"
#include "tests/app/screens/statistics/charts_fixture.h"
#include "tests/support/golden_image.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::ChartsTest;
using ChartsScreenLook = ChartsTest;

constexpr CGFloat kScale = 2;

// A fortnight and a half of sessions, one day without any, and fewer in the fortnight before.
void storeFixedSessions() {
    const int perDay[] = {4, 6, 3, 0, 8, 5, 2, 7, 9, 4, 1, 6, 5, 3, 2, 6, 4, 0, 5, 3, 7, 2, 4, 6, 1, 3, 5, 2, 4, 10};
    for (int day = 0; day < 30; ++day) {
        for (int i = 0; i < perDay[day]; ++i) ChartsTest::store(ChartsTest::daysAgo(29 - day, 8 + i), 25);
    }
    for (int day = 30; day < 45; ++day) ChartsTest::store(ChartsTest::daysAgo(day), 50);
}

std::filesystem::path output(const char* name) {
    return std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / name;
}

}  // namespace

// The screen over a fixed month of sessions, with a tapped bar's panel showing, against the golden
// image beside this file (QUORVEL_UPDATE_GOLDENS=1 writes it anew). Look at both when it fails.
TEST_F(ChartsScreenLook, PortraitWithATappedDayMatchesTheGoldenImage) {
    storeFixedSessions();
    show();
    screen->showSelectedDay(screen->barChartDatas()[9], *screen->barChartView());
    clock->advance(0.3);  // the separator has slid in

    const auto rendered = output("charts_screen.png");
    ASSERT_TRUE(LayerRenderer::writeViewPNG(*window, rendered, kScale));
    const auto golden = std::filesystem::path(QUORVEL_GOLDEN_DIR) / "charts_screen.png";
    EXPECT_LT(testing::goldenDifference(rendered, golden), 0.002) << "compare " << rendered << " with " << golden;
}

}  // namespace quorvel
