#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/core/start_application.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_default_properties.h"
#include "app/screens/navigation/app_storyboards.h"
#include "app/screens/navigation/main_navigation_controller_view_controller.h"
#include "app/screens/timer/time_view_controller.h"
#include "app/widgets/alert/queued_alert_view.h"
#include "platform/foundation/clock.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "platform/uikit/navigation/ui_navigation_item.h"
#include "tests/analytics/engine/events_taken_in.h"
#include "tests/app/core/launch_environment.h"
#include "tests/app/screens/timer/emulated_device.h"
#include "tests/app/widgets/alert/fresh_alert_queue.h"
#include "tests/support/temp_data_root.h"
#include "tests/support/touch_driver.h"

namespace quorvel::testing {

// The app as the shell starts it, on a portrait iPhone 8 on the virtual clock: its storyboards
// registered, launched through its delegate into the navigation container, and touched through the
// window like a person would. Analytics events are kept from the launch on. The alerts it leaves go
// with the case.
class LaunchedApp : public EmulatedDevice {
protected:
    using T = TempUserDefaultProperties;

    // `guided`: the first-run guidance was already seen in both orientations.
    void launch(bool guided = true) {
        if (guided) {
            T::save(T::hasGuidedOncePortrait(true));
            T::save(T::hasGuidedOnceLandscape(true));
        }
        AppStoryboards::registerAll();
        // Before the launch, whose first events the engine may otherwise take in before the test listens.
        events = engine_test::EventsTakenIn::installOnEngine();
        delegate = startApplication();
        clock->advance(1);
        window = platform::UIWindow::keyWindow();
        container =
            std::dynamic_pointer_cast<MainNavigationControllerViewController>(window->rootViewController());
    }

    std::shared_ptr<TimeViewController> timerScreen() const {
        return std::dynamic_pointer_cast<TimeViewController>(container->topViewController());
    }
    // A tap in the middle of the view, as the window shows it.
    void tap(const platform::UIView& view) {
        const auto frame = view.convertRectToView(view.bounds(), nullptr);
        touches.tap({frame.midX(), frame.midY()});
        clock->advance(0.05);
    }
    // A drag right to left across the middle of the screen, as when paging.
    void swipeLeft() {
        const auto bounds = window->bounds();
        touches.drag({bounds.size.width * 0.8, bounds.size.height / 2},
                     {bounds.size.width * 0.2, bounds.size.height / 2}, 0.15);
        clock->advance(2);
    }
    // Opens the menu with the shown screen's left bar button and picks the screen at `index`.
    void choose(std::size_t index) {
        const auto item = container->topViewController()->navigationItem()->leftBarButtonItem();
        tap(*item->customView());
        clock->advance(1);
        tap(*container->optionsMenu()->itemViews().at(index));
        clock->advance(1);
    }
    // The shown question's text, or empty when none is up.
    std::string question() {
        clock->advance(1);
        const auto alert = QueuedAlertView::currentAlertView();
        return alert ? alert->message().value_or("") : "";
    }
    // Taps the shown question's button of that title; false when there is none.
    bool answer(const std::string& title) {
        clock->advance(1);
        const auto alert = QueuedAlertView::currentAlertView();
        if (!alert) return false;
        for (const auto& button : alert->buttons()) {
            if (button->titleForState(platform::UIControlStateNormal) != title) continue;
            tap(*button);
            clock->advance(1);
            return true;
        }
        return false;
    }
    static bool flag(T::Case which) {
        return UserDefaultProperties::standardDefaults()->boolForKey(T::key(which));
    }
    // Analytics events since the last call (or the launch) as "Name key=value", without the origin.
    std::vector<std::string> analyticsEvents() {
        clock->runUntilIdle();
        auto texts = events->texts(eventsRead_);
        eventsRead_ += texts.size();
        return texts;
    }

    TempDataRoot root;
    LaunchEnvironment environment{root.path()};
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    TouchDriver touches{clock};
    std::shared_ptr<AppDelegate> delegate;
    std::shared_ptr<engine_test::EventsTakenIn> events;
    std::shared_ptr<platform::UIWindow> window;
    std::shared_ptr<MainNavigationControllerViewController> container;

private:
    std::size_t eventsRead_ = 0;
    // Last, so that the alerts it dismisses at the end still find the screens they were shown over.
    FreshAlertQueue alerts_;
};

}  // namespace quorvel::testing
