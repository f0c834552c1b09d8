// The real quorvel window on a virtual X server: the statistics screen's day panel as a person moves a
// finger along the line chart, one day after another, narrow dates and wide ones.
#include <gtest/gtest.h>

#include <string>

#include "tests/shell/desktop_test.h"

namespace {

using namespace std::chrono_literals;
using quorvel::testing::DesktopUser;
using Window = DesktopUser::Window;

class StatisticsWindow : public quorvel::testing::DesktopTest {
protected:
    // An iPhone 8 held upright, on the statistics screen, chosen through the menu under the bar.
    Window startOnStatistics() {
        markGuidanceSeen();
        const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
        app->listen(1s);
        for (const auto& [x, y] : {std::pair{50, 42}, std::pair{187, 154}}) {
            user->click(window, x, y);
            EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();
            app->listen(1s);
        }
        return window;
    }
    static bool white(const DesktopUser::Rgb& c) { return c.red > 200 && c.green > 200 && c.blue > 200; }
    // Whether any white text lies in the band of rows from `top` to `bottom`, left of `right`, in the panel.
    bool whiteBetween(Window window, int top, int bottom, int right) const {
        for (int y = top; y <= bottom; ++y) {
            for (int x = kPanelTextLeft; x <= right; ++x) {
                if (white(user->pixel(window, x, y))) return true;
            }
        }
        return false;
    }

    // Where the line chart's panel writes its heading, and the rows a second line would take, above the
    // hairline that rests under it.
    static constexpr int kPanelTextLeft = 20;
    static constexpr int kHeadingTop = 112, kHeadingBottom = 132;
    static constexpr int kSecondLineTop = 135, kSecondLineBottom = 146;
};

}  // namespace

TEST_F(StatisticsWindow, EveryDaysHeadingIsOneLineWhereverTheFingerCameFrom) {
    const Window window = startOnStatistics();
    ASSERT_NE(window, 0u);
    // From today back along the month: a narrow date ("Tue, Dec 1") comes before a wider one
    // ("Mon, Nov 30"), and a finger that rests keeps the panel up.
    user->press(window, 355, 200);
    for (int x = 345; x >= 25; x -= 10) {
        user->moveTo(window, x, 200);
        ASSERT_TRUE(app->waitForLine("frame ")) << app->transcript();
        app->listen(300ms);
        EXPECT_TRUE(whiteBetween(window, kHeadingTop, kHeadingBottom, 200)) << "no heading at x " << x;
        EXPECT_FALSE(whiteBetween(window, kSecondLineTop, kSecondLineBottom, 200))
            << "the heading runs onto a second line at x " << x;
        if (HasFailure()) break;
    }
    screenshot(window, "statistics_heading_after_drag.png");
    user->release();
    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
}
