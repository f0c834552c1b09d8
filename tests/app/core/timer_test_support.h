#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analytics/interface/dzr_app.h"
#include "app/core/app_notification_names.h"
#include "app/core/audio_manager.h"
#include "app/core/first_launch_defaults.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_default_properties.h"
#include "platform/amplitude/amplitude.h"
#include "platform/audiotoolbox/audio_services.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/usernotifications/un_user_notification_center.h"
#include "tests/analytics/engine/events_taken_in.h"
#include "tests/analytics/fresh_library.h"
#include "tests/app/core/store_test_support.h"
#include "tests/support/fresh_amplitude.h"
#include "tests/support/fresh_application.h"
#include "tests/support/temp_data_root.h"

namespace quorvel::testing {

// The timer screen as a test sees it: what the engine handed it, with a real root view and session
// button.
class RecordingTimerScreen : public TimerFeedbackDelegate,
                             public TimerNavigationContainer,
                             public TimerMinuteRing,
                             public std::enable_shared_from_this<RecordingTimerScreen> {
public:
    void applyTimerStatus(TimerStatus status) override { statuses.push_back(status); }
    void scheduleTimerScreenUpdate(const TimerScreenUpdate& update) override { updates.push_back(update); }
    std::shared_ptr<platform::UIView> rootView() override { return view; }
    std::shared_ptr<TimerNavigationContainer> navigationContainer() override { return shared_from_this(); }
    std::shared_ptr<TimerMinuteRing> minuteRing() override { return shared_from_this(); }
    std::shared_ptr<platform::UIButton> sessionButton() override { return button; }
    void scrollToItemAtIndex(std::int64_t index, bool) override { ringIndex = index; }
    void setScrollOffset(double offset) override { ringOffset = offset; }

    std::vector<TimerStatus> statuses;
    std::vector<TimerScreenUpdate> updates;
    std::int64_t ringIndex = -1;
    double ringOffset = -1;
    std::shared_ptr<platform::UIView> view = std::make_shared<platform::UIView>();
    std::shared_ptr<platform::UIButton> button = std::make_shared<platform::UIButton>();
};

// The shared engine as the timer screen finds it when it appears: its delegate, configured once.
inline std::shared_ptr<TimerViewModel> sharedEngineShownOn(const std::shared_ptr<RecordingTimerScreen>& screen) {
    auto shared = TimerViewModel::shared();
    if (shared->delegate() != screen) {
        shared->setDelegate(screen);
        shared->configure();
    }
    return shared;
}

// Hours of virtual time write the settings files once a virtual second: in memory, where there is a
// memory-backed folder, so a long run takes milliseconds rather than a disk's syncs.
inline std::filesystem::path fastTemporaryFolder() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm"
                                                            : std::filesystem::temp_directory_path();
}

// A fresh device after its first launch at 10:00 UTC: the default settings, an empty session store,
// both analytics services started, and the engine wired to a recording screen. Posts of
// "TimerRunningStatus" are kept in order. The application, the analytics library and services and the
// engine are put back when the case ends.
class TimerEngineTest : public ::testing::Test {
protected:
    static constexpr double kTenOClock = platform::VirtualClock::kDefaultStart + 3600;

    TimerEngineTest() {
        for (const auto& value : firstLaunchDefaults()) UserDefaultProperties::save(value);
        launchStore();
        analytics::DZRApp::configure();
        platform::Amplitude::instance()->initializeApiKey("key");
        platform::AudioServices::forgetPlayedSystemSounds();
        runningStatusObserver_ = platform::NSNotificationCenter::defaultCenter().addObserverForName(
            NotificationName::timerRunningStatus(), [this](const platform::NSNotification& note) {
                runningStatusPosts.push_back(*note.objectAs<bool>());
            });
    }
    ~TimerEngineTest() override {
        TimerViewModel::resetSharedForTesting();
        AudioManager::resetSharedForTesting();
        platform::UNUserNotificationCenter::resetCurrentForTesting();
        platform::NSNotificationCenter::defaultCenter().removeObserver(runningStatusObserver_.get());
        // The players let go of may still be loading: that work ends with the case, not in the next.
        clock->runUntilIdle();
    }

    std::shared_ptr<TimerViewModel> engine() { return sharedEngineShownOn(screen); }

    static void setSetting(const UserDefaultProperties& value) { UserDefaultProperties::save(value); }
    // Runs the current session out: the tick after the one that reaches zero ends it.
    void finishSession() { clock->advance(engine()->elapsedTime() / 1000 + 0.15); }
    // The analytics events so far, as "Name key=value …" without the origin.
    std::vector<std::string> analyticsEvents() {
        clock->runUntilIdle();
        return events_->texts();
    }
    // How many calls of the second analytics service hold `text` ("\"event_type\":\"long_break_start\"").
    static std::int64_t amplitudeCalls(const std::string& text) {
        return std::ranges::count_if(platform::Amplitude::log().lines(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    }
    static std::int64_t badge() {
        return platform::UIApplication::sharedApplication().applicationIconBadgeNumber();
    }
    static std::shared_ptr<platform::NSUserDefaults> standard() {
        return UserDefaultProperties::standardDefaults();
    }

    FreshApplication application_;
    FreshLibrary library_;
    FreshAmplitude amplitude_;
    TempDataRoot root{fastTemporaryFolder()};
    FreshStore store_;
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install(kTenOClock);
    std::shared_ptr<RecordingTimerScreen> screen = std::make_shared<RecordingTimerScreen>();
    std::vector<bool> runningStatusPosts;

private:
    std::shared_ptr<engine_test::EventsTakenIn> events_ = engine_test::EventsTakenIn::installOnEngine();
    std::shared_ptr<platform::NSNotificationObserverToken> runningStatusObserver_;
};

}  // namespace quorvel::testing
