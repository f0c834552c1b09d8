#pragma once

#include <gtest/gtest.h>

#include <any>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "analytics/interface/dzr_app.h"
#include "app/core/first_launch_defaults.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_locale.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/uikit/drawing/ui_color.h"
#include "tests/analytics/engine/events_taken_in.h"
#include "tests/analytics/fresh_library.h"
#include "tests/app/widgets/alert/fresh_alert_queue.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/support/fresh_application.h"
#include "tests/support/kept_locale.h"
#include "tests/support/kept_time_zone.h"
#include "tests/support/temp_data_root.h"

namespace quorvel::testing {

// The same red, green, blue and alpha, as far as a stored colour keeps them.
inline bool sameColour(const std::shared_ptr<platform::UIColor>& a, const std::shared_ptr<platform::UIColor>& b) {
    double ar = -1, ag = -1, ab = -1, aa = -1, br = -2, bg = -2, bb = -2, ba = -2;
    if (!a || !b || !a->getRed(&ar, &ag, &ab, &aa) || !b->getRed(&br, &bg, &bb, &ba)) return false;
    return std::abs(ar - br) < 1e-3 && std::abs(ag - bg) < 1e-3 && std::abs(ab - bb) < 1e-3 && std::abs(aa - ba) < 1e-3;
}

// A fresh data root holding the first-launch settings, a virtual clock in Berlin with an English locale,
// the analytics events taken in, and a record of the app's notifications by name. The zone, the locale,
// the device, the application, the library and the alerts the case left are put back when it ends.
class SettingsScreenTest : public ::testing::Test {
protected:
    struct Posted {
        std::string name;
        std::any object;
    };

    SettingsScreenTest() {
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
        platform::NSLocale::setCurrentLocale(platform::NSLocale::localeWithLocaleIdentifier("en_US"));
        for (const auto& value : firstLaunchDefaults()) UserDefaultProperties::save(value);
        analytics::DZRApp::configure();
    }
    ~SettingsScreenTest() override {
        for (const void* owner : observed_) platform::NSNotificationCenter::defaultCenter().removeObserver(owner);
        clock->runUntilIdle();
        restoreDefaultDevice();
    }

    // From now on, every post of `name` is recorded in `posted`.
    void record(const platform::NSNotificationName& name) {
        observed_.push_back(this);
        platform::NSNotificationCenter::defaultCenter().addObserver(
            this, name, [this](const platform::NSNotification& n) { posted.push_back({n.name, n.object}); });
    }

    // The names and parameters of the analytics events logged so far.
    std::vector<analytics::APMEvent> loggedEvents() {
        clock->runUntilIdle();
        return events->events();
    }

    static std::shared_ptr<platform::NSUserDefaults> standard() { return UserDefaultProperties::standardDefaults(); }

    FreshApplication application_;
    FreshLibrary library_;
    KeptTimeZone zone_;
    KeptLocale locale_;
    TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install();
    std::shared_ptr<engine_test::EventsTakenIn> events = engine_test::EventsTakenIn::installOnEngine();
    std::vector<Posted> posted;

private:
    std::vector<const void*> observed_;
    // Last, so that the alerts it dismisses at the end still find what their handlers use.
    FreshAlertQueue alerts_;
};

}  // namespace quorvel::testing
