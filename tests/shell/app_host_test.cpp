#include <gtest/gtest.h>

#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/ui_screen.h"
#include "shell/app_host.h"
#include "tests/app/core/launch_environment.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
using quorvel::shell::AppHost;
using quorvel::shell::DeviceSetup;
using quorvel::shell::ShellOptions;
using quorvel::shell::ShellSettings;

namespace {

// The app launched in this process: what the launch changes of the process (the application, the
// app's shared objects, the device) is put back when the case ends.
class AppHostTest : public ::testing::Test {
protected:
    void TearDown() override { quorvel::testing::restoreDefaultDevice(); }

    quorvel::testing::TempDataRoot root;
    quorvel::testing::LaunchEnvironment environment{root.path()};
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    int changes = 0;
};

}  // namespace

TEST_F(AppHostTest, LaunchTurnsTheDeviceAsAskedAndGivesTheAppAnEmptyWindowOfItsShare) {
    AppHost host(
        DeviceSetup{*DeviceProfile::named("iPadPro11Inch"), UIDeviceOrientation::landscapeLeft, 0.5});
    host.launch([this] { ++changes; });
    EXPECT_EQ(UIDevice::currentDevice().orientation(), UIDeviceOrientation::landscapeLeft);
    EXPECT_EQ(UIScreen::mainScreen().bounds(), CGRect(0, 0, 1194, 834));
    const auto window = UIWindow::keyWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->frame(), CGRect(0, 0, 597, 834));
    EXPECT_EQ(UIApplication::sharedApplication().applicationState(), UIApplicationState::active);
    EXPECT_GT(changes, 0);  // becoming active is news for the desktop

    // The next start shows the same device.
    const auto next = std::get<DeviceSetup>(ShellSettings::resolve(ShellOptions::parse({})));
    EXPECT_EQ(next.profile.identifier, "iPadPro11Inch");
    EXPECT_EQ(next.orientation, UIDeviceOrientation::landscapeLeft);
    EXPECT_EQ(next.split, 0.5);
}

TEST_F(AppHostTest, TheTitleCarriesTheBadgeAndTheScreensaverWaitsOnlyForAnActiveAppWithItsIdleTimerOff) {
    AppHost host(DeviceSetup{*DeviceProfile::named("iPhone8")});
    host.launch([this] { ++changes; });
    auto& application = UIApplication::sharedApplication();
    EXPECT_EQ(host.windowTitle(), "Quorvel");
    const int before = changes;
    application.setApplicationIconBadgeNumber(24);
    EXPECT_EQ(changes, before + 1);
    EXPECT_EQ(host.windowTitle(), "Quorvel (24)");
    application.setApplicationIconBadgeNumber(0);
    EXPECT_EQ(host.windowTitle(), "Quorvel");

    application.setIdleTimerDisabled(false);  // the app's own setting keeps the screen awake at launch
    EXPECT_FALSE(host.keepsScreenAwake());
    application.setIdleTimerDisabled(true);
    EXPECT_TRUE(host.keepsScreenAwake());
    application.resignActive();
    EXPECT_FALSE(host.keepsScreenAwake());
    application.becomeActive();
    EXPECT_TRUE(host.keepsScreenAwake());
}

TEST_F(AppHostTest, TurnsAndSplitSharesGoThroughTheInterfaceDriverAndAreRemembered) {
    AppHost tablet(DeviceSetup{*DeviceProfile::named("iPadPro9Inch")});
    tablet.launch([] {});
    tablet.rotate(UIDeviceOrientation::landscapeRight);
    tablet.nextSplit();
    clock->advance(1);  // the transitions' animations end
    EXPECT_EQ(UIScreen::mainScreen().bounds().size, (CGSize{1024, 768}));
    EXPECT_NEAR(UIWindow::keyWindow()->frame().width(), 1024.0 * 2 / 3, 1e-9);
    EXPECT_EQ(tablet.setup().orientation, UIDeviceOrientation::landscapeRight);
    EXPECT_NEAR(tablet.setup().split, 2.0 / 3, 1e-9);
    tablet.rotate(UIDeviceOrientation::faceUp);  // the sensor only
    EXPECT_EQ(UIScreen::mainScreen().bounds().size, (CGSize{1024, 768}));
    EXPECT_EQ(std::get<DeviceSetup>(ShellSettings::resolve(ShellOptions::parse({}))).orientation,
              UIDeviceOrientation::faceUp);
}
