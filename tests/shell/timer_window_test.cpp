// The real quorvel window on a virtual X server, used as a person would on a first start: paging
// through the guidance, starting the timer, opening the menu and turning the device, also while the
// guidance holds the screen as it is.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/uikit/drawing/ui_image.h"
#include "tests/shell/walking_desktop_test.h"
#include "tests/support/golden_image.h"

namespace {

using namespace std::chrono_literals;
using quorvel::testing::DesktopUser;
using Window = DesktopUser::Window;

class TimerWindow : public quorvel::testing::WalkingDesktopTest {
protected:
    // An iPhone 8 held upright, one desktop unit a point.
    Window start() { return DesktopTest::start({"--device", "iPhone8", "--orientation", "portrait"}); }
    void swipeLeft(Window window) {
        user->drag(window, 300, 333, 60, 333, 0.25);
        app->settle(1500ms);
    }
    void tap(Window window, int x, int y) {
        user->click(window, x, y);
        EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();
        app->settle(1s);
    }
    static bool reddish(const DesktopUser::Rgb& c) { return c.red > 200 && c.green < 110 && c.blue < 110; }

    // The number key that turns the device, and the turn heard.
    void turn(Window window, const std::string& key, const std::string& orientation) {
        user->pressKey(window, key);
        EXPECT_TRUE(app->waitForLine("device " + orientation)) << app->transcript();
    }
    bool upright(Window window) const {
        const auto size = user->size(window);
        return size.width == 375 && size.height == 667;
    }
    // Whether a view reads `text` in the listing of a new screenshot.
    bool shows(Window window, const std::string& text, const std::string& file) {
        return look(window, file).find(text).has_value();
    }
    // The landscape guidance's one panel swiped past, on the phone lying sideways.
    void swipeAwaySideways(Window window) {
        user->drag(window, 600, 187, 60, 187, 0.25);
        app->settle(1500ms);
    }
    // Started upright with only the upright guidance seen, then turned: the landscape guidance shows.
    Window startAndTurnToTheLandscapeGuidance(bool skipQuestionOpen = false) {
        markGuidanceSeen(false);
        const Window window = start();
        if (!window) return window;
        if (skipQuestionOpen) {
            tap(window, 345, 41);
            EXPECT_TRUE(shows(window, kSkipQuestion, "window_turn_skip_question.png"));
        }
        turn(window, "3", "landscape-left");
        app->settle(1500ms);
        EXPECT_FALSE(upright(window));
        EXPECT_TRUE(shows(window, "Landscape Mode", "window_turn_landscape_guidance.png"))
            << app->transcript();
        return window;
    }

    static constexpr const char* kSkipQuestion = "Skip current Focus Session?";
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
    app->settle(2s);
    screenshot(window, "window_running.png");
    tap(window, 50, 41);  // the session button opens the menu
    EXPECT_FALSE(reddish(user->pixel(window, 20, 400))) << "dimmed under the open menu";
    screenshot(window, "window_menu.png");
    user->pressKey(window, "3");
    EXPECT_TRUE(app->waitForLine("device landscape-left")) << app->transcript();
    app->settle(1500ms);
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
    app->settle(1500ms);    // the ring's refill is over
    const auto frames = app->count("frame ");
    const auto listened = std::chrono::steady_clock::now();
    app->listen(6s);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - listened).count();
    const auto drawn = app->count("frame ") - frames;
    EXPECT_GE(drawn, 1u) << "the clock moves on";
    EXPECT_LE(double(drawn), std::ceil(seconds) + 1) << app->transcript();
    screenshot(window, "window_running_steps.png");
}

// Turns while the guidance holds the screen are not lost: as the guidance ends, the screen takes the
// device's orientation of that moment, the last of a fast run of turns, and lays out as a launch does.
TEST_F(TimerWindow, TheLastTurnUnderTheLandscapeGuidanceIsTakenAsTheGuidanceEnds) {
    const Window window = startAndTurnToTheLandscapeGuidance();
    ASSERT_NE(window, 0u);
    // As fast as a hand goes: keys of one instant are taken by the window system for a held key.
    for (const auto& key : {"1", "3", "1"}) {
        user->pressKey(window, key);
        app->listen(50ms);
    }
    for (const auto& heard : {"portrait", "landscape-left", "portrait"}) {
        EXPECT_TRUE(app->waitForLine(std::string("device ") + heard)) << app->transcript();
    }
    app->settle(1500ms);
    EXPECT_FALSE(upright(window)) << "the guidance holds the screen as it is";
    swipeAwaySideways(window);
    ASSERT_TRUE(upright(window)) << app->transcript();
    const auto turned = screenshot(window, "window_turn_after_guidance.png");
    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();

    const Window again = start();
    ASSERT_NE(again, 0u);
    app->settle(1500ms);
    const auto launched = screenshot(again, "window_turn_launched_upright.png");
    ASSERT_TRUE(turned && launched);
    EXPECT_EQ(quorvel::testing::differingShare(*turned, *launched), 0)
        << "compare window_turn_after_guidance.png with window_turn_launched_upright.png";
}

TEST_F(TimerWindow, ATurnUnderTheLandscapeGuidanceIsTakenWithTheSkipQuestionOpenBeneath) {
    const Window window = startAndTurnToTheLandscapeGuidance(true);
    ASSERT_NE(window, 0u);
    turn(window, "1", "portrait");
    app->settle(1500ms);
    swipeAwaySideways(window);
    ASSERT_TRUE(upright(window)) << app->transcript();
    EXPECT_TRUE(shows(window, kSkipQuestion, "window_turn_skip_question_after.png")) << "still asked";
    tap(window, 115, 370);  // Cancel
    EXPECT_FALSE(shows(window, kSkipQuestion, "window_turn_skip_question_answered.png"));
    EXPECT_TRUE(shows(window, "25:00", "window_turn_skip_question_clock.png")) << "nothing skipped";
}
