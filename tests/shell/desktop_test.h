#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/core/temp_user_default_properties.h"
#include "platform/foundation/ns_user_defaults.h"
#include "tests/support/desktop_user.h"
#include "tests/support/shell_process.h"
#include "tests/support/temp_data_root.h"
#include "tests/support/xvfb_display.h"

namespace quorvel::testing {

// The real quorvel program on a virtual X server of its own, with its data in a fresh root, played by a
// desktop user.
class DesktopTest : public ::testing::Test {
protected:
    using Window = DesktopUser::Window;

    void SetUp() override {
        if (!XvfbDisplay::available()) GTEST_SKIP() << "Xvfb is not installed; tools/setup.sh installs it";
        display = std::make_unique<XvfbDisplay>();
        ASSERT_TRUE(display->started()) << "Xvfb did not start";
        user = std::make_unique<DesktopUser>(display->name());
        ASSERT_TRUE(user->connected());
    }

    // The first-run guidance was seen in both orientations, as the app's settings file will say.
    static void markGuidanceSeen() {
        using T = TempUserDefaultProperties;
        const auto defaults = platform::NSUserDefaults::standardUserDefaults();
        defaults->setBool(true, T::key(T::Case::hasGuidedOncePortrait));
        defaults->setBool(true, T::key(T::Case::hasGuidedOnceLandscape));
        platform::NSUserDefaults::flushAll();
        platform::NSUserDefaults::resetAllForTesting();
    }

    // Starts quorvel and waits for its first frame and its window.
    Window start(const std::vector<std::string>& arguments) {
        app = std::make_unique<ShellProcess>(display->name(), root.path(), arguments);
        EXPECT_TRUE(app->waitForLine("frame 1")) << app->transcript();
        const auto window = user->waitForWindow(app->pid(), std::chrono::seconds(10));
        EXPECT_TRUE(window) << app->transcript();
        return window.value_or(0);
    }

    TempDataRoot root;
    std::unique_ptr<XvfbDisplay> display;
    std::unique_ptr<DesktopUser> user;
    std::unique_ptr<ShellProcess> app;
};

}  // namespace quorvel::testing
