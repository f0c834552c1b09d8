// The real quorvel window on a virtual X server, held against golden screenshots where the layout went
// wrong before: the timer screen after a visit to the settings, the statistics with a day's panel up,
// and the menu on a notched phone. The strips where the statistics show today's dates are left out.
// Look at both images when one fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/shell/desktop_test.h"
#include "tests/support/golden_image.h"

namespace {

using namespace std::chrono_literals;
using Window = quorvel::testing::DesktopUser::Window;

class ScreensWindow : public quorvel::testing::DesktopTest {
protected:
    Window start(const char* device) {
        markGuidanceSeen();
        const Window window = DesktopTest::start({"--device", device, "--orientation", "portrait"});
        app->settle(1s);
        return window;
    }
    void tap(Window window, int x, int y) {
        user->click(window, x, y);
        EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();
        app->settle(1s);
    }
    // Through the menu under the bar's left button, whose rows start at the bar's bottom edge.
    void choose(Window window, int row, int barBottom) {
        tap(window, 50, barBottom - 22);
        tap(window, 187, barBottom + 30 + 60 * row);
    }
    void expectGolden(Window window, const std::string& name, const std::vector<platform::CGRect>& ignored = {}) {
        ASSERT_TRUE(screenshot(window, name)) << app->transcript();
        const auto shot = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / name;
        const auto golden = std::filesystem::path(QUORVEL_GOLDEN_DIR) / name;
        EXPECT_LT(quorvel::testing::goldenDifference(shot, golden, ignored), 0.004)
            << "compare " << shot << " with " << golden;
    }
};

}  // namespace

TEST_F(ScreensWindow, TheTimerAfterTheSettingsAndTheStatisticsAfterATapOnAnIPhone8) {
    const Window window = start("iPhone8");
    ASSERT_NE(window, 0u);
    choose(window, 2, 64);  // Options
    choose(window, 0, 64);  // Focus
    expectGolden(window, "window_timer_after_settings.png");

    choose(window, 1, 64);  // Charts
    // The day's panel shows while a finger that moved onto the day rests there (after a tap it shows for
    // only half a second, too short for a screenshot on a busy machine).
    user->press(window, 207, 200);
    user->moveTo(window, 197, 200);
    user->moveTo(window, 187, 200);
    ASSERT_TRUE(app->waitForLine("frame ")) << app->transcript();
    app->settle(500ms);
    // The day's date over its panel and the dates under the bars.
    expectGolden(window, "window_statistics_after_tap.png", {{12, 105, 351, 35}, {0, 625, 375, 30}});
    user->release();
}

TEST_F(ScreensWindow, TheMenuOnANotchedPhone) {
    const Window window = start("iPhoneXS");
    ASSERT_NE(window, 0u);
    tap(window, 50, 66);
    expectGolden(window, "window_menu_notched.png");
}
