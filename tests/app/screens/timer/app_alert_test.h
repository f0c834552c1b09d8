#pragma once

#include <gtest/gtest.h>

#include <any>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analytics/interface/dzr_app.h"
#include "app/core/first_launch_defaults.h"
#include "app/core/user_default_properties.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/ui_graphics.h"
#include "platform/uikit/ui_screen.h"
#include "platform/uikit/ui_view_controller.h"
#include "platform/uikit/ui_window.h"
#include "tests/analytics/engine/events_taken_in.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/support/temp_data_root.h"
#include "tests/support/touch_driver.h"

namespace quorvel::testing {

// A phone showing the app's window over a root controller, the first-launch settings, a virtual clock,
// the analytics events taken in and the app's notifications recorded by name. Questions are answered
// by real taps on their buttons.
class AppAlertTest : public ::testing::Test {
protected:
    // Past every transition and background fade.
    static constexpr double kSettle = 1.0;
    static constexpr platform::CGFloat kScale = 2;

    struct Posted {
        std::string name;
        std::any object;
    };

    // The clock starts at `start` seconds after the reference date.
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
    ~AppAlertTest() override {
        platform::NSNotificationCenter::defaultCenter().removeObserver(this);
        clock->runUntilIdle();
    }

    // The alert on screen once the main queue has shown it and it has come in.
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
    // A real tap in the middle of the shown alert's button of that title; false when there is none.
    bool press(const std::string& title) {
        const auto alert = shownAlert();
        if (!alert) return false;
        for (const auto& button : alert->buttons()) {
            if (button->titleForState(platform::UIControlStateNormal) != title) continue;
            const platform::CGRect bounds = button->bounds();
            driver.tap(button->convertPointToView(platform::CGPoint{bounds.midX(), bounds.midY()}, nullptr));
            clock->advance(kSettle);
            return true;
        }
        return false;
    }

    // From now on, every post of `name` is recorded in `posted`.
    void record(const platform::NSNotificationName& name) {
        platform::NSNotificationCenter::defaultCenter().addObserver(
            this, name, [this](const platform::NSNotification& n) { posted.push_back({n.name, n.object}); });
    }
    // The events logged so far, as "name key=value".
    std::vector<std::string> analyticsEvents() {
        clock->runUntilIdle();
        std::vector<std::string> texts;
        for (const auto& event : events_->events()) {
            std::string text = event.name();
            for (const auto& [key, value] : event.parameters()) {
                if (key != "_o") text += " " + key + "=" + (value.stringValue() ? *value.stringValue() : value.description());
            }
            texts.push_back(std::move(text));
        }
        return texts;
    }

    // Every shown window from the lowest level up, as the screen shows them, written as a PNG into the
    // test output folder for a person to look at.
    static std::shared_ptr<platform::UIImage> screenshot(const std::string& name) {
        const platform::CGRect screen = platform::UIScreen::mainScreen().bounds();
        platform::UIGraphicsBeginImageContextWithOptions(screen.size, true, kScale);
        for (const auto& window : platform::UIWindow::windows()) {
            if (!window->isHidden())
                platform::LayerRenderer::renderView(*window, kScale)->drawInRect(window->frame());
        }
        auto image = platform::UIGraphicsGetImageFromCurrentImageContext();
        platform::UIGraphicsEndImageContext();
        const auto out = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / (name + ".png");
        std::filesystem::create_directories(out.parent_path());
        EXPECT_TRUE(image->writePNG(out));
        return image;
    }

    TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock;
    std::shared_ptr<platform::UIWindow> appWindow = std::make_shared<platform::UIWindow>();
    TouchDriver driver{clock};
    std::vector<Posted> posted;

private:
    std::shared_ptr<engine_test::EventsTakenIn> events_;
};

}  // namespace quorvel::testing
