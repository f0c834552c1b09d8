#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analytics/interface/dzr_app.h"
#include "app/core/first_launch_defaults.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/foundation/clock.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/drawing/ui_graphics.h"
#include "tests/analytics/engine/events_taken_in.h"
#include "tests/analytics/fresh_library.h"
#include "tests/app/widgets/alert/fresh_alert_queue.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/support/fresh_application.h"
#include "tests/support/temp_data_root.h"
#include "tests/support/touch_driver.h"

namespace quorvel::testing {

// A phone showing a white app window over a root controller, with the first-launch settings, a virtual
// clock and the analytics events taken in. Alerts are answered by real taps. The application, the library
// and the alerts the case left are put back when it ends.
class AppAlertTest : public ::testing::Test {
protected:
    static constexpr double kSettle = 1.0;  // past every transition and fade
    static constexpr platform::CGFloat kScale = 2;

    explicit AppAlertTest(double start = platform::VirtualClock::kDefaultStart)
        : clock(platform::VirtualClock::install(start)) {
        restoreDefaultDevice();
        for (const auto& value : firstLaunchDefaults()) UserDefaultProperties::save(value);
        analytics::DZRApp::configure();
        events_ = engine_test::EventsTakenIn::installOnEngine();
        appWindow->setRootViewController(std::make_shared<platform::UIViewController>());
        appWindow->setBackgroundColor(platform::UIColor::whiteColor());
        appWindow->makeKeyAndVisible();
    }
    ~AppAlertTest() override { clock->runUntilIdle(); }

    // The alert on screen once the main queue has shown it.
    std::shared_ptr<QueuedAlertView> shownAlert() {
        clock->advance(kSettle);
        return QueuedAlertView::currentAlertView();
    }
    static std::vector<std::string> buttonTitles(const QueuedAlertView& alert) {
        std::vector<std::string> titles;
        for (const auto& button : alert.buttons())
            titles.push_back(button->titleForState(platform::UIControlStateNormal).value_or(""));
        return titles;
    }
    // Taps the middle of a view, then lets it settle.
    void tap(const platform::UIView& view) {
        const platform::CGRect b = view.bounds();
        driver.tap(view.convertPointToView(platform::CGPoint{b.midX(), b.midY()}, nullptr));
        clock->advance(kSettle);
    }
    // Taps the shown alert's button of that title; false when there is none.
    bool press(const std::string& title) {
        const auto alert = shownAlert();
        if (!alert) return false;
        for (const auto& button : alert->buttons()) {
            if (button->titleForState(platform::UIControlStateNormal) != title) continue;
            tap(*button);
            return true;
        }
        return false;
    }
    // "name key=value" for each event logged so far.
    std::vector<std::string> analyticsEvents() {
        clock->runUntilIdle();
        return events_->texts();
    }
    // The shown windows as the screen shows them, also written to the test output folder as <name>.png.
    static std::shared_ptr<platform::UIImage> screenshot(const std::string& name) {
        platform::UIGraphicsBeginImageContextWithOptions(platform::UIScreen::mainScreen().bounds().size, true,
                                                         kScale);
        for (const auto& window : platform::UIWindow::windows())
            if (!window->isHidden())
                platform::LayerRenderer::renderView(*window, kScale)->drawInRect(window->frame());
        auto image = platform::UIGraphicsGetImageFromCurrentImageContext();
        platform::UIGraphicsEndImageContext();
        const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / (name + ".png");
        std::filesystem::create_directories(out.parent_path());
        EXPECT_TRUE(image->writePNG(out));
        return image;
    }

    FreshApplication application_;
    FreshLibrary library_;
    TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock;
    std::shared_ptr<platform::UIWindow> appWindow = std::make_shared<platform::UIWindow>();
    TouchDriver driver{clock};

private:
    std::shared_ptr<engine_test::EventsTakenIn> events_;
    // Last, so that the alerts it dismisses at the end still find what their handlers use.
    FreshAlertQueue alerts_;
};

}  // namespace quorvel::testing
