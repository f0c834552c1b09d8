#include <gtest/gtest.h>

#include <algorithm>

#include "app/core/app_notification_names.h"
#include "platform/foundation/console.h"
#include "platform/uikit/device/interface_driver.h"
#include "tests/app/screens/navigation/launched_app.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::LaunchedApp;
using LayoutChanges = LaunchedApp;

long orientationEvents(const std::vector<std::string>& events) {
    return std::count_if(events.begin(), events.end(),
                         [](const std::string& e) { return e.starts_with("Timer_Event Orientation="); });
}

// The six views follow every rotation and split change in one round, in this order.
TEST_F(LayoutChanges, SplitChangesReachAllSixObserversInOrder) {
    emulate("iPadPro10Inch");
    hold(UIDeviceOrientation::landscapeLeft);
    launch();
    const auto screen = timerScreen();
    const std::vector<RotationObservable*> expected{
        screen->contentHolder().get(),   screen->timerButton().get(),      screen->carouselView().get(),
        screen->elapsedTimeView().get(), screen->statisticsHolder().get(), screen->progressView().get()};
    std::vector<RotationObservable*> observers;
    for (const auto& observer : screen->rotationObservers()) observers.push_back(observer.get());
    EXPECT_EQ(observers, expected);
    EXPECT_EQ(screen->previousTrait(), "Full Size");

    analyticsEvents();
    int rotations = 0;
    NSNotificationCenter::defaultCenter().addObserver(this, NotificationName::deviceRotated(),
                                                      [&](const NSNotification&) { ++rotations; });
    Console::Capture console;
    InterfaceDriver::setSplitShare(1.0 / 3);
    clock->advance(1);
    EXPECT_EQ(screen->splitStatus(), Split::oneThird);
    EXPECT_EQ(screen->previousTrait(), "Split View 1/3");
    for (const auto& observer : screen->rotationObservers())
        EXPECT_EQ(observer->splitStatus(), Split::oneThird);
    const auto lines = console.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Current Trait = 1/3 Split"), lines.end());
    EXPECT_EQ(rotations, 1);
    EXPECT_EQ(orientationEvents(analyticsEvents()), 2) << "the resize's and the split's";

    screen->detectSplitStatus();
    clock->advance(1);
    EXPECT_EQ(orientationEvents(analyticsEvents()), 0) << "the same split changes nothing";
    InterfaceDriver::setSplitShare(1);
    clock->advance(1);
    for (const auto& observer : screen->rotationObservers())
        EXPECT_EQ(observer->splitStatus(), Split::fullSize);
    NSNotificationCenter::defaultCenter().removeObserver(this);
}

// A phone lying sideways keeps the clock and the ring, the clock showing the counts and taking taps.
TEST_F(LayoutChanges, APhoneOnItsSideKeepsTheClockAndTheRing) {
    launch();
    const auto screen = timerScreen();
    EXPECT_EQ(screen->contentHolder()->arrangedSubviews().size(), 4u);
    EXPECT_FALSE(screen->timerButton()->isUserInteractionEnabled());
    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft));
    clock->advance(1);
    EXPECT_EQ(screen->contentHolder()->arrangedSubviews().size(), 2u);
    EXPECT_FALSE(screen->elapsedTimeView()->staticsticsHolder()->isHidden());
    EXPECT_TRUE(screen->timerButton()->isUserInteractionEnabled());
    EXPECT_EQ(screen->timerButton()->detectedOrientation(), UIDeviceOrientation::landscapeLeft);

    // Face up is no landscape: the interface stays, and so does the layout.
    InterfaceDriver::rotateDevice(UIDeviceOrientation::faceUp);
    clock->advance(1);
    EXPECT_EQ(screen->contentHolder()->arrangedSubviews().size(), 2u);
    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::portrait));
    clock->advance(1);
    EXPECT_EQ(screen->contentHolder()->arrangedSubviews().size(), 4u);
    EXPECT_TRUE(screen->elapsedTimeView()->staticsticsHolder()->isHidden());
}

}  // namespace
}  // namespace quorvel
