#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/core/first_launch_defaults.h"
#include "app/core/user_default_properties.h"
#include "platform/audiotoolbox/audio_services.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_locale.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/graphics/layer_renderer.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/drawing/ui_color.h"
#include "platform/uikit/views/ui_view.h"
#include "tests/app/widgets/alert/fresh_alert_queue.h"
#include "tests/platform/uikit/default_device.h"
#include "tests/platform/usernotifications/notification_test_support.h"
#include "tests/support/fresh_application.h"
#include "tests/support/touch_driver.h"

namespace quorvel::testing {

// A phone's key window showing a white screen, the first-launch settings stored, Berlin's time and a
// US English locale, and every settings write logged as "suite key". The device, the application and
// the alerts the case left are put back when it ends, with what the notification test puts back.
class ScreenTest : public NotificationTest {
protected:
    explicit ScreenTest(const char* model = "iPhone8") {
        platform::DeviceProfile::setCurrent(*platform::DeviceProfile::named(model));
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
        platform::NSLocale::setCurrentLocale(platform::NSLocale::localeWithLocaleIdentifier("en_US"));
        for (const auto& setting : firstLaunchDefaults()) UserDefaultProperties::save(setting);
        root_->view()->setBackgroundColor(platform::UIColor::whiteColor());
        window_->setRootViewController(root_);
        window_->makeKeyAndVisible();
        clock_->advance(1);
        platform::NSUserDefaults::setWriteObserver(
            [this](const std::string& suite, const std::string& key, const std::optional<platform::Value>&) {
                // The analytics library writes its own suites from its queues.
                std::lock_guard lock(writesMutex_);
                writes_.push_back(suite + " " + key);
            });
        platform::AudioServices::forgetPlayedSystemSounds();
    }
    ~ScreenTest() override {
        platform::NSUserDefaults::setWriteObserver({});
        restoreDefaultDevice();
    }

    std::vector<std::string> takeWrites() {
        std::lock_guard lock(writesMutex_);
        return std::exchange(writes_, {});
    }
    std::size_t clicks() const {
        std::size_t count = 0;
        for (const auto sound : platform::AudioServices::playedSystemSounds()) {
            count += sound == platform::kSystemSoundID_Click;
        }
        return count;
    }
    // The view's frame in the window.
    platform::CGRect inWindow(const platform::UIView& view) {
        return view.convertRectToView(view.bounds(), window_.get());
    }
    platform::CGPoint centreOf(const platform::UIView& view) {
        const auto frame = inWindow(view);
        return {frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2};
    }
    // Renders the window into the build's test-output folder.
    void render(const std::string& name) {
        const auto path = std::filesystem::path(QUORVEL_TEST_OUTPUT_DIR) / (name + ".png");
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(platform::LayerRenderer::writeViewPNG(*window_, path, 2));
    }

    FreshApplication application_;
    std::shared_ptr<platform::UIViewController> root_ = std::make_shared<platform::UIViewController>();
    std::shared_ptr<platform::UIWindow> window_ = std::make_shared<platform::UIWindow>();
    TouchDriver touches_{clock_};

private:
    std::mutex writesMutex_;
    std::vector<std::string> writes_;
    // Last, so that the alerts it dismisses at the end still find what their handlers use.
    FreshAlertQueue alerts_;
};

}  // namespace quorvel::testing
