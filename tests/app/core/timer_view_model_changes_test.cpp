#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/core/sound_vocabulary.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_defaults_accessors.h"
#include "app/core/zuvo_local_notification_manager.h"
#include "platform/avfoundation/av_url_asset.h"
#include "tests/app/core/timer_test_support.h"
#include "tests/support/scoped_observer.h"

using namespace quorvel;
using quorvel::testing::TimerEngineTest;
using T = SessionType;

namespace {

void post(const platform::NSNotificationName& name, std::any object = {}) {
    platform::NSNotificationCenter::defaultCenter().postNotificationName(name, std::move(object));
}

}  // namespace

TEST_F(TimerEngineTest, SkipsAndStopsLeaveAFreshSessionAndCountNothing) {
    struct Case {
        SessionReset kind;
        T from;
        std::int64_t round;
        TimerSession to;
        std::int64_t roundAfter;
    };
    const Case cases[] = {
        {SessionReset::Skip, T::focus, 3, {300000, T::shortBreak}, 3},  // never a long break
        {SessionReset::Skip, T::shortBreak, 3, {1500000, T::focus}, 3},
        {SessionReset::Skip, T::longBreak, 4, {1500000, T::focus}, 0},  // the break's end closes the round
        {SessionReset::StopAndReset, T::focus, 2, {1500000, T::focus}, 2},
        {SessionReset::StopAndReset, T::longBreak, 4, {1500000, T::focus}, 0},
    };
    auto timer = engine();
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.from));
        timer->applyRestoredSession(300, platform::NSDate::now(), 10, c.from, c.round, {});
        timer->setCurrentGoal(7);
        timer->startTimer(true);
        clock->advance(5);
        timer->reset(c.kind);
        EXPECT_EQ(timer->currentSession(), c.to);
        EXPECT_EQ(timer->elapsedTime(), c.to.length);
        EXPECT_FALSE(timer->pomodoroTimer());
        EXPECT_EQ(timer->currentRound(), c.roundAfter);
        EXPECT_EQ(timer->currentGoal(), 7);
        EXPECT_EQ(screen->button->titleForState(platform::UIControlStateNormal),
                  TimerViewModel::shortName(c.to.type));
        // Saved at once, so the app group shows the new session too.
        EXPECT_EQ(UserDefaultProperties::appGroupDefaults()->doubleForKey("CurrentTimerTime"),
                  c.to.length / 60000);
    }
    EXPECT_TRUE(CoreDataManager::shared()->fetchAllSessions().empty());
}

TEST_F(TimerEngineTest, SkippingALongBreakWithinItsFirstMinuteIsReported) {
    auto timer = engine();
    for (const double ranSeconds : {30.0, 120.0}) {
        timer->applyRestoredSession(1500, platform::NSDate::now(), 25, T::longBreak, 4, {});
        timer->startTimer(false);
        clock->advance(ranSeconds);
        const auto skipsBefore = amplitudeCalls(R"("event_type":"long_break_skip")");
        post(NotificationName::sessionSkipAlert());
        EXPECT_EQ(amplitudeCalls(R"("event_type":"long_break_skip")") - skipsBefore, ranSeconds < 60 ? 1 : 0)
            << ranSeconds;
        EXPECT_EQ(timer->currentSession().type, T::focus);
    }
    timer->startTimer(true);
    post(NotificationName::shouldResetSession());
    EXPECT_FALSE(timer->pomodoroTimer());
}

TEST_F(TimerEngineTest, TurningTheMinuteRingMakesAPausedSessionOfThatLength) {
    auto timer = engine();
    timer->startTimer(true);
    clock->advance(3);
    timer->setRemainingMinutes(10);
    EXPECT_FALSE(timer->pomodoroTimer());
    EXPECT_EQ(timer->currentSession(), (TimerSession{600000, T::focus}));
    EXPECT_EQ(timer->currentPomodoroLength(), 600000);
    EXPECT_EQ(screen->updates.back(), (TimerScreenUpdate{"0", "4", "0", "12", "10:00", 1.0}));
    EXPECT_EQ(standard()->doubleForKey("CurrentTimerTime"), 10.0);
    EXPECT_EQ(standard()->doubleForKey("CurrentTimerValue"), 1.0);
    for (const double bad : {-1.0, std::nan("")}) timer->setRemainingMinutes(bad);
    EXPECT_EQ(timer->elapsedTime(), 600000);
}

TEST_F(TimerEngineTest, ConfigureKeepsTheRoundWithinTheLimit) {
    struct Case {
        T type;
        std::int64_t limit;
        std::int64_t round;
        std::int64_t expected;
    };
    auto timer = engine();
    for (const auto& c :
         {Case{T::shortBreak, 3, 3, 3}, Case{T::longBreak, 3, 6, 3}, Case{T::shortBreak, 3, 4, 1},
          Case{T::focus, 3, 3, 0}, Case{T::shortBreak, 3, 0, 0}, Case{T::focus, 0, 5, 5},
          Case{T::shortBreak, 0, 5, 5}, Case{T::shortBreak, -1, 2, 2}}) {
        timer->applyRestoredSession(60, platform::NSDate::now(), 1, c.type, 0, {});
        timer->setCurrentRound(c.round);
        setSetting(UserDefaultProperties::roundLimit(c.limit));
        timer->configure();
        EXPECT_EQ(timer->currentRound(), c.expected)
            << static_cast<int>(c.type) << " " << c.limit << " " << c.round;
        EXPECT_EQ(timer->roundLimit(), c.limit);
    }
}

// A catch-up that passed a long break leaves a focus session with the round at its limit; the next
// configuration brings it within the limit, and what the screen then shows is what a relaunch reads.
TEST_F(TimerEngineTest, ARoundTheConfigurationBringsWithinTheLimitIsSaved) {
    setSetting(UserDefaultProperties::roundLimit(4));
    auto timer = engine();
    timer->applyRestoredSession(1200, platform::NSDate::now(), 25, T::focus, 4, {});
    ASSERT_EQ(standard()->integerForKey("TimerCountRound"), 4);
    timer->configure();
    EXPECT_EQ(timer->currentRound(), 0);
    EXPECT_EQ(standard()->integerForKey("TimerCountRound"), 0);
    EXPECT_EQ(UserDefaultProperties::appGroupDefaults()->integerForKey("TimerCountRound"), 0);
    EXPECT_EQ(screen->updates.back().round, "0");
}

TEST_F(TimerEngineTest, ANewEngineTakesTheSavedRemainingTimeAsAFreshSession) {
    setSetting(UserDefaultProperties::remainingRoundTime(12.5));
    setSetting(UserDefaultProperties::latestTimerType(T::shortBreak));
    setSetting(UserDefaultProperties::latestRound(2));
    auto timer = engine();
    EXPECT_EQ(timer->currentSession(), (TimerSession{750000, T::shortBreak}));
    EXPECT_EQ(timer->elapsedTime(), 750000);
    EXPECT_EQ(timer->currentRound(), 2);
    EXPECT_EQ(screen->updates.back().fraction, 1.0);
}

TEST_F(TimerEngineTest, SoundSettingsReachTheRunningTimer) {
    using Kind = SoundOptionFunction::TickingSoundType;
    auto timer = engine();
    timer->startTimer(true);
    const auto first = timer->tickingAudioPlayer();
    post(NotificationName::newTickingSoundSet(), Kind::shortBreak);  // another session's sound
    EXPECT_EQ(timer->tickingAudioPlayer(), first);
    post(NotificationName::newTickingSoundSet(), Kind::focus);
    EXPECT_NE(timer->tickingAudioPlayer(), first);

    setSetting(UserDefaultProperties::tickingVolume(0.25f));
    post(NotificationName::volumeAdjusted(), true);  // not a volume kind: ignored
    EXPECT_EQ(timer->tickingAudioPlayer()->volume(), 1.0f);
    post(NotificationName::volumeAdjusted(), VolumeType::ticking);
    EXPECT_EQ(timer->tickingAudioPlayer()->volume(), 0.25f);

    setSetting(UserDefaultProperties::tickingEnabled(false));
    post(NotificationName::soundMuted(), VolumeType::ticking);
    EXPECT_EQ(timer->tickingAudioPlayer()->playSoundFile()->asset()->URL().filename(), "None.mp3");

    setSetting(UserDefaultProperties::vibrateAlarmEnabled(true));
    post(NotificationName::soundMuted(), VolumeType::alert);
    EXPECT_TRUE(timer->alertAudioPlayer());
    EXPECT_EQ(platform::AudioServices::playedSystemSounds(), std::vector<platform::SystemSoundID>{4095});
    setSetting(UserDefaultProperties::alarmEnabled(false));
    post(NotificationName::soundMuted(), VolumeType::alert);
    EXPECT_FALSE(timer->alertAudioPlayer());
}

TEST_F(TimerEngineTest, TheBackgroundStopsScreenUpdatesUntilTheForeground) {
    auto timer = engine();
    timer->startTimer(true);
    timer->setDidPressPlay(true);
    post(platform::UIApplicationDidEnterBackgroundNotification);
    const auto shown = screen->updates.size();
    clock->advance(5);
    EXPECT_EQ(screen->updates.size(), shown);
    EXPECT_EQ(badge(), 24);
    post(platform::UIApplicationWillEnterForegroundNotification);
    EXPECT_FALSE(timer->didPressPlay());
    clock->advance(0.1);
    EXPECT_EQ(screen->updates.size(), shown + 2);
}

TEST_F(TimerEngineTest, TerminationWithdrawsTheSessionChangeChain) {
    auto timer = engine();
    timer->startTimer(true);
    ZuvoLocalNotificationManager::scheduleSessionChangeNotifications(true,
                                                                     {false, 0, 0, timer->elapsedTime()});
    clock->runUntilIdle();
    timer->setDidPressPlay(true);
    post(platform::UIApplicationWillTerminateNotification);
    clock->runUntilIdle();
    std::vector<std::shared_ptr<platform::UNNotificationRequest>> pending{nullptr};
    platform::UNUserNotificationCenter::currentNotificationCenter()
        ->getPendingNotificationRequestsWithCompletionHandler(
            [&](auto requests) { pending = std::move(requests); });
    clock->runUntilIdle();
    EXPECT_TRUE(pending.empty());
    EXPECT_TRUE(readScheduledSessionChangeNotificationIDs(*standard()).empty());
    EXPECT_EQ(analyticsEvents(), std::vector<std::string>{"Timer_Event Play_Button_Termination=Yes"});
}

// A question about the session in hand tells it from every later one by this number, read when the
// engine tells of the change.
TEST_F(TimerEngineTest, TheSessionNumberChangesExactlyWhenTheSessionInHandDoes) {
    auto timer = engine();
    std::vector<std::uint64_t> told;
    quorvel::testing::ScopedObserver observer(
        NotificationName::sessionDidChange(),
        [&](const platform::NSNotification&) { told.push_back(TimerViewModel::shared()->sessionNumber()); });
    const auto first = timer->sessionNumber();
    timer->startTimer(true);
    clock->advance(30);
    timer->pauseTimer(true);
    timer->startTimer(true);
    timer->reset(SessionReset::GoalsRound);
    timer->configure();
    clock->advance(30);
    EXPECT_EQ(timer->sessionNumber(), first) << "ticks, a pause, cleared counters and settings keep it";

    std::set<std::uint64_t> seen{first};
    const struct {
        const char* change;
        std::function<void()> make;
    } changes[] = {
        {"run out", [&] { finishSession(); }},
        {"skipped", [&] { timer->skipSession(); }},
        {"stopped", [&] { timer->resetSession(); }},
        {"minute ring", [&] { timer->setRemainingMinutes(7); }},
        {"a new engine", [&] {
             TimerViewModel::resetSharedForTesting();
             timer = engine();
         }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.change);
        told.clear();
        c.make();
        EXPECT_TRUE(seen.insert(timer->sessionNumber()).second);
        ASSERT_FALSE(told.empty());
        EXPECT_EQ(told.front(), timer->sessionNumber());
    }
}
