#include <gtest/gtest.h>

#include "app/core/app_notification_names.h"
#include "app/screens/timer/zuvo_alert_manager.h"
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

// Guided upright only, with the bar's stop question open on a one-minute focus session that has ten
// seconds left, and the device turned so the first-run guidance comes up over the question.
class GuidanceOverQuestion : public LaunchedApp, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        LaunchedApp::SetUp();
        emulate(GetParam());
        T::save(T::hasGuidedOncePortrait(true));
        launch(false);
        TimerViewModel::shared()->setRemainingMinutes(1);
        tap(*timerScreen()->progressView()->progressButton());
        clock->advance(50);
        tap(*container->skipButton());
        ASSERT_EQ(question(), "Stop current Focus Session?");
        ASSERT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::landscapeLeft));
        clock->advance(1);
        ASSERT_TRUE(timerScreen()->guidanceView());
    }
    static std::shared_ptr<UIWindow> windowOf(const std::shared_ptr<UIView>& view) {
        return view ? view->window() : nullptr;
    }
};

TEST_P(GuidanceOverQuestion, TheSessionsEndTakesOnlyTheQuestionAndTheGuidanceStaysUntilPagedThrough) {
    const auto screen = timerScreen();
    const auto guidance = screen->guidanceView();
    const auto alert = QueuedAlertView::currentAlertView();
    ASSERT_TRUE(alert);
    EXPECT_EQ(windowOf(guidance), alert->alertWindow()) << "over the question";

    clock->advance(15);
    ASSERT_EQ(TimerViewModel::shared()->currentSession().type, SessionType::shortBreak);
    EXPECT_EQ(question(), "");
    EXPECT_EQ(screen->guidanceView(), guidance);
    EXPECT_EQ(guidance->superview(), container->view()) << "over the app, bar and all";
    EXPECT_EQ(guidance->frame(), container->view()->bounds());
    EXPECT_FALSE(screen->canRotate()) << "held while guided";
    EXPECT_FALSE(flag(T::Case::hasGuidedOnceLandscape));

    for (std::size_t panel = 0; panel < guidance->guidancePanels().size(); ++panel) swipeLeft();
    EXPECT_FALSE(screen->guidanceView());
    EXPECT_FALSE(guidance->superview());
    EXPECT_TRUE(flag(T::Case::hasGuidedOnceLandscape));
    EXPECT_TRUE(screen->canRotate());
    EXPECT_EQ(screen->navigationItem()->leftBarButtonItem()->customView(), container->sessionButton());
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem()->customView(), container->skipButton());
    EXPECT_TRUE(InterfaceDriver::rotateDevice(UIDeviceOrientation::portrait));
}

// The question giving way to another alert takes its window along for a while; the guidance stays on
// screen over the app and under the alert that came.
TEST_P(GuidanceOverQuestion, AQuestionGivingWayToAnotherAlertLeavesTheGuidanceShown) {
    const auto guidance = timerScreen()->guidanceView();
    ZuvoAlertManager::showAutoResetAlert();
    ASSERT_EQ(question(), "Checking for Auto-Reset. Clear Pomodoro Round & Goal?");
    EXPECT_EQ(guidance->superview(), container->view());
    EXPECT_EQ(timerScreen()->guidanceView(), guidance);
}

INSTANTIATE_TEST_SUITE_P(Devices, GuidanceOverQuestion, ::testing::Values("iPhone8", "iPadPro11Inch"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace quorvel
