#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "app/core/app_notification_names.h"
#include "app/core/timer_view_model.h"
#include "platform/graphics/layer_back_buffer.h"
#include "platform/quartzcore/ca_media_time.h"
#include "platform/uikit/device/interface_driver.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "platform/uikit/navigation/ui_navigation_item.h"
#include "tests/app/screens/navigation/launched_app.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::LaunchedApp;

// A person using the timer through its screen: taps on the play button, the clock and the bar's skip
// button, and answers to its question.
class TimerFlow : public LaunchedApp {
protected:
    std::string clockText() { return *timerScreen()->timerButton()->titleForState(UIControlStateNormal); }
    float ring() { return timerScreen()->progressView()->progressViewDisplay()->value(); }
    bool running() { return TimerViewModel::shared()->pomodoroTimer() != nullptr; }
    void tapPlay() { tap(*timerScreen()->progressView()->progressButton()); }
    std::string skipTitle() {
        return container->skipButton()->titleForState(UIControlStateNormal).value_or("");
    }
};

TEST_F(TimerFlow, PlayTicksTheClockLabelsAndRingOnThenPauseHoldsThem) {
    launch();
    EXPECT_EQ(clockText(), "25:00");
    tapPlay();
    EXPECT_TRUE(running());
    EXPECT_EQ(skipTitle(), "Stop");
    clock->advance(60);
    EXPECT_EQ(clockText(), "24:00");
    EXPECT_NEAR(ring(), 24.0 / 25, 0.002);
    const auto table = timerScreen()->statisticsHolder();
    EXPECT_EQ(table->roundLabel()->attributedText()->string(), "0/4");
    EXPECT_EQ(timerScreen()->elapsedTimeView()->goalDisplayLabel()->text(), "Goal 0/12");

    tapPlay();
    EXPECT_FALSE(running());
    EXPECT_EQ(skipTitle(), "Skip");
    clock->advance(30);
    EXPECT_EQ(clockText(), "24:00");
    // The values read backwards, as the analytics have always had them.
    const auto events = analyticsEvents();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Timer_Event Press_Button=Stop"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "Timer_Event Press_Button=Start"), 1);
}

// A tick moves the ring's end and the minutes by a small fraction of a device pixel: they show their
// steps when the clock's text changes, so a running second repaints the window once; a pause shows
// where the session stopped at once.
TEST_F(TimerFlow, ARunningSessionRepaintsOnlyWhenTheClockSteps) {
    launch();
    tapPlay();
    clock->advance(10);
    const CGSize size = window->bounds().size;
    LayerBackBuffer picture(int(size.width * 2), int(size.height * 2), CGAffineTransform::makeScale(2, 2),
                            [](cairo_t*) {});
    const std::vector<LayerBackBuffer::Placement> placed{{window->layer(), {0, 0}}};
    const auto draw = [&] {
        window->layoutIfNeeded();
        return !picture.draw(placed, CACurrentMediaTime()).isEmpty();
    };
    const auto minutes = [&] { return timerScreen()->carouselView()->carousel()->scrollOffset(); };
    draw();
    int repaints = 0;
    for (int tick = 0; tick < 100; ++tick) {
        const std::string shownClock = clockText();
        const float shownRing = ring();
        const double shownMinutes = minutes();
        clock->advance(0.1);
        const bool clockStepped = clockText() != shownClock;
        const bool repainted = draw();
        repaints += repainted;
        EXPECT_EQ(repainted, clockStepped) << "tick " << tick;
        if (!clockStepped) {
            EXPECT_EQ(ring(), shownRing) << "tick " << tick;
            EXPECT_EQ(minutes(), shownMinutes) << "tick " << tick;
        }
    }
    EXPECT_EQ(repaints, 10) << "of 100 ticks, one a second";
    // The ring shows the session as it was when the clock last stepped, less than a second ago.
    const double remaining = TimerViewModel::shared()->elapsedTime();
    EXPECT_EQ(remaining, 1480000);
    EXPECT_GE(ring(), remaining / 1500000 - 1e-6);
    EXPECT_LT(ring(), (remaining + 1000) / 1500000);

    clock->advance(0.35);  // into the next second, past its step
    EXPECT_GT(ring(), TimerViewModel::shared()->elapsedTime() / 1500000 + 1e-5);
    tapPlay();
    EXPECT_FALSE(running());
    const double paused = TimerViewModel::shared()->elapsedTime();
    EXPECT_NEAR(ring(), paused / 1500000, 1e-6) << "paused: exactly where it stopped";
    EXPECT_NEAR(minutes(), paused / 60000, 0.02) << "to the device pixel";
    EXPECT_TRUE(draw());
}

TEST_F(TimerFlow, TheBarButtonStopsOrSkipsOnlyOnceTheQuestionIsAnswered) {
    launch();
    tapPlay();
    clock->advance(90);
    tap(*container->skipButton());
    EXPECT_EQ(question(), "Stop current Focus Session?");
    ASSERT_TRUE(answer("Cancel"));
    EXPECT_TRUE(running());
    tap(*container->skipButton());
    ASSERT_TRUE(answer("Stop"));
    EXPECT_FALSE(running());
    EXPECT_EQ(clockText(), "25:00");
    EXPECT_EQ(skipTitle(), "Skip");

    tap(*container->skipButton());
    EXPECT_EQ(question(), "Skip current Focus Session?");
    ASSERT_TRUE(answer("Skip"));
    EXPECT_EQ(TimerViewModel::shared()->currentSession().type, SessionType::shortBreak);
    EXPECT_EQ(container->sessionButton()->titleForState(UIControlStateNormal), "Break");
    EXPECT_EQ(container->homeItem()->title(), "Break");
    EXPECT_EQ(clockText(), "05:00");
}

// A drag along the ring sets the session's minutes where the ring comes to rest.
TEST_F(TimerFlow, TurningTheMinuteRingSetsTheSession) {
    launch();
    const auto ring = timerScreen()->carouselView();
    const auto frame = ring->carousel()->convertRectToView(ring->carousel()->bounds(), nullptr);
    touches.drag({frame.midX() - 60, frame.midY()}, {frame.midX() + 60, frame.midY()}, 0.4);
    clock->advance(5);
    const double minutes = TimerViewModel::shared()->elapsedTime() / 60000;
    EXPECT_LT(minutes, 25) << "dragged to the right: fewer minutes";
    EXPECT_EQ(minutes, std::floor(minutes)) << "whole minutes";
    EXPECT_EQ(ring->carousel()->currentItemIndex(), static_cast<long>(minutes));
    char text[8];
    std::snprintf(text, sizeof text, "%02d:00", static_cast<int>(minutes));
    EXPECT_EQ(clockText(), text);
    EXPECT_FALSE(running());
}

// The clock takes taps only lying sideways, where it stands in for the play button; a fresh screen
// knows the timer runs, so the tap pauses it.
TEST_F(TimerFlow, TheClockStartsAndPausesOnlyInLandscape) {
    launch();
    tap(*timerScreen()->timerButton());
    EXPECT_FALSE(running());
    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeRight));
    clock->advance(1);
    tap(*timerScreen()->timerButton());
    EXPECT_TRUE(running());

    choose(1);
    choose(0);
    ASSERT_TRUE(timerScreen());
    tap(*timerScreen()->timerButton());
    EXPECT_FALSE(running());
}

}  // namespace
}  // namespace quorvel
