#include "app/screens/timer/auto_reset_alert_prompt.h"

#include <cstdlib>

#include "app/core/audio_manager.h"
#include "app/core/start_application.h"
#include "app/core/timer_view_model.h"
#include "platform/backgroundtasks/bg_task_scheduler.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/uikit/ui_application.h"
#include "platform/usernotifications/un_user_notification_center.h"
#include "tests/app/screens/timer/app_alert_test.h"
#include "tests/platform/foundation/civil_time.h"

namespace quorvel {
namespace {

using platform::UIApplication;
using P = UserDefaultProperties;

// The app as the shell starts it, with the alert asking start-up's auto-reset question, on 2 March
// 2026 at 10:00 in Berlin; the counts are cleared at midnight.
class AutoResetQuestion : public testing::AppAlertTest {
protected:
    AutoResetQuestion() : AppAlertTest(testing::utc(2026, 3, 2, 9).timeIntervalSinceReferenceDate()) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorvel-test-bus", 1);
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
        std::filesystem::create_directories(root.path() / "Music");
        platform::MPMediaLibrary::setMusicFolderForTesting(root.path() / "Music");
        delegate = startApplication(std::make_shared<AutoResetAlertPrompt>());
        clock->runUntilIdle();
    }
    ~AutoResetQuestion() override {
        platform::MPMediaLibrary::setMusicFolderForTesting({});
        platform::BGTaskScheduler::resetSharedForTesting();
        TimerViewModel::resetSharedForTesting();
        AudioManager::resetSharedForTesting();
        platform::UNUserNotificationCenter::resetCurrentForTesting();
    }

    // Counts of 2 and 5 when the app comes back after midnight.
    void returnAfterMidnight() {
        auto engine = TimerViewModel::shared();
        engine->setCurrentRound(2);
        engine->setCurrentGoal(5);
        clock->advance(16 * 3600);
        UIApplication::sharedApplication().resignActive();
        UIApplication::sharedApplication().becomeActive();
    }

    std::shared_ptr<AppDelegate> delegate;
};

TEST_F(AutoResetQuestion, AskedOnReturningAfterTheResetHourAndResetClearsTheCounts) {
    EXPECT_EQ(shownAlert(), nullptr) << "not on the first day";
    returnAfterMidnight();
    const auto alert = shownAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->message(), "Checking for Auto-Reset. Clear Pomodoro Round & Goal?");
    ASSERT_TRUE(press("Reset"));
    const auto engine = TimerViewModel::shared();
    EXPECT_EQ(engine->currentRound(), 0);
    EXPECT_EQ(engine->currentGoal(), 0);
    EXPECT_EQ(P::standardDefaults()->integerForKey(P::key(P::Case::latestGoal)), 0);
}

TEST_F(AutoResetQuestion, NoThanksKeepsTheCounts) {
    returnAfterMidnight();
    ASSERT_TRUE(press("No, thanks"));
    const auto engine = TimerViewModel::shared();
    EXPECT_EQ(engine->currentRound(), 2);
    EXPECT_EQ(engine->currentGoal(), 5);
}

}  // namespace
}  // namespace quorvel
