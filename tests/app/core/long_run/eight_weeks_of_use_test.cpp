// Eight weeks of one user's days on the virtual clock, in Berlin across the change to summer time:
// sessions in front and in the background, pauses, skips, resets, the minute ring, the daily auto-reset
// question, kills while active, restarts followed by minimising, and a second device syncing through the
// shared cloud folder. After every step the store, the counters and the clock text must agree.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>

#include "app/core/app_delegate.h"
#include "app/core/cloud_sync_manager.h"
#include "app/core/core_data_manager.h"
#include "platform/foundation/ns_time_zone.h"
#include "tests/app/core/launch_environment.h"
#include "tests/app/core/sync_device_runner.h"
#include "tests/app/core/timer_test_support.h"
#include "tests/platform/foundation/civil_time.h"

using namespace quorvel;
using platform::NSDate;
using quorvel::testing::utc;

namespace {

// Eight weeks; two under the sanitizers, whose unoptimised ticks are many times slower (still across the
// change to summer time on day 13).
constexpr int kDays = QUORVEL_LONG_RUN_DAYS;
constexpr int kSecondDeviceSessionsPerWeek = 3;

// Berlin's offset in 2026, written out rather than asked of the calendar the app uses: summer time
// from 29 March, 01:00 UTC.
int berlinOffsetHours(NSDate instant) { return instant < utc(2026, 3, 29, 1) ? 1 : 2; }

// A local time in Berlin on the given day after Monday 16 March 2026.
NSDate berlin(int day, int hour, int minute = 0) {
    const auto day0 = static_cast<unsigned>(16 + day);
    return utc(2026, 3, day0, hour - berlinOffsetHours(utc(2026, 3, day0, hour - 1)), minute);
}

// Answers the auto-reset question at once, one way or the other.
class AnsweringPrompt : public AutoResetPrompt {
public:
    void showAutoResetAlert(std::function<void(bool)> answer) override {
        ++asked;
        answer(nextAnswer);
    }
    int asked = 0;
    bool nextAnswer = false;
};

class EightWeeksOfUse : public ::testing::Test {
protected:
    EightWeeksOfUse() {
        ::setenv("QUORVEL_CLOUD", cloud().c_str(), 1);
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
    }

    std::filesystem::path cloud() const { return root.path() / "cloud"; }

    std::shared_ptr<TimerViewModel> engine() { return quorvel::testing::sharedEngineShownOn(screen); }
    bool running() { return engine()->pomodoroTimer() != nullptr; }

    // The day's end, 21:00 local: no session runs on towards midnight.
    double secondsLeftToday() const { return berlin(day_, 21).timeIntervalSinceDate(NSDate::now()); }

    // Goals only grow by finished focus sessions; they fall only to zero, by a reset.
    void account(const char* step) {
        SCOPED_TRACE(std::string(step) + " on day " + std::to_string(day_));
        const auto goal = engine()->currentGoal();
        if (goal < goal_)
            ASSERT_EQ(goal, 0) << "the goal fell from " << goal_ << " without a reset";
        else
            counted_ += goal - goal_;
        goal_ = goal;
        checkStore();
    }

    // Own sessions are stamped now (2026); the second device's far in the past (2001).
    void checkStore() {
        std::set<std::string> identifiers;
        std::int64_t own = 0, foreign = 0;
        for (const auto& session : CoreDataManager::shared()->fetchAllSessions()) {
            ASSERT_TRUE(identifiers.insert(session->uniqueIdentifier()).second)
                << "session " << session->uniqueIdentifier() << " is stored twice";
            ASSERT_TRUE(session->timestamp());
            (*session->timestamp() > utc(2026, 1, 1) ? own : foreign) += 1;
        }
        ASSERT_EQ(own, counted_) << "stored focus sessions differ from the counted ones";
        ASSERT_LE(foreign, secondDeviceSessions_);
        importedForeign_ = foreign;
    }

    // While the timer runs in front, the last text the screen got is the remaining time.
    void checkClockText() {
        if (!running() || screen->updates.empty()) return;
        int minutes = -1, seconds = -1;
        const auto& text = screen->updates.back().timeText;
        ASSERT_EQ(std::sscanf(text.c_str(), "%d:%d", &minutes, &seconds), 2) << text;
        const double shown = minutes * 60 + seconds, remaining = engine()->elapsedTime() / 1000;
        ASSERT_TRUE(seconds < 60 && shown <= remaining + 1e-6 && remaining < shown + 1)
            << text << " shown with " << remaining << " s remaining";
    }

    void advanceInFront(double seconds) {
        while (seconds > 0 && !HasFatalFailure()) {
            const double step = std::min(seconds, 37.3);
            clock->advance(step);
            seconds -= step;
            checkClockText();
        }
    }

    // Shorter sessions than the defaults keep eight weeks of ticks affordable.
    void turnTheRingIfLong() {
        if (engine()->elapsedTime() > 3 * 60000.0) {
            engine()->setRemainingMinutes(static_cast<double>(1 + rng_() % 3));
            account("ring");
        }
    }

    void focusInFront() {
        turnTheRingIfLong();
        if (!running()) engine()->startTimer(true);
        const auto before = engine()->currentSession();
        const double remaining = engine()->elapsedTime() / 1000;
        advanceInFront(std::min(remaining + 0.3, secondsLeftToday()));
        account(engine()->currentSession() == before ? "a session in front" : "a session's end");
    }

    void pauseAndResume() {
        turnTheRingIfLong();
        if (!running()) engine()->startTimer(true);
        advanceInFront(static_cast<double>(5 + rng_() % 60));
        engine()->pauseTimer(true);
        account("pause");
        clock->advance(static_cast<double>(60 + rng_() % 900));
        engine()->startTimer(true);
        advanceInFront(static_cast<double>(5 + rng_() % 60));
        account("resume");
    }

    void awayWhileRunning() {
        if (!running()) engine()->startTimer(true);
        clock->advance(1);
        app.enterBackground();
        clock->runUntilIdle();
        const double away = std::min(static_cast<double>(5 + rng_() % 100) * 60, secondsLeftToday() - 60);
        clock->advance(std::max(away, 1.0));
        app.enterForeground();
        clock->runUntilIdle();
        account("return to the foreground");
    }

    // The process is killed: what its preferences had not written yet is lost. It starts again
    // `seconds` later with the window active.
    void relaunchAfterAKill(double seconds) {
        platform::NSUserDefaults::resetAllForTesting();
        TimerViewModel::resetSharedForTesting();
        platform::UNUserNotificationCenter::resetCurrentForTesting();
        clock = platform::VirtualClock::install(clock->now() + std::max(seconds, 1.0));
        relaunched_ = std::make_shared<AppDelegate>(prompt);
        relaunched_->finishLaunching({});
        clock->runUntilIdle();
        ++relaunches_;
        advanceInFront(1);
    }

    void killWhileActive() {
        turnTheRingIfLong();
        if (!running()) engine()->startTimer(true);
        advanceInFront(static_cast<double>(5 + rng_() % 60));
        relaunchAfterAKill(std::min(static_cast<double>(10 + rng_() % 300), secondsLeftToday() - 60));
        account("a kill while active");
    }

    // Stopped, the process ends and starts again; the session it reloads is resumed and the window
    // minimised.
    void restartThenMinimise() {
        turnTheRingIfLong();
        if (!running()) engine()->startTimer(true);
        advanceInFront(static_cast<double>(5 + rng_() % 60));
        engine()->pauseTimer(true);
        clock->advance(2);
        relaunchAfterAKill(30);
        account("a restart");
        engine()->startTimer(true);
        advanceInFront(static_cast<double>(5 + rng_() % 30));
        awayWhileRunning();
    }

    void syncWithTheSecondDevice() {
        if (day_ / 7 == devicesWeek_) {
            ++devicesWeek_;
            const auto ids = quorvel::testing::runSyncDevice(root.path() / "second", cloud(),
                                                             kSecondDeviceSessionsPerWeek, 1000.0 + day_ * 10);
            secondDeviceSessions_ += kSecondDeviceSessionsPerWeek;
            ASSERT_EQ(std::set(ids.begin(), ids.end()).size(), ids.size()) << "the second device holds a duplicate";
            ASSERT_GE(static_cast<std::int64_t>(ids.size()), secondDeviceSessions_);
            ASSERT_LE(static_cast<std::int64_t>(ids.size()), secondDeviceSessions_ + counted_);
        }
        for (int pass = 0; pass < 2; ++pass) {
            bool done = false;
            CloudSyncManager::shared()->synchronize([&] { done = true; });
            for (int i = 0; i < 600 && !done; ++i) clock->advance(0.05);
            ASSERT_TRUE(done) << "the sync never finished";
        }
        account("sync");
        ASSERT_EQ(importedForeign_, secondDeviceSessions_) << "a second-device session did not arrive";
    }

    void morning() {
        clock->advance(berlin(day_, 8, static_cast<int>(rng_() % 50)).timeIntervalSinceDate(NSDate::now()));
        prompt->nextAnswer = rng_() % 2 == 0;
        app.enterForeground();
        clock->runUntilIdle();
        account("morning");
    }

    void evening() {
        if (running()) engine()->pauseTimer(true);
        account("evening");
        app.enterBackground();
        clock->runUntilIdle();
    }

    void live(int day) {
        day_ = day;
        if (day > 0) morning();
        const int steps = 4 + static_cast<int>(rng_() % 6);
        for (int step = 0; step < steps && secondsLeftToday() > 30 * 60 && !HasFatalFailure(); ++step) {
            switch (rng_() % 12) {
                case 0: case 1: case 2: case 3: focusInFront(); break;
                case 4: pauseAndResume(); break;
                case 5: case 6: awayWhileRunning(); break;
                case 7: engine()->skipSession(); account("skip"); break;
                case 8: engine()->reset(rng_() % 2 ? SessionReset::Round : SessionReset::GoalsRound); account("reset"); break;
                case 9: syncWithTheSecondDevice(); break;
                case 10: killWhileActive(); break;
                case 11: restartThenMinimise(); break;
            }
        }
        if (day % 7 == 6) syncWithTheSecondDevice();
        evening();
    }

    quorvel::testing::TempDataRoot root{quorvel::testing::fastTemporaryFolder()};
    quorvel::testing::LaunchEnvironment environment{root.path()};
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install(berlin(0, 8).timeIntervalSinceReferenceDate());
    std::shared_ptr<AnsweringPrompt> prompt = std::make_shared<AnsweringPrompt>();
    std::shared_ptr<AppDelegate> delegate = std::make_shared<AppDelegate>(prompt);
    std::shared_ptr<quorvel::testing::RecordingTimerScreen> screen =
        std::make_shared<quorvel::testing::RecordingTimerScreen>();
    platform::UIApplication& app = platform::UIApplication::sharedApplication();
    std::shared_ptr<AppDelegate> relaunched_;

    std::int64_t counted() const { return counted_; }
    int relaunches() const { return relaunches_; }
    std::int64_t secondDeviceSessions() const { return secondDeviceSessions_; }

private:
    std::mt19937 rng_{20261206};
    int day_ = 0;
    std::int64_t goal_ = 0;
    std::int64_t counted_ = 0;
    std::int64_t secondDeviceSessions_ = 0;
    std::int64_t importedForeign_ = 0;
    int devicesWeek_ = 0;
    int relaunches_ = 0;
};

}  // namespace

TEST_F(EightWeeksOfUse, StoreCountersAndClockTextAgreeAfterEveryStep) {
    app.launch(delegate);
    clock->runUntilIdle();
    ASSERT_NO_FATAL_FAILURE(account("launch"));
    for (int day = 0; day < kDays && !HasFatalFailure(); ++day) live(day);
    EXPECT_GT(prompt->asked, kDays * 3 / 4) << "the auto-reset question comes once a morning";
    EXPECT_GT(counted(), kDays * 2);
    EXPECT_GT(relaunches(), kDays / 2);
    EXPECT_EQ(secondDeviceSessions(), kDays / 7 * kSecondDeviceSessionsPerWeek);
}
