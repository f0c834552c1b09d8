#include "app/core/timer_view_model.h"

#include <gtest/gtest.h>

#include "app/core/theme_colors.h"
#include "app/core/user_defaults_accessors.h"
#include "tests/app/core/timer_test_support.h"
#include "tests/support/scoped_observer.h"

using namespace quorvel;
using platform::NSDate;
using quorvel::testing::TimerEngineTest;

namespace {

std::vector<std::shared_ptr<Session>> storedSessions() {
    return CoreDataManager::shared()->fetchAllSessions();
}

}  // namespace

TEST_F(TimerEngineTest, AFocusSessionRuns15000TicksToZeroAndEndsOnTheNextTick) {
    auto timer = engine();
    int chartPosts = 0;
    // The observers write into this test's locals: they go with them.
    quorvel::testing::ScopedObserver charts(NotificationName::changeChartsData(),
                                            [&](const platform::NSNotification&) { ++chartPosts; });
    SessionNames announced;
    quorvel::testing::ScopedObserver sessions(
        NotificationName::sessionDidChange(),
        [&](const platform::NSNotification& note) { announced = *note.objectAs<SessionNames>(); });
    timer->startTimer(true);
    EXPECT_EQ(readLatestTimerStartedDate(*standard()), NSDate(kTenOClock));
    EXPECT_EQ(standard()->integerForKey("latestLength"), 25);
    EXPECT_EQ(amplitudeCalls(R"("user_properties":{"$set":{"timer_start_alarm":"on"}})"), 1);
    EXPECT_EQ(amplitudeCalls(R"("user_properties":{"$set":{"timer_start_sound":"on"}})"), 1);
    screen->updates.clear();

    clock->advance(1500);
    EXPECT_EQ(screen->updates.size(), 15000u);
    EXPECT_EQ(timer->elapsedTime(), 0);
    EXPECT_EQ(timer->currentSession().type, SessionType::focus);
    EXPECT_EQ(screen->updates.back().timeText, "00:00");
    EXPECT_TRUE(storedSessions().empty());

    clock->advance(0.1);
    const auto stored = storedSessions();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->duration(), 25);
    EXPECT_EQ(stored[0]->type(), 0);
    EXPECT_NEAR(stored[0]->timestamp()->timeIntervalSinceReferenceDate(), kTenOClock + 1500.1, 1e-3);
    EXPECT_EQ(chartPosts, 1);
    EXPECT_EQ(analyticsEvents(), std::vector<std::string>{"Timer_Event End_Timer=Focus_Session"});
    EXPECT_EQ(timer->currentRound(), 1);
    EXPECT_EQ(timer->currentGoal(), 1);
    EXPECT_EQ(timer->currentSession(), (TimerSession{300000, SessionType::shortBreak}));
    EXPECT_EQ(timer->elapsedTime(), 300000);
    EXPECT_EQ(screen->updates.back(), (TimerScreenUpdate{"1", "4", "1", "12", "05:00", 1.0}));
    EXPECT_EQ(screen->button->titleForState(platform::UIControlStateNormal), "Break");
    EXPECT_EQ(announced, (SessionNames{"Short Break", "Break"}));
    EXPECT_EQ(*screen->view->backgroundColor(), *defaultShortBreakThemeColor());
    ASSERT_TRUE(timer->alertAudioPlayer());
    EXPECT_EQ(timer->alertAudioPlayer()->status(), AudioPlayer::Status::playing);
    // The saved state follows, in both suites.
    EXPECT_EQ(standard()->doubleForKey("CurrentTimerTime"), 5.0);
    EXPECT_EQ(UserDefaultProperties::appGroupDefaults()->integerForKey("CurrentTimerType"), 1);
}

TEST_F(TimerEngineTest, TheNextSessionStartsHalfASecondLaterOnlyWithAutoRestart) {
    auto timer = engine();
    timer->startTimer(true);
    finishSession();
    clock->advance(0.5);
    ASSERT_TRUE(timer->pomodoroTimer());
    EXPECT_EQ(runningStatusPosts, (std::vector<bool>{true, true}));  // never stopped in between
    EXPECT_EQ(timer->tickingAudioURL()->filename(), "Wall Clock Ticking.mp3");

    setSetting(UserDefaultProperties::autoRestart(false));
    finishSession();
    clock->advance(10);
    EXPECT_FALSE(timer->pomodoroTimer());
    EXPECT_EQ(timer->currentSession(), (TimerSession{1500000, SessionType::focus}));
    EXPECT_EQ(timer->elapsedTime(), 1500000);
    EXPECT_EQ(runningStatusPosts.back(), false);
    EXPECT_EQ(screen->statuses.back(), TimerStatus::Stopped);

    // A stop in the half second calls the restart off.
    setSetting(UserDefaultProperties::autoRestart(true));
    timer->startTimer(true);
    finishSession();
    timer->reset(SessionReset::StopAndReset);
    clock->advance(1);
    EXPECT_FALSE(timer->pomodoroTimer());
}

TEST_F(TimerEngineTest, RoundLimitsChooseTheBreaks) {
    setSetting(UserDefaultProperties::focusLength(1));
    setSetting(UserDefaultProperties::shortBreakLength(1));
    setSetting(UserDefaultProperties::longBreakLength(2));
    struct Case {
        std::int64_t limit;
        std::vector<SessionType> breaks;  // after each of five focus sessions
        std::vector<std::int64_t> roundsAfterBreaks;
    };
    using T = SessionType;
    for (const auto& c :
         {Case{
              4, {T::shortBreak, T::shortBreak, T::shortBreak, T::longBreak, T::shortBreak}, {1, 2, 3, 0, 1}},
          Case{-1, {T::longBreak, T::longBreak, T::longBreak, T::longBreak, T::longBreak}, {0, 0, 0, 0, 0}},
          Case{0,
               {T::shortBreak, T::shortBreak, T::shortBreak, T::shortBreak, T::shortBreak},
               {1, 2, 3, 4, 5}}}) {
        SCOPED_TRACE(c.limit);
        setSetting(UserDefaultProperties::roundLimit(c.limit));
        setSetting(UserDefaultProperties::latestRound(0));
        auto timer = engine();
        timer->setCurrentRound(0);
        timer->setCurrentGoal(0);
        timer->configure();
        const auto longBreaksBefore = amplitudeCalls(R"("event_type":"long_break_start")");
        timer->startTimer(true);
        for (std::size_t i = 0; i < c.breaks.size(); ++i) {
            finishSession();
            ASSERT_EQ(timer->currentSession().type, c.breaks[i]) << "after focus session " << i + 1;
            clock->advance(0.5);
            finishSession();
            EXPECT_EQ(timer->currentRound(), c.roundsAfterBreaks[i]);
            clock->advance(0.5);
        }
        const auto longBreaks = amplitudeCalls(R"("event_type":"long_break_start")") - longBreaksBefore;
        EXPECT_EQ(longBreaks, std::ranges::count(c.breaks, T::longBreak));
        EXPECT_EQ(timer->currentGoal(), 5);
        timer->pauseTimer(true);
    }
}

TEST_F(TimerEngineTest, PausesKeepTheStartDateOnlyInTheMiddleOfASessionWithoutForce) {
    auto timer = engine();
    timer->startTimer(true);
    timer->pauseTimer(false);  // the session has not run
    EXPECT_FALSE(readLatestTimerStartedDate(*standard()));
    timer->startTimer(true);
    clock->advance(60);
    timer->pauseTimer(false);
    EXPECT_EQ(readLatestTimerStartedDate(*standard()), NSDate(kTenOClock));
    clock->advance(30);
    timer->startTimer(true);  // resumed: the start moves by the pause
    EXPECT_EQ(readLatestTimerStartedDate(*standard()), NSDate(kTenOClock + 30));
    timer->pauseTimer(true);
    EXPECT_FALSE(readLatestTimerStartedDate(*standard()));
    EXPECT_FALSE(timer->tickingAudioPlayer());
    EXPECT_EQ(timer->elapsedTime(), 1440000);
}

TEST_F(TimerEngineTest, TheBadgeShowsTheRemainingWholeMinutesWhileRunning) {
    auto timer = engine();
    timer->startTimer(true);
    clock->advance(0.1);
    EXPECT_EQ(badge(), 24);  // 24:59.9 left
    timer->pauseTimer(false);
    EXPECT_EQ(badge(), 0);
    setSetting(UserDefaultProperties::timerBadgeEnabled(false));
    timer->startTimer(true);
    clock->advance(1);
    EXPECT_EQ(badge(), 0);
}

TEST_F(TimerEngineTest, ARunningTimersTicksWriteNoFileUntilSomethingElseDoes) {
    auto timer = engine();
    timer->startTimer(true);
    clock->advance(2);  // the start's own write
    const auto group = UserDefaultProperties::appGroupDefaults();
    const auto writesBefore = standard()->fileWriteCount() + group->fileWriteCount();
    clock->advance(60);
    EXPECT_EQ(standard()->fileWriteCount() + group->fileWriteCount(), writesBefore);
    EXPECT_EQ(standard()->stringForKey("CurrentTimerText"), "23:58");
    EXPECT_DOUBLE_EQ(group->doubleForKey("CurrentTimerValue"), 1438.0 / 1500);
    // The next write of the suite takes them along.
    setSetting(UserDefaultProperties::timerBadgeEnabled(false));
    clock->advance(1.05);
    platform::NSUserDefaults::resetAllForTesting();  // read as the next process would
    EXPECT_EQ(standard()->stringForKey("CurrentTimerText"), "23:57");
}

TEST_F(TimerEngineTest, AZeroLengthFocusSessionEndsUncountedAndUnstoredWithAZeroProgress) {
    auto timer = engine();
    timer->setRemainingMinutes(0);
    EXPECT_EQ(standard()->doubleForKey("CurrentTimerValue"), 0);
    EXPECT_EQ(UserDefaultProperties::appGroupDefaults()->doubleForKey("CurrentTimerValue"), 0);
    timer->startTimer(true);
    clock->advance(0.1);
    EXPECT_EQ(timer->currentSession().type, SessionType::shortBreak);
    EXPECT_EQ(timer->currentRound(), 0);
    EXPECT_EQ(timer->currentGoal(), 0);
    EXPECT_TRUE(storedSessions().empty());
}

TEST_F(TimerEngineTest, TheMinuteRingFollowsTheRemainingTimeWithinItsRange) {
    auto timer = engine();
    timer->setRemainingMinutes(65);
    timer->refreshUI();
    EXPECT_EQ(screen->ringIndex, 64);
    timer->startTimer(true);
    EXPECT_EQ(screen->ringOffset, 64);
    clock->advance(61);
    EXPECT_DOUBLE_EQ(screen->ringOffset, 63.0 + 59.0 / 60);
}

// A 25-minute focus session run for 30 s when the program ended reloads as a session of 24:30 that is
// still the 25-minute session it began as; a saved state from before the whole length was kept
// reloads with what was left.
TEST_F(TimerEngineTest, AFocusSessionReloadedFromTheSavedStateIsStoredWithItsWholeLength) {
    for (const bool keptWholeLength : {true, false}) {
        SCOPED_TRACE(keptWholeLength);
        engine()->startTimer(true);
        clock->advance(30);
        TimerViewModel::resetSharedForTesting();  // the program ended
        if (!keptWholeLength) standard()->removeObjectForKey("CurrentTimerWholeMilliseconds");

        const auto timer = engine();
        EXPECT_EQ(timer->currentSession(), (TimerSession{1470000, SessionType::focus}));
        EXPECT_EQ(timer->sessionWholeLength(), keptWholeLength ? 1500000 : 1470000);
        timer->startTimer(true);
        EXPECT_EQ(standard()->integerForKey("latestLength"), 24);  // still the started length's minutes
        finishSession();
        ASSERT_FALSE(storedSessions().empty());
        EXPECT_EQ(storedSessions().front()->duration(), keptWholeLength ? 25 : 24);
        // The break after it is a session of its own again.
        EXPECT_EQ(standard()->doubleForKey("CurrentTimerWholeMilliseconds"), 300000);
        timer->reset(SessionReset::StopAndReset);
    }
}

TEST_F(TimerEngineTest, TheMinuteRingsMinutesAreTheWholeLengthOfTheSessionTheyMake) {
    auto timer = engine();
    timer->startTimer(true);
    clock->advance(30);
    timer->setRemainingMinutes(1);
    EXPECT_EQ(timer->sessionWholeLength(), 60000);
    timer->startTimer(true);
    finishSession();
    ASSERT_EQ(storedSessions().size(), 1u);
    EXPECT_EQ(storedSessions()[0]->duration(), 1);
}
