#include "app/screens/timer/auto_reset_alert_prompt.h"

#include "app/core/start_application.h"
#include "app/core/timer_view_model.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/uikit/application/ui_application.h"
#include "tests/app/core/launch_environment.h"
#include "tests/app/screens/timer/app_alert_test.h"
#include "tests/platform/foundation/civil_time.h"

namespace quorvel {
namespace {

// The app started as the shell starts it, on 2 March 2026 at 10:00 in Berlin; counts clear at midnight.
class AutoResetQuestion : public testing::AppAlertTest {
protected:
    AutoResetQuestion() : AppAlertTest(testing::utc(2026, 3, 2, 9).timeIntervalSinceReferenceDate()) {
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
        delegate = startApplication(std::make_shared<AutoResetAlertPrompt>());
        clock->runUntilIdle();
    }

    testing::LaunchEnvironment environment{root.path()};
    std::shared_ptr<AppDelegate> delegate;
};

TEST_F(AutoResetQuestion, ReturningAfterMidnightAsksAndResetClearsTheCounts) {
    EXPECT_EQ(shownAlert(), nullptr) << "not on the day of the first launch";
    const auto engine = TimerViewModel::shared();
    engine->setCurrentRound(2);
    engine->setCurrentGoal(5);
    clock->advance(16 * 3600);
    platform::UIApplication::sharedApplication().resignActive();
    platform::UIApplication::sharedApplication().becomeActive();

    ASSERT_NE(shownAlert(), nullptr);
    EXPECT_EQ(shownAlert()->message(), "Checking for Auto-Reset. Clear Pomodoro Round & Goal?");
    ASSERT_TRUE(press("Reset"));
    EXPECT_EQ(engine->currentRound(), 0);
    EXPECT_EQ(engine->currentGoal(), 0);
}

}  // namespace
}  // namespace quorvel
