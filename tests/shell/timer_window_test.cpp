// The real quorvel window on a virtual X server, used as a person would on a first start: paging
// through the guidance, starting the timer, opening the menu and turning the device.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>

#include "platform/uikit/drawing/ui_image.h"
#include "tests/shell/desktop_test.h"

namespace {

using namespace std::chrono_literals;
using quorvel::testing::DesktopUser;
using Window = DesktopUser::Window;

class TimerWindow : public quorvel::testing::DesktopTest {
protected:
    // An iPhone 8 held upright, one desktop unit a point.
    Window start() { return DesktopTest::start({"--device", "iPhone8", "--orientation", "portrait"}); }
    void swipeLeft(Window window) {
        user->drag(window, 300, 333, 60, 333, 0.25);
        app->listen(1500ms);
    }
    void tap(Window window, int x, int y) {
        user->click(window, x, y);
        EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();
        app->listen(1s);
    }
    static bool reddish(const DesktopUser::Rgb& c) { return c.red > 200 && c.green < 110 && c.blue < 110; }
};

}  // namespace

TEST_F(TimerWindow, APersonPagesThroughTheGuidanceStartsTheTimerOpensTheMenuAndTurnsTheDevice) {
    const Window window = start();
    ASSERT_NE(window, 0u);
    ASSERT_EQ(user->size(window).width, 375);
    EXPECT_FALSE(reddish(user->pixel(window, 20, 300))) << "dimmed under the guidance";
    screenshot(window, "window_guidance.png");
    swipeLeft(window);
    swipeLeft(window);
    EXPECT_TRUE(reddish(user->pixel(window, 20, 300))) << "the focus colour once the guidance is done";

    tap(window, 187, 405);  // play
    app->listen(2s);
    screenshot(window, "window_running.png");
    tap(window, 50, 41);  // the session button opens the menu
    EXPECT_FALSE(reddish(user->pixel(window, 20, 400))) << "dimmed under the open menu";
    screenshot(window, "window_menu.png");
    user->pressKey(window, "3");
    EXPECT_TRUE(app->waitForLine("device landscape-left")) << app->transcript();
    app->listen(1500ms);
    EXPECT_GT(user->size(window).width, user->size(window).height) << "the guidance gave rotation back";
    screenshot(window, "window_landscape.png");
    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
}

// While a session runs, the clock, the ring and the minutes step together once a second: the window
// draws no more frames than the clock shows seconds.
TEST_F(TimerWindow, ARunningSessionDrawsAFrameOnlyWhenTheClockSteps) {
    markGuidanceSeen();
    const Window window = start();
    ASSERT_NE(window, 0u);
    tap(window, 187, 405);  // play
    app->listen(1500ms);    // the ring's refill is over
    const auto frames = app->count("frame ");
    const auto listened = std::chrono::steady_clock::now();
    app->listen(6s);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - listened).count();
    const auto drawn = app->count("frame ") - frames;
    EXPECT_GE(drawn, 1u) << "the clock moves on";
    EXPECT_LE(double(drawn), std::ceil(seconds) + 1) << app->transcript();
    screenshot(window, "window_running_steps.png");
}
