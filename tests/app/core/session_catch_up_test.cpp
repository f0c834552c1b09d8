#include "app/core/session_catch_up.h"

#include <gtest/gtest.h>

#include "app/core/temp_user_default_properties.h"
#include "app/core/user_defaults_accessors.h"
#include "app/core/zuvo_local_notification_manager.h"
#include "tests/app/core/timer_test_support.h"

using namespace quorvel;
using platform::NSDate;
using quorvel::testing::TimerEngineTest;
using T = SessionType;
using Focus = SessionCatchUp::FinishedFocus;

namespace {

// Focus 25, short break 5, long break 15 minutes, four focus sessions a round.
const SessionCatchUp::Settings kSettings{{1500, 300, 900}, 4};

std::vector<double> storedStamps() {
    std::vector<double> stamps;
    for (const auto& session : CoreDataManager::shared()->fetchAllSessions()) {
        stamps.insert(stamps.begin(), session->timestamp()->timeIntervalSinceReferenceDate());
    }
    return stamps;
}

}  // namespace

TEST(SessionCatchUpWalk, FindsTheSessionReachedAndTheFocusSessionsThatEnded) {
    struct Case {
        std::int64_t run;
        T startedType;
        std::int64_t round;
        double remaining;
        T type;
        std::int64_t roundAfter;
        std::vector<Focus> finished;
    };
    for (const auto& c : {
             Case{600, T::focus, 0, 900, T::focus, 0, {}},                                // still running
             Case{2400, T::focus, 0, 900.5, T::focus, 1, {{25, 1500}}},                   // past one break
             Case{1500, T::focus, 0, 300, T::shortBreak, 1, {{25, 1500}}},                // ended at the end
             Case{3301, T::focus, 0, 300, T::shortBreak, 2, {{25, 1500}, {25, 3300.5}}},  // the gap's end:
                                                                                          // passed
             Case{1700, T::focus, 3, 700, T::longBreak, 4, {{25, 1500}}},                 // the round's last
             Case{400, T::longBreak, 4, 1400, T::focus, 4, {}},  // 100 s of the next focus ran
         }) {
        SCOPED_TRACE(c.run);
        const double startedSeconds = c.startedType == T::longBreak ? 300 : 1500;
        const auto result =
            SessionCatchUp::walk(c.run, {startedSeconds, startedSeconds, c.startedType}, c.round, kSettings);
        EXPECT_EQ(result.remainingSeconds, c.remaining);
        EXPECT_EQ(result.type, c.type);
        EXPECT_EQ(result.round, c.roundAfter);
        EXPECT_EQ(result.finished, c.finished);
    }
}

TEST(SessionCatchUpWalk, StoresAReloadedFocusSessionWithTheWholeLengthItBeganWith) {
    // 50 s left of a one-minute session; a whole length below the length counts as the length.
    for (const auto& [whole, minutes] : {std::pair{60.0, 1}, std::pair{0.0, 0}}) {
        const auto result = SessionCatchUp::walk(70, {50, whole, T::focus}, 0, kSettings);
        EXPECT_EQ(result.finished, (std::vector<Focus>{{minutes, 50}}));
        EXPECT_EQ(result.type, T::shortBreak);
    }
}

TEST(SessionCatchUpWalk, StaysBoundedWithSessionsOfNoLength) {
    const auto result =
        SessionCatchUp::walk(1'000'000'000, {0, 0, T::focus}, 0, SessionCatchUp::Settings{{0, 0, 0}, 0});
    EXPECT_TRUE(result.finished.empty());  // focus sessions of no length are not counted
    EXPECT_EQ(result.remainingSeconds, 0);
}

class TimerCatchUpTest : public TimerEngineTest {
protected:
    TimerCatchUpTest() {
        setSetting(UserDefaultProperties::longBreakLength(15));
        timer = engine();
    }

    // Started at 10:00, in the background from `awayAt` (the chain scheduled as the app delegate does)
    // until `backAt`; the app is suspended meanwhile.
    void runAway(double awayAt, double backAt) {
        auto& application = platform::UIApplication::sharedApplication();
        application.launch(nullptr);
        timer->startTimer(true);
        clock->advance(awayAt);
        application.enterBackground();
        ZuvoLocalNotificationManager::scheduleSessionChangeNotifications(
            true, {false, timer->currentRound(), timer->currentGoal(), timer->elapsedTime()});
        clock->advance(backAt - awayAt);
        ASSERT_TRUE(application.isSuspended());
        application.enterForeground();
        clock->runUntilIdle();
    }

    // The program ended 30 s into a 25-minute focus session; the next one resumed it and was killed
    // 10 s later, in front (no chain); it starts again `awaySeconds` after the kill and catches up.
    void resumedKilledAndRelaunched(double awaySeconds) {
        timer->startTimer(true);
        clock->advance(30);
        TimerViewModel::resetSharedForTesting();
        timer = engine();
        timer->startTimer(true);
        clock->advance(10);
        TimerViewModel::resetSharedForTesting();
        timer.reset();
        clock->advance(awaySeconds);
        timer = engine();
        timer->restoreTimer(RestoreMoment::launch);
    }

    std::shared_ptr<TimerViewModel> timer;
};

TEST_F(TimerCatchUpTest, FortyMinutesAwayLandInTheSecondFocusSession) {
    runAway(10, 2400);
    timer->restoreTimer();
    EXPECT_EQ(timer->elapsedTime(), 900500);
    EXPECT_EQ(timer->currentSession(), (TimerSession{1500000, T::focus}));
    EXPECT_EQ(timer->currentRound(), 1);
    EXPECT_EQ(timer->currentGoal(), 1);
    EXPECT_EQ(storedStamps(), std::vector<double>{kTenOClock + 1500});
    EXPECT_TRUE(timer->pomodoroTimer());
    EXPECT_EQ(readLatestTimerStartedDate(*standard()), NSDate(kTenOClock + 2400 - 599.5));
    // It runs on from there.
    clock->advance(901);
    EXPECT_EQ(timer->currentSession().type, T::shortBreak);
    EXPECT_EQ(timer->currentGoal(), 2);
}

TEST_F(TimerCatchUpTest, AChainThatEndedBeforeTheReturnLeavesThePausedSessionOfItsEnd) {
    setSetting(UserDefaultProperties::autoRestart(false));  // the chain is the end of this session only
    runAway(10, 2400);
    timer->restoreTimer();
    EXPECT_FALSE(timer->pomodoroTimer());
    EXPECT_EQ(timer->currentSession(), (TimerSession{300000, T::shortBreak}));
    EXPECT_EQ(timer->elapsedTime(), 300000);
    EXPECT_EQ(storedStamps(), std::vector<double>{kTenOClock + 1500});
    EXPECT_FALSE(readLatestTimerStartedDate(*standard()));
}

TEST_F(TimerCatchUpTest, LaterSessionsAreStampedWithTheirRealEnds) {
    runAway(10, 3400);
    timer->restoreTimer();
    EXPECT_EQ(storedStamps(), (std::vector<double>{kTenOClock + 1500, kTenOClock + 3300.5}));
    EXPECT_EQ(timer->currentSession().type, T::shortBreak);
    EXPECT_EQ(timer->elapsedTime(), 201000);
    EXPECT_EQ(timer->currentRound(), 2);
}

TEST_F(TimerCatchUpTest, NothingChangesWithoutLostTimeOrConsistentDates) {
    // Right after creation the session has not run.
    timer->restoreTimer();
    EXPECT_EQ(timer->elapsedTime(), 1500000);
    // A chain that ends before the session started.
    runAway(10, 2400);
    TempUserDefaultProperties::save(
        TempUserDefaultProperties::lastSessionChangeNotificationDate(NSDate(kTenOClock - 60)));
    const double before = timer->elapsedTime();
    timer->restoreTimer();
    EXPECT_EQ(timer->elapsedTime(), before);
    EXPECT_TRUE(storedStamps().empty());
}

TEST_F(TimerCatchUpTest, AColdLaunchWalksFromTheStoredDates) {
    runAway(10, 2400);
    TimerViewModel::resetSharedForTesting();  // the process ended in the background
    timer = engine();
    timer->restoreTimer(RestoreMoment::launch);
    EXPECT_EQ(timer->elapsedTime(), 900500);
    EXPECT_EQ(timer->currentGoal(), 1);
    EXPECT_EQ(storedStamps(), std::vector<double>{kTenOClock + 1500});
}

TEST_F(TimerCatchUpTest, AResumedSessionKilledBeforeItsEndIsStoredWithItsWholeLength) {
    resumedKilledAndRelaunched(1600);  // the session ended 1470 s after the resumed start; the break runs
    const auto sessions = CoreDataManager::shared()->fetchAllSessions();
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0]->duration(), 25);
    EXPECT_EQ(sessions[0]->timestamp()->timeIntervalSinceReferenceDate(), kTenOClock + 30 + 1470);
    EXPECT_EQ(timer->currentSession().type, T::shortBreak);
    EXPECT_EQ(timer->sessionWholeLength(), 300000);
}

// Back before the resumed session ends, it is still the session it began as.
TEST_F(TimerCatchUpTest, ASessionStillRunningAfterTheCatchUpKeepsItsWholeLength) {
    resumedKilledAndRelaunched(60);
    EXPECT_EQ(timer->currentSession(), (TimerSession{1470000, T::focus}));
    EXPECT_EQ(timer->sessionWholeLength(), 1500000);
    finishSession();
    const auto sessions = CoreDataManager::shared()->fetchAllSessions();
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0]->duration(), 25);
}

// A question about the session in hand tells it from the next one by its number.
TEST_F(TimerCatchUpTest, ACatchUpWithinTheSessionInHandKeepsItsNumber) {
    const auto before = timer->sessionNumber();
    runAway(10, 600);
    timer->restoreTimer();
    EXPECT_EQ(timer->elapsedTime(), 900000);
    EXPECT_EQ(timer->sessionNumber(), before) << "still the focus session it left";
}

TEST_F(TimerCatchUpTest, ACatchUpPastTheSessionInHandTakesANewSessionNumber) {
    const auto before = timer->sessionNumber();
    runAway(10, 1600);
    timer->restoreTimer();
    EXPECT_EQ(timer->currentSession().type, T::shortBreak);
    EXPECT_NE(timer->sessionNumber(), before);
}
