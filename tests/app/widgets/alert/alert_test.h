#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/widgets/alert/queued_alert_background_window.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/uikit/application/ui_window.h"
#include "tests/app/widgets/alert/fresh_alert_queue.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/support/temp_data_root.h"
#include "tests/support/touch_driver.h"

namespace quorvel::testing {

// A phone with the app's window shown, its own settings and a virtual clock. Every handler and
// notification of every alert is written into `log` as "<alert title>:<event>". The alerts the case
// left are gone, and the device is put back, when it ends.
class AlertTest : public ::testing::Test {
protected:
    // Past every transition and background fade.
    static constexpr double kSettle = 1.0;

    void SetUp() override {
        restoreDefaultDevice();
        appWindow->makeKeyAndVisible();
        for (const char* name : {"WillShow", "DidShow", "WillDismiss", "DidDismiss"}) {
            const std::string event = std::string(name) + "Notification";
            tokens_.push_back(platform::NSNotificationCenter::defaultCenter().addObserverForName(
                "QueuedAlertView" + event, [this, event](const platform::NSNotification& note) {
                    const auto alert = std::any_cast<std::shared_ptr<QueuedAlertView>>(note.object);
                    log.push_back(alert->title().value_or("") + ":" + event);
                }));
        }
    }

    std::shared_ptr<QueuedAlertView> makeAlert(const std::string& title) {
        auto alert = std::make_shared<QueuedAlertView>(title, std::nullopt);
        alert->setTransitionStyle(QueuedAlertViewTransitionStyleBounce);
        alert->setWillShowHandler([this](QueuedAlertView& a) { log.push_back(*a.title() + ":willShow"); });
        alert->setDidShowHandler([this](QueuedAlertView& a) { log.push_back(*a.title() + ":didShow"); });
        alert->setWillDismissHandler(
            [this](QueuedAlertView& a) { log.push_back(*a.title() + ":willDismiss"); });
        alert->setDidDismissHandler(
            [this](QueuedAlertView& a) { log.push_back(*a.title() + ":didDismiss"); });
        return alert;
    }

    // A real tap in the middle of the button, through the window stack.
    void press(const platform::UIButton& button) {
        const platform::CGRect bounds = button.bounds();
        driver.tap(button.convertPointToView(platform::CGPoint{bounds.midX(), bounds.midY()}, nullptr));
    }

    std::vector<std::string> takeLog() { return std::exchange(log, {}); }

    void TearDown() override {
        for (const auto& token : tokens_) platform::NSNotificationCenter::defaultCenter().removeObserver(token.get());
        restoreDefaultDevice();
    }

    TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::shared_ptr<platform::UIWindow> appWindow = std::make_shared<platform::UIWindow>();
    TouchDriver driver{clock};
    std::vector<std::string> log;

private:
    std::vector<std::shared_ptr<platform::NSNotificationObserverToken>> tokens_;
    // Last, so that the alerts it dismisses at the end still find the log their handlers write to.
    FreshAlertQueue alerts_;
};

}  // namespace quorvel::testing
