#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/core/app_notification_names.h"
#include "app/core/timer_view_model.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "tests/app/screens/navigation/launched_app.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::LaunchedApp;
using TimerScreen = LaunchedApp;

// The launch opens the container on a fresh timer screen, the engine's delegate, with the container's
// buttons in its bar; its first appearance logs the orientation twice, for itself and its first split.
TEST_F(TimerScreen, TheLaunchShowsItInTheContainerAndLogsItsOrientationTwice) {
    hold(UIDeviceOrientation::faceUp);
    launch();
    const auto screen = timerScreen();
    ASSERT_TRUE(screen);
    EXPECT_EQ(TimerViewModel::shared()->delegate(), screen);
    EXPECT_EQ(screen->navigationItem()->leftBarButtonItem()->customView(), container->sessionButton());
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem()->customView(), container->skipButton());
    EXPECT_EQ(container->sessionButton()->titleForState(UIControlStateNormal), "Focus");
    EXPECT_EQ(screen->timerButton()->titleForState(UIControlStateNormal), "25:00")
        << "the first launch's settings";
    const auto events = analyticsEvents();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Timer_Event Orientation=portrait"), 2)
        << "face up is portrait";
    EXPECT_EQ(timerScreen()->previousTrait(), "Full Size");
}

// A finished session's update refills the ring; one that cannot say its progress shows it full at once.
TEST_F(TimerScreen, DisplayUpdatesRefillTheRingOrShowItFull) {
    launch();
    const auto screen = timerScreen();
    const auto ring = screen->progressView()->progressViewDisplay();
    screen->scheduleTimerScreenUpdate({"1", "4", "2", "12", "00:00", 0});
    EXPECT_EQ(screen->timerButton()->titleForState(UIControlStateNormal), "25:00")
        << "not before the main queue";
    clock->advance(0.01);
    EXPECT_EQ(screen->timerButton()->titleForState(UIControlStateNormal), "00:00");
    EXPECT_EQ(ring->value(), 1.0);
    EXPECT_FALSE(ring->progressLayer()->animationKeys().empty()) << "refilled";
    EXPECT_EQ(screen->elapsedTimeView()->roundDisplayLabel()->text(), "Round 1/4");

    ring->progressLayer()->removeAllAnimations();
    screen->scheduleTimerScreenUpdate(
        {"1", "4", "2", "12", "10:00", std::numeric_limits<double>::quiet_NaN()});
    clock->advance(0.01);
    EXPECT_EQ(ring->value(), 1.0);
    EXPECT_TRUE(ring->progressLayer()->animationKeys().empty());
}

TEST_F(TimerScreen, NotificationsWithOtherObjectsChangeNothing) {
    launch();
    const auto screen = timerScreen();
    auto& center = NSNotificationCenter::defaultCenter();
    center.postNotificationName(NotificationName::navigationBarButtonSet(), 2);
    EXPECT_EQ(screen->navigationItem()->leftBarButtonItem()->customView(),
              container->navigationBarButtons()[2]);
    center.postNotificationName(NotificationName::navigationBarButtonSet(), 7);
    center.postNotificationName(NotificationName::navigationBarButtonSet(), std::string("0"));
    EXPECT_EQ(screen->navigationItem()->leftBarButtonItem()->customView(),
              container->navigationBarButtons()[2]);

    center.postNotificationName(NotificationName::enableDeviceRotation(), 0);
    EXPECT_TRUE(screen->canRotate());
    center.postNotificationName(NotificationName::enableDeviceRotation(), false);
    EXPECT_FALSE(screen->canRotate());
    EXPECT_FALSE(container->shouldAutorotate()) << "the container answers for its screen";
}

}  // namespace
}  // namespace quorvel
