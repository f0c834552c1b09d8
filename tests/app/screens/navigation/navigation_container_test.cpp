#include <gtest/gtest.h>

#include <any>

#include "app/core/app_notification_names.h"
#include "app/core/timer_view_model.h"
#include "app/screens/settings/option_view_controller.h"
#include "app/screens/statistics/charts_view_controller.h"
#include "platform/foundation/console.h"
#include "platform/uikit/device/interface_driver.h"
#include "tests/app/screens/navigation/launched_app.h"
#include "tests/support/scoped_observer.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::LaunchedApp;
using NavigationContainer = LaunchedApp;

std::shared_ptr<UIView> leftButton(const std::shared_ptr<UIViewController>& screen) {
    return screen->navigationItem()->leftBarButtonItem()->customView();
}

TEST_F(NavigationContainer, TheMenuSwitchesToAFreshScreenUnlessThatOneIsShown) {
    launch();
    std::vector<int> buttonSets;
    quorvel::testing::ScopedObserver buttonSetPosts(
        NotificationName::navigationBarButtonSet(),
        [&](const NSNotification& note) { buttonSets.push_back(*note.objectAs<int>()); });
    std::weak_ptr<TimeViewController> first = timerScreen();
    choose(0);
    EXPECT_EQ(timerScreen(), first.lock()) << "the timer screen is already shown";
    EXPECT_EQ(buttonSets, std::vector<int>{0});

    Console::Capture console;
    choose(1);
    EXPECT_TRUE(console.contains("Released (•̀ᴗ•́)و ̑̑  TimeViewController"));
    const auto charts = std::dynamic_pointer_cast<ChartsViewController>(container->topViewController());
    ASSERT_TRUE(charts);
    EXPECT_EQ(container->viewControllers().size(), 1u);
    EXPECT_EQ(leftButton(charts), container->navigationBarButtons()[1]);
    EXPECT_TRUE(first.expired()) << "the timer screen left with the stack";
    choose(1);
    EXPECT_EQ(container->topViewController(), charts);

    choose(0);
    ASSERT_TRUE(timerScreen());
    EXPECT_EQ(leftButton(timerScreen()), container->sessionButton());
    EXPECT_EQ(TimerViewModel::shared()->delegate(), timerScreen());
    EXPECT_EQ(buttonSets, (std::vector<int>{0, 0}));

    choose(2);
    const auto settings = std::dynamic_pointer_cast<OptionViewController>(container->topViewController());
    ASSERT_TRUE(settings) << "the settings screen comes from its storyboard";
    EXPECT_EQ(leftButton(settings), container->navigationBarButtons()[2]);
}

TEST_F(NavigationContainer, TheLeftButtonOpensAndClosesTheMenu) {
    launch();
    tap(*container->sessionButton());
    clock->advance(1);
    EXPECT_TRUE(container->optionsMenu()->isOpen());
    ASSERT_EQ(container->optionsMenu()->itemViews().size(), 3u);
    tap(*container->sessionButton());
    clock->advance(1);
    EXPECT_FALSE(container->optionsMenu()->isOpen());
    EXPECT_EQ(timerScreen()->navigationItem()->leftBarButtonItem()->customView(), container->sessionButton());
}

TEST_F(NavigationContainer, ButtonTitlesFollowTheEngineAndIgnoreOtherObjects) {
    launch();
    auto& center = NSNotificationCenter::defaultCenter();
    center.postNotificationName(NotificationName::timerRunningStatus(), true);
    EXPECT_EQ(container->skipButton()->titleForState(UIControlStateNormal), "Stop");
    center.postNotificationName(NotificationName::timerRunningStatus(), 1);
    EXPECT_EQ(container->skipButton()->titleForState(UIControlStateNormal), "Stop");
    center.postNotificationName(NotificationName::timerRunningStatus(), false);
    EXPECT_EQ(container->skipButton()->titleForState(UIControlStateNormal), "Skip");

    center.postNotificationName(NotificationName::sessionDidChange(),
                                SessionNames{"Long Break", "Long Break"});
    EXPECT_EQ(container->homeItem()->title(), "Long Break");
    center.postNotificationName(NotificationName::sessionDidChange(), std::string("Focus"));
    EXPECT_EQ(container->homeItem()->title(), "Long Break");
    center.postNotificationName(NotificationName::navigationBarButtonSet(), std::string("2"));
    EXPECT_EQ(leftButton(timerScreen()), container->sessionButton());
}

// On a phone with a notch the menu's icons clear the left safe area lying sideways.
TEST_F(NavigationContainer, RotationMovesTheMenuIconsAndReachesTheTimerScreen) {
    emulate("iPhoneX");
    launch();
    EXPECT_EQ(container->optionsMenu()->imageOffset(), CGSizeMake(6, -1));
    analyticsEvents();
    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft));
    clock->advance(1);
    EXPECT_EQ(container->optionsMenu()->imageOffset(), CGSizeMake(44 + 52, -1));
    const auto events = analyticsEvents();
    EXPECT_NE(std::find(events.begin(), events.end(), "Timer_Event Orientation=landscape"), events.end());
    ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::portrait));
    clock->advance(1);
    EXPECT_EQ(container->optionsMenu()->imageOffset(), CGSizeMake(6, -1));
}

}  // namespace
}  // namespace quorvel
