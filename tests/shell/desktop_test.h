#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/clock.h"
#include "platform/uikit/drawing/ui_image.h"
#include "tests/shell/guidance_seen.h"
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
        // The program's times are held against the desktop's clock: this process reads that clock too,
        // whichever clock a case before installed.
        if (platform::Clock::shared().isVirtual())
            platform::Clock::install(std::make_shared<platform::SystemClock>());
        if (!XvfbDisplay::available()) GTEST_SKIP() << "Xvfb is not installed; tools/setup.sh installs it";
        display = std::make_unique<XvfbDisplay>(desktopWidth, desktopHeight);
        ASSERT_TRUE(display->started()) << "Xvfb did not start";
        user = std::make_unique<DesktopUser>(display->name());
        ASSERT_TRUE(user->connected());
    }

    // The first-run guidance was seen upright and, unless told otherwise, sideways, as the app's settings
    // file will say.
    static void markGuidanceSeen(bool landscapeToo = true) {
        quorvel::testing::markGuidanceSeen(landscapeToo);
    }

    // Starts quorvel and waits for its first frame and its window.
    Window start(const std::vector<std::string>& arguments,
                 const ShellProcess::Environment& environment = {}) {
        app = std::make_unique<ShellProcess>(display->name(), root.path(), arguments, environment);
        EXPECT_TRUE(app->waitForLine("frame 1")) << app->transcript();
        const auto window = user->waitForWindow(app->pid(), kPatience);
        EXPECT_TRUE(window) << app->transcript();
        return window.value_or(0);
    }

    // A screenshot through the shell's key, copied into the test output for a person to look at.
    std::shared_ptr<platform::UIImage> screenshot(Window window, const std::string& name) {
        user->pressKey(window, "F12");
        const auto saved = app->waitForLine("screenshot saved to ");
        if (!saved) return nullptr;
        const std::filesystem::path path = saved->substr(saved->find(" to ") + 4);
        const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR);
        std::filesystem::create_directories(out);
        std::filesystem::copy_file(path, out / name, std::filesystem::copy_options::overwrite_existing);
        return platform::UIImage::imageWithContentsOfFile(path);
    }

    // The virtual desktop's size in pixels; a fixture may set another in its constructor.
    int desktopWidth = 1280, desktopHeight = 1024;
    TempDataRoot root;
    std::unique_ptr<XvfbDisplay> display;
    std::unique_ptr<DesktopUser> user;
    std::unique_ptr<ShellProcess> app;
};

}  // namespace quorvel::testing
