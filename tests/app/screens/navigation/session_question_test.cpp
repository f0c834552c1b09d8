#include <gtest/gtest.h>

#include "app/core/core_data_manager.h"
#include "app/core/timer_view_model.h"
#include "app/screens/timer/zuvo_alert_manager.h"
#include "tests/app/screens/navigation/launched_app.h"

namespace quorvel {
namespace {

using namespace platform;
using testing::LaunchedApp;

// The bar button's question about a one-minute focus session, asked while it runs.
class SessionQuestionApp : public LaunchedApp {
protected:
    void launchWithAMinuteOfFocus(bool autoRestart) {
        launch();
        UserDefaultProperties::save(UserDefaultProperties::autoRestart(autoRestart));
        TimerViewModel::shared()->setRemainingMinutes(1);
    }
    void startAndAskToStopWithTenSecondsLeft() {
        tap(*timerScreen()->progressView()->progressButton());
        clock->advance(50);
        tap(*container->skipButton());
        ASSERT_EQ(question(), "Stop current Focus Session?");
    }
    static bool running() { return TimerViewModel::shared()->pomodoroTimer() != nullptr; }
    static SessionType sessionType() { return TimerViewModel::shared()->currentSession().type; }
    static std::size_t storedSessions() { return CoreDataManager::shared()->fetchAllSessions().size(); }
};

// Breaks start by themselves or wait, as the parameter says.
class SessionQuestionFlow : public SessionQuestionApp, public ::testing::WithParamInterface<bool> {};

TEST_P(SessionQuestionFlow, AStopQuestionLeftOpenAcrossTheEndClosesAndTheBreakIsKept) {
    const bool autoRestart = GetParam();
    launchWithAMinuteOfFocus(autoRestart);
    startAndAskToStopWithTenSecondsLeft();
    clock->advance(5);
    EXPECT_EQ(question(), "Stop current Focus Session?") << "still the session it names";

    clock->advance(10);
    EXPECT_EQ(question(), "") << "the session it named has ended";
    EXPECT_EQ(storedSessions(), 1u);
    EXPECT_EQ(sessionType(), SessionType::shortBreak);
    EXPECT_EQ(running(), autoRestart);
    EXPECT_FALSE(answer("Stop"));
    EXPECT_EQ(sessionType(), SessionType::shortBreak);
    EXPECT_EQ(running(), autoRestart);
}

TEST_P(SessionQuestionFlow, AStopTappedInTheMomentTheSessionEndsActsOnNothing) {
    const bool autoRestart = GetParam();
    launchWithAMinuteOfFocus(autoRestart);
    startAndAskToStopWithTenSecondsLeft();
    const auto alert = QueuedAlertView::currentAlertView();
    ASSERT_TRUE(alert);
    const auto stop = alert->buttons().back();
    // Up to the tick that ends the session; the tap is taken in the same turn, the card still on screen.
    clock->advance(TimerViewModel::shared()->elapsedTime() / 1000 + 0.1);
    ASSERT_EQ(sessionType(), SessionType::shortBreak);
    stop->sendActionsForControlEvents(UIControlEventTouchUpInside);
    clock->advance(2);
    EXPECT_EQ(sessionType(), SessionType::shortBreak) << "the break was not what the person was asked about";
    EXPECT_EQ(running(), autoRestart);
    EXPECT_EQ(storedSessions(), 1u);
    EXPECT_EQ(question(), "");
}

TEST_P(SessionQuestionFlow, TheCatchUpAfterTheBackgroundClosesOnlyAQuestionWhoseSessionEnded) {
    const bool autoRestart = GetParam();
    launchWithAMinuteOfFocus(autoRestart);
    auto& application = UIApplication::sharedApplication();
    startAndAskToStopWithTenSecondsLeft();
    application.enterBackground();
    clock->advance(3);
    application.enterForeground();
    EXPECT_EQ(question(), "Stop current Focus Session?") << "back within the session it names";

    application.enterBackground();
    clock->advance(60);
    application.enterForeground();
    EXPECT_EQ(question(), "");
    EXPECT_EQ(sessionType(), SessionType::shortBreak);
    EXPECT_EQ(storedSessions(), 1u);
    EXPECT_FALSE(answer("Stop"));
    EXPECT_EQ(sessionType(), SessionType::shortBreak);
}

INSTANTIATE_TEST_SUITE_P(AutoRestart, SessionQuestionFlow, ::testing::Bool());

// How often alerts were taken off the screen.
class SessionQuestionQueue : public SessionQuestionApp {
protected:
    SessionQuestionQueue() {
        dismissals_ = NSNotificationCenter::defaultCenter().addObserverForName(
            QueuedAlertViewDidDismissNotification, [this](const NSNotification&) { ++dismissed; });
    }
    ~SessionQuestionQueue() override { NSNotificationCenter::defaultCenter().removeObserver(dismissals_.get()); }

    int dismissed = 0;

private:
    std::shared_ptr<NSNotificationObserverToken> dismissals_;
};

TEST_F(SessionQuestionQueue, AStopAnsweredStopsItsSessionAndClosesTheQuestionOnce) {
    launchWithAMinuteOfFocus(true);
    startAndAskToStopWithTenSecondsLeft();
    ASSERT_TRUE(answer("Stop"));
    clock->advance(2);
    EXPECT_EQ(dismissed, 1);
    EXPECT_FALSE(running());
    EXPECT_EQ(sessionType(), SessionType::focus);
    EXPECT_EQ(storedSessions(), 0u);
}

TEST_F(SessionQuestionQueue, ASessionEndingAsTheCancelledQuestionLeavesClosesItOnce) {
    launchWithAMinuteOfFocus(true);
    startAndAskToStopWithTenSecondsLeft();
    const auto alert = QueuedAlertView::currentAlertView();
    // Cancelled a tick before the end: the card is still on its way out as the session ends.
    clock->advance(TimerViewModel::shared()->elapsedTime() / 1000);
    alert->buttons().front()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    clock->advance(0.1);
    ASSERT_EQ(sessionType(), SessionType::shortBreak);
    clock->advance(2);
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(question(), "");
    EXPECT_TRUE(running());
}

TEST_F(SessionQuestionQueue, AQuestionWhoseSessionWentBeforeItShowsNeverComesUp) {
    launch();
    container->skipButtonPressed();
    // The skip question shows from the main queue; the session is skipped before it runs.
    TimerViewModel::shared()->skipSession();
    EXPECT_EQ(question(), "");
    EXPECT_EQ(sessionType(), SessionType::shortBreak);
}

TEST_F(SessionQuestionQueue, AQuestionThatGaveWayLeavesTheQueueWithItsSession) {
    launchWithAMinuteOfFocus(true);
    startAndAskToStopWithTenSecondsLeft();
    ZuvoAlertManager::showAutoResetAlert();
    ASSERT_EQ(question(), "Checking for Auto-Reset. Clear Pomodoro Round & Goal?");
    clock->advance(10);
    ASSERT_EQ(sessionType(), SessionType::shortBreak);
    ASSERT_TRUE(answer("No, thanks"));
    EXPECT_EQ(question(), "") << "the stop question named the focus session that ended";
    EXPECT_EQ(sessionType(), SessionType::shortBreak);
}

TEST_F(SessionQuestionQueue, AQuestionWhoseSessionEndsAsItGivesWayDoesNotComeBack) {
    launchWithAMinuteOfFocus(true);
    startAndAskToStopWithTenSecondsLeft();
    clock->advance(TimerViewModel::shared()->elapsedTime() / 1000 - 0.05);
    ZuvoAlertManager::showAutoResetAlert();
    clock->advance(0.2);  // the stop question is on its way out as the session ends
    ASSERT_EQ(sessionType(), SessionType::shortBreak);
    ASSERT_EQ(question(), "Checking for Auto-Reset. Clear Pomodoro Round & Goal?");
    ASSERT_TRUE(answer("No, thanks"));
    clock->advance(2);
    EXPECT_EQ(question(), "");
    EXPECT_EQ(sessionType(), SessionType::shortBreak);
    EXPECT_TRUE(running());
}

}  // namespace
}  // namespace quorvel
