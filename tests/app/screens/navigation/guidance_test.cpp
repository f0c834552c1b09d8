#include <gtest/gtest.h>

#include "app/core/app_notification_names.h"
#include "platform/uikit/device/interface_driver.h"
#include "tests/app/screens/navigation/launched_app.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::LaunchedApp;
using FirstRunGuidance = LaunchedApp;

// The first launch lays the portrait guidance over the whole app; paging through its two panels ends
// it and frees the bar and rotation; lying sideways then brings the one landscape panel.
TEST_F(FirstRunGuidance, EachOrientationIsGuidedOnceOnAPhone) {
    launch(false);
    auto screen = timerScreen();
    auto guidance = screen->guidanceView();
    ASSERT_TRUE(guidance);
    EXPECT_EQ(guidance->function(), GuidanceType::standard);
    EXPECT_EQ(guidance->superview(), container->view()) << "over the navigation bar too";
    EXPECT_EQ(guidance->frame(), container->view()->bounds());
    EXPECT_EQ(guidance->guidancePanels().size(), 2u);
    EXPECT_TRUE(screen->navigationItem()->leftBarButtonItems().empty());
    EXPECT_FALSE(screen->canRotate());
    EXPECT_FALSE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft)) << "held while guided";
    InterfaceDriver::rotateDevice(UIDeviceOrientation::portrait);

    swipeLeft();
    EXPECT_TRUE(guidance->holder()->PageControl()->isHidden()) << "on the second panel";
    EXPECT_TRUE(screen->guidanceView());
    swipeLeft();
    EXPECT_FALSE(screen->guidanceView());
    EXPECT_FALSE(guidance->superview());
    EXPECT_TRUE(flag(T::Case::hasGuidedOncePortrait));
    EXPECT_FALSE(flag(T::Case::hasGuidedOnceLandscape));
    EXPECT_TRUE(flag(T::Case::showedOnceRevealingCell)) << "the table's hint follows";
    EXPECT_TRUE(screen->canRotate());
    EXPECT_EQ(screen->navigationItem()->leftBarButtonItem()->customView(), container->sessionButton());
    const auto events = analyticsEvents();
    EXPECT_NE(std::find(events.begin(), events.end(), "Intro Finish=Intro"), events.end());

    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft));
    clock->advance(1);
    guidance = screen->guidanceView();
    ASSERT_TRUE(guidance);
    EXPECT_EQ(guidance->function(), GuidanceType::landscape);
    ASSERT_EQ(guidance->guidancePanels().size(), 1u);
    EXPECT_EQ(guidance->guidancePanels()[0]->PanelTitle(), "Landscape Mode");
    swipeLeft();
    EXPECT_FALSE(screen->guidanceView());
    EXPECT_TRUE(flag(T::Case::hasGuidedOnceLandscape));
}

TEST_F(FirstRunGuidance, APadShowsThePortraitPanelsLyingSidewaysAndIsGuidedForBoth) {
    emulate("iPadPro11Inch");
    hold(UIDeviceOrientation::landscapeRight);
    launch(false);
    const auto screen = timerScreen();
    ASSERT_TRUE(screen->guidanceView());
    EXPECT_EQ(screen->guidanceView()->function(), GuidanceType::landscape);
    EXPECT_EQ(screen->guidanceView()->guidancePanels().size(), 2u);
    swipeLeft();
    swipeLeft();
    EXPECT_FALSE(screen->guidanceView());
    EXPECT_TRUE(flag(T::Case::hasGuidedOncePortrait));
    EXPECT_TRUE(flag(T::Case::hasGuidedOnceLandscape));
    EXPECT_TRUE(flag(T::Case::showedOnceRevealingCell));
    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::portrait));
    clock->advance(1);
    EXPECT_FALSE(screen->guidanceView());
}

}  // namespace
}  // namespace quorvel
