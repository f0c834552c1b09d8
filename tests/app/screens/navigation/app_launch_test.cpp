#include <gtest/gtest.h>

#include "app/core/timer_view_model.h"
#include "platform/uikit/ui_bar_button_item.h"
#include "platform/uikit/ui_navigation_item.h"
#include "tests/app/screens/navigation/launched_app.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::LaunchedApp;
using AppLaunch = LaunchedApp;

TEST_F(AppLaunch, OpensTheContainerOnAFreshTimerScreenWithItsBarButtons) {
    launch();
    ASSERT_TRUE(container);
    const auto screen = timerScreen();
    ASSERT_TRUE(screen);
    EXPECT_EQ(container->viewControllers().size(), 1u);
    EXPECT_EQ(TimerViewModel::shared()->delegate(), screen);
    const auto item = screen->navigationItem();
    ASSERT_TRUE(item->leftBarButtonItem());
    EXPECT_EQ(item->leftBarButtonItem()->customView(), container->sessionButton());
    EXPECT_EQ(item->rightBarButtonItem()->customView(), container->skipButton());
    EXPECT_EQ(container->sessionButton()->titleForState(UIControlStateNormal), "Focus");
    EXPECT_EQ(container->skipButton()->titleForState(UIControlStateNormal), "Skip");
    EXPECT_EQ(TimerViewModel::shared()->currentSession().type, SessionType::focus);
    EXPECT_EQ(TimerViewModel::shared()->elapsedTime(), 25 * 60000.0);
}

}  // namespace
}  // namespace quorvel
