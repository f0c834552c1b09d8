#include "app/core/app_delegate.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "app/core/first_launch_defaults.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_data_manager.h"
#include "app/core/user_defaults_accessors.h"
#include "app/core/zuvo_local_notification_manager.h"
#include "platform/backgroundtasks/bg_task_scheduler.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/mediaplayer/mp_media_item.h"
#include "platform/mediaplayer/mp_media_library.h"
#include "platform/usernotifications/un_calendar_notification_trigger.h"
#include "tests/app/core/launch_environment.h"
#include "tests/app/core/store_test_support.h"
#include "tests/app/core/timer_test_support.h"
#include "tests/platform/foundation/civil_time.h"
#include "tests/support/main_queue_until.h"
#include "tests/support/song_file.h"

using namespace quorvel;
using platform::NSDate;
using platform::UIApplication;
using quorvel::testing::utc;
using P = UserDefaultProperties;
using T = TempUserDefaultProperties;

namespace {

// The auto-reset question of the timer screen: counts the questions and keeps the last answer hook.
class RecordingPrompt : public AutoResetPrompt {
public:
    void showAutoResetAlert(std::function<void(bool)> answer) override {
        ++asked;
        this->answer = std::move(answer);
    }
    int asked = 0;
    std::function<void(bool)> answer;
};

// A device on 2 March 2026 (UTC) whose app has not started yet, with an empty music folder and a log of
// every user-defaults write.
class AppLifecycleTest : public ::testing::Test {
protected:
    struct Write {
        std::string key;
        std::optional<platform::Value> value;
    };

    AppLifecycleTest() {
        platform::NSUserDefaults::setWriteObserver(
            [this](const std::string&, const std::string& key, const std::optional<platform::Value>& value) {
                std::lock_guard lock(mutex_);
                writes_.push_back({key, value});
            });
    }
    ~AppLifecycleTest() override { platform::NSUserDefaults::setWriteObserver({}); }

    void launch() {
        app.launch(delegate);
        clock->runUntilIdle();
    }
    // The process ended; a new one starts `seconds` later with a new delegate.
    std::shared_ptr<AppDelegate> relaunchAfter(double seconds) {
        TimerViewModel::resetSharedForTesting();
        platform::UNUserNotificationCenter::resetCurrentForTesting();
        clock = platform::VirtualClock::install(clock->now() + seconds);
        auto relaunched = std::make_shared<AppDelegate>(prompt);
        relaunched->finishLaunching({});
        clock->runUntilIdle();
        return relaunched;
    }
    // The process is killed: what its preferences had not written yet is lost with it.
    std::shared_ptr<AppDelegate> killAndRelaunchAfter(double seconds) {
        platform::NSUserDefaults::resetAllForTesting();
        return relaunchAfter(seconds);
    }
    // A fresh focus session of `minutes` in front, started now.
    std::shared_ptr<TimerViewModel> startFocusOf(std::int64_t minutes) {
        P::save(P::focusLength(minutes));
        auto engine = TimerViewModel::shared();
        engine->setDelegate(screen);
        engine->configure();
        engine->resetSession();
        engine->startTimer(true);
        return engine;
    }
    // Minimised for `seconds`, then back.
    void leaveFor(double seconds) {
        app.enterBackground();
        clock->runUntilIdle();
        clock->advance(seconds);
        app.enterForeground();
        clock->runUntilIdle();
    }
    static std::vector<std::shared_ptr<Session>> sessions() { return CoreDataManager::shared()->fetchAllSessions(); }
    void startTimer() {
        auto engine = TimerViewModel::shared();
        engine->setDelegate(screen);
        engine->configure();
        engine->startTimer(true);
        clock->advance(1);
    }
    void reactivate() {
        app.resignActive();
        app.becomeActive();
        clock->runUntilIdle();
    }

    std::vector<std::string> writtenKeys() {
        std::lock_guard lock(mutex_);
        std::vector<std::string> keys;
        for (const auto& write : std::exchange(writes_, {})) keys.push_back(write.key);
        return keys;
    }
    std::vector<std::string> pendingIdentifiers() {
        std::vector<std::string> identifiers;
        platform::UNUserNotificationCenter::currentNotificationCenter()->getPendingNotificationRequestsWithCompletionHandler(
            [&](auto requests) {
                for (const auto& request : requests) identifiers.push_back(request->identifier());
            });
        clock->runUntilIdle();
        return identifiers;
    }
    std::size_t pendingChain() {
        return std::ranges::count_if(pendingIdentifiers(), [](const std::string& identifier) {
            return identifier.starts_with(ZuvoLocalNotificationManager::kSessionChangedPrefix);
        });
    }
    static bool flag(T::Case which) { return P::standardDefaults()->boolForKey(T::key(which)); }
    static std::int64_t integer(P::Case which) { return P::standardDefaults()->integerForKey(P::key(which)); }
    std::filesystem::path music() const { return root.path() / "Music"; }
    static std::int64_t amplitudeCalls(const std::string& text) {
        return std::ranges::count_if(platform::Amplitude::log().lines(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    }

    quorvel::testing::TempDataRoot root{quorvel::testing::fastTemporaryFolder()};
    quorvel::testing::LaunchEnvironment environment{root.path()};
    std::shared_ptr<platform::VirtualClock> clock =
        platform::VirtualClock::install(utc(2026, 3, 2, 9).timeIntervalSinceReferenceDate());
    std::shared_ptr<RecordingPrompt> prompt = std::make_shared<RecordingPrompt>();
    std::shared_ptr<AppDelegate> delegate = std::make_shared<AppDelegate>(prompt);
    std::shared_ptr<quorvel::testing::RecordingTimerScreen> screen =
        std::make_shared<quorvel::testing::RecordingTimerScreen>();
    UIApplication& app = UIApplication::sharedApplication();

private:
    std::mutex mutex_;
    std::vector<Write> writes_;
};

}  // namespace

TEST_F(AppLifecycleTest, TheFirstLaunchWritesTheDefaultsAndTheThreeMarksOnceOnly) {
    launch();
    std::vector<std::string> expected;
    for (const auto& value : firstLaunchDefaults()) expected.push_back(P::key(value.which()));
    ASSERT_EQ(expected.size(), 46u);
    for (auto which : {T::Case::checkedDate, T::Case::launchedOnce, T::Case::sessionCountPostingDate})
        expected.push_back(T::key(which));
    auto keys = writtenKeys();
    ASSERT_GE(keys.size(), expected.size());
    EXPECT_EQ(std::vector(keys.begin(), keys.begin() + 49), expected);
    EXPECT_EQ(checkedDate(*P::standardDefaults()), NSDate::now());
    EXPECT_EQ(readSessionCountPostingDate(*P::standardDefaults()), utc(2026, 3, 2));
    EXPECT_TRUE(app.isIdleTimerDisabled());  // "PreventLockScreen" is on by default

    relaunchAfter(60);
    const std::set<std::string> firstLaunchKeys(expected.begin(), expected.end());
    for (const auto& key : writtenKeys()) EXPECT_FALSE(firstLaunchKeys.contains(key)) << key;
}

TEST_F(AppLifecycleTest, TheFirstLaunchSchedulesTheDefaultReminderOnTuesdayAtTwo) {
    launch();
    std::shared_ptr<platform::UNNotificationRequest> reminder;
    platform::UNUserNotificationCenter::currentNotificationCenter()->getPendingNotificationRequestsWithCompletionHandler(
        [&](auto requests) {
            for (const auto& request : requests) {
                if (request->identifier().starts_with(ZuvoLocalNotificationManager::kReminderPrefix)) {
                    EXPECT_FALSE(reminder) << request->identifier();
                    reminder = request;
                }
            }
        });
    clock->runUntilIdle();
    ASSERT_TRUE(reminder);
    EXPECT_EQ(reminder->identifier(), "ReminderAlert-3");
    auto trigger = std::dynamic_pointer_cast<platform::UNCalendarNotificationTrigger>(reminder->trigger());
    ASSERT_TRUE(trigger);
    EXPECT_EQ(trigger->dateComponents().weekday, 3);
    EXPECT_EQ(trigger->dateComponents().hour, 14);
    EXPECT_TRUE(trigger->repeats());
}

TEST_F(AppLifecycleTest, ADamagedStandardSuiteTakesTheTimerStateFromTheIntactAppGroup) {
    launch();
    for (const auto& value :
         {P::latestRound(1), P::sharedLatestRound(1), P::latestGoal(5), P::sharedLatestGoal(5),
          P::latestTimerType(SessionType::shortBreak), P::sharedLatestTimerType(SessionType::shortBreak),
          P::remainingRoundTime(3.5), P::sharedRemainingRoundTime(3.5), P::sharedRoundLimit(6)})
        P::save(value);
    platform::NSUserDefaults::flushAll();
    std::ofstream(platform::DataRoot::preferences() / (platform::NSUserDefaults::standardSuiteName() + ".plist"))
        << "<?xml version=\"1.0\"?><plist><dict><key>TimerCountRound";
    platform::NSUserDefaults::resetAllForTesting();

    relaunchAfter(60);
    const auto group = P::appGroupDefaults();
    EXPECT_EQ(group->integerForKey("TimerCountRound"), 1);
    EXPECT_EQ(group->integerForKey("TimerCountGoal"), 5);
    EXPECT_EQ(group->integerForKey("PomodoroSet"), 6);
    EXPECT_EQ(group->doubleForKey("CurrentTimerTime"), 3.5);
    const auto engine = TimerViewModel::shared();
    EXPECT_EQ(engine->currentRound(), 1);
    EXPECT_EQ(engine->currentGoal(), 5);
    EXPECT_EQ(engine->currentSession(), (TimerSession{210000, SessionType::shortBreak}));
    EXPECT_TRUE(flag(T::Case::launchedOnce));  // the standard suite starts again from the defaults
    EXPECT_EQ(integer(P::Case::focusLength), 25);
}

TEST_F(AppLifecycleTest, ADueResetAtLaunchClearsTheCountsWithoutAsking) {
    launch();
    for (const auto& value : {P::latestRound(3), P::latestGoal(7), P::focusLength(30),
                              P::latestTimerType(SessionType::longBreak), P::remainingRoundTime(4.0)})
        P::save(value);
    T::save(T::checkedDate(utc(2026, 3, 1, 20)));
    relaunchAfter(0);
    EXPECT_EQ(integer(P::Case::latestRound), 0);
    EXPECT_EQ(integer(P::Case::latestGoal), 0);
    EXPECT_EQ(UserDataManager::getPomodoroData().latestSessionType, SessionType::focus);
    EXPECT_EQ(UserDataManager::getPomodoroData().remainingRoundTime, 30.0);
    EXPECT_EQ(*P::standardDefaults()->stringForKey(P::key(P::Case::remainingRoundTimeString)), "30:00");
    EXPECT_EQ(checkedDate(*P::standardDefaults()), NSDate::now());
    EXPECT_EQ(prompt->asked, 0);
}

// The minute ring turned to 43 the day before: the fresh focus session the reset makes runs the set 25
// minutes and is stored as 25, not as the 43 the ring's session would have been.
TEST_F(AppLifecycleTest, AResetAtLaunchMakesAWholeFreshSessionOfTheFocusLength) {
    launch();
    auto engine = TimerViewModel::shared();
    engine->setDelegate(screen);
    engine->configure();
    engine->setRemainingMinutes(43);
    T::save(T::checkedDate(utc(2026, 3, 1, 20)));
    relaunchAfter(0);
    startTimer();
    clock->advance(26 * 60);
    clock->runUntilIdle();
    const auto stored = sessions();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored.front()->duration(), 25);
}

// The reset of a new day must not make the break that ran when the process was killed a focus session:
// the catch-up walks what ran, and a break turned to 55 minutes is not stored as 55 minutes of focus.
TEST_F(AppLifecycleTest, AResetAtALaunchAfterAKillDuringABreakStoresOnlyTheFocusSessionsThatRan) {
    launch();
    auto engine = startFocusOf(25);
    engine->skipSession();
    engine->setRemainingMinutes(55);  // the minute ring turned during the break
    engine->startTimer(true);
    const NSDate started = NSDate::now();
    clock->advance(1);
    app.enterBackground();
    clock->runUntilIdle();

    killAndRelaunchAfter(16 * 3600);  // 01:00 the next day: the counts start again
    const auto stored = sessions();
    ASSERT_FALSE(stored.empty());
    for (const auto& session : stored) {
        EXPECT_EQ(session->duration(), 25);
        // The first focus session began after the whole break.
        EXPECT_GE(*session->timestamp(), started.dateByAddingTimeInterval((55 + 25) * 60));
    }
    EXPECT_EQ(TimerViewModel::shared()->currentGoal(), static_cast<std::int64_t>(stored.size()));
}

TEST_F(AppLifecycleTest, TheResetFallsDueAtTheMostRecentResetMoment) {
    launch();
    struct Case {
        NSDate now;
        std::int64_t hour;
        std::optional<NSDate> checked;
        bool due;
    };
    for (const auto& c : {
             Case{utc(2026, 3, 3, 7, 59), 8, utc(2026, 3, 2, 20), false},  // today's 08:00 has not come
             Case{utc(2026, 3, 3, 8, 0), 8, utc(2026, 3, 2, 20), true},
             Case{utc(2026, 3, 3, 7, 0), 8, utc(2026, 3, 1, 20), true},  // yesterday's 08:00 was missed
             Case{utc(2026, 3, 3, 0, 5), 0, utc(2026, 3, 2, 23, 50), true},
             Case{utc(2026, 3, 3, 9, 0), 8, utc(2026, 3, 3, 8, 30), false},  // checked since
             Case{utc(2026, 3, 3, 9, 0), 8, std::nullopt, false},           // never checked
             Case{utc(2026, 3, 3, 9, 0), 666, utc(2026, 2, 1), false},      // "Never"
         }) {
        SCOPED_TRACE(c.now.timeIntervalSinceReferenceDate());
        clock = platform::VirtualClock::install(c.now.timeIntervalSinceReferenceDate());
        P::save(P::autoResetHour(c.hour));
        T::save(T::checkedDate(c.checked));
        EXPECT_EQ(delegate->isAutoResetDue(), c.due);
    }
    P::save(P::resetCounterAtMidnight(false));
    T::save(T::checkedDate(utc(2026, 2, 1)));
    EXPECT_FALSE(delegate->isAutoResetDue());
}

TEST_F(AppLifecycleTest, AnActivationAfterTheResetMomentAsksOnceADay) {
    launch();
    auto engine = TimerViewModel::shared();
    engine->setCurrentRound(2);
    engine->setCurrentGoal(5);
    clock->advance(16 * 3600);  // 01:00 on the next day
    reactivate();
    EXPECT_EQ(prompt->asked, 1);
    reactivate();
    EXPECT_EQ(prompt->asked, 1);  // asked already today, though not answered
    ASSERT_TRUE(prompt->answer);
    prompt->answer(true);
    EXPECT_EQ(engine->currentRound(), 0);
    EXPECT_EQ(engine->currentGoal(), 0);
    EXPECT_EQ(integer(P::Case::latestGoal), 0);
}

TEST_F(AppLifecycleTest, LeavingWithARunningTimerSchedulesTheChainAndReturningCatchesUp) {
    launch();
    app.enterBackground();  // without a timer: no chain, no resume mark
    clock->runUntilIdle();
    EXPECT_EQ(pendingChain(), 0u);
    EXPECT_FALSE(flag(T::Case::needResumeTimerWhenLaunching));
    app.enterForeground();

    startTimer();
    app.enterBackground();
    clock->runUntilIdle();
    EXPECT_TRUE(app.isSuspended());
    EXPECT_EQ(pendingChain(), 57u);  // stored before the app was suspended
    EXPECT_TRUE(flag(T::Case::needResumeTimerWhenLaunching));
    EXPECT_TRUE(readLastSessionChangeNotificationDate(*P::standardDefaults()));

    clock->advance(40 * 60);  // one focus session and the next break passed
    app.enterForeground();
    clock->runUntilIdle();
    EXPECT_EQ(TimerViewModel::shared()->currentGoal(), 1);
    EXPECT_EQ(CoreDataManager::shared()->fetchAllSessions().size(), 1u);
    EXPECT_EQ(pendingChain(), 0u);
    EXPECT_TRUE(flag(T::Case::needResumeTimerWhenLaunching));  // the timer runs on in front
    EXPECT_FALSE(readLastSessionChangeNotificationDate(*P::standardDefaults()));
    EXPECT_TRUE(readScheduledSessionChangeNotificationIDs(*P::standardDefaults()).empty());
}

TEST_F(AppLifecycleTest, AColdLaunchAfterAKillInTheBackgroundRestoresThenWithdrawsTheChain) {
    launch();
    startTimer();
    app.enterBackground();
    clock->runUntilIdle();
    ASSERT_EQ(pendingChain(), 57u);

    relaunchAfter(40 * 60);
    EXPECT_EQ(TimerViewModel::shared()->currentGoal(), 1);
    EXPECT_EQ(CoreDataManager::shared()->fetchAllSessions().size(), 1u);
    EXPECT_TRUE(TimerViewModel::shared()->pomodoroTimer());  // the chain had not ended: it runs on
    EXPECT_EQ(pendingChain(), 0u);
    EXPECT_TRUE(flag(T::Case::needResumeTimerWhenLaunching));
    EXPECT_FALSE(readLastSessionChangeNotificationDate(*P::standardDefaults()));
}

TEST_F(AppLifecycleTest, AKillWhileActiveLosesNoSessionAndAKillAfterAPauseKeepsItPaused) {
    launch();
    const NSDate started = NSDate::now();
    startFocusOf(1);
    clock->advance(11);  // 00:49 shown
    killAndRelaunchAfter(78);
    auto engine = TimerViewModel::shared();
    ASSERT_EQ(sessions().size(), 1u);
    EXPECT_EQ(sessions()[0]->timestamp(), started.dateByAddingTimeInterval(60));
    EXPECT_EQ(engine->currentGoal(), 1);
    EXPECT_TRUE(engine->pomodoroTimer());
    EXPECT_EQ(engine->currentSession().type, SessionType::shortBreak);
    EXPECT_EQ(engine->elapsedTime(), (300 - (89 - 60)) * 1000);

    startFocusOf(1);
    clock->advance(11);
    engine->pauseTimer(true);
    clock->advance(2);
    killAndRelaunchAfter(78);
    engine = TimerViewModel::shared();
    EXPECT_FALSE(engine->pomodoroTimer());
    EXPECT_EQ(engine->elapsedTime(), 49000);
    EXPECT_EQ(engine->currentGoal(), 1);
    EXPECT_EQ(sessions().size(), 1u);
    EXPECT_FALSE(flag(T::Case::needResumeTimerWhenLaunching));
}

TEST_F(AppLifecycleTest, ASessionReloadedAfterARestartCatchesUpWithItsExactLength) {
    struct Case {
        std::int64_t minutes;
        double ranBeforeRestart;  // 31 s and 12:34 left
        double away;
    };
    launch();
    for (const auto& c : {Case{1, 29, 78}, Case{25, 746, 800}}) {
        SCOPED_TRACE(c.minutes);
        const double left = static_cast<double>(c.minutes) * 60 - c.ranBeforeRestart;
        auto engine = startFocusOf(c.minutes);
        clock->advance(c.ranBeforeRestart);
        engine->pauseTimer(true);
        clock->advance(2);
        killAndRelaunchAfter(5);
        engine = TimerViewModel::shared();
        // Reloaded from the stored minutes: the length is what was left, to a float's rounding.
        ASSERT_NEAR(engine->currentSession().length, left * 1000, 1e-6);
        const auto stored = sessions().size();
        const auto goal = engine->currentGoal();

        const NSDate resumed = NSDate::now();
        engine->startTimer(true);
        clock->advance(10);
        leaveFor(5);
        EXPECT_NEAR(engine->elapsedTime(), (left - 15) * 1000, 1e-6);  // not more than when it went away
        leaveFor(c.away);
        ASSERT_EQ(sessions().size(), stored + 1);
        EXPECT_EQ(sessions()[0]->timestamp(), resumed.dateByAddingTimeInterval(left));
        EXPECT_EQ(engine->currentGoal(), goal + 1);
        EXPECT_EQ(engine->currentSession().type, SessionType::shortBreak);
        EXPECT_EQ(engine->elapsedTime(), (300 - (15 + c.away - left)) * 1000);
    }
}

TEST_F(AppLifecycleTest, TerminationClearsTheBadgeAndSubmitsTheRefreshTaskThatNeverRuns) {
    launch();
    startTimer();
    clock->advance(60);
    ASSERT_NE(app.applicationIconBadgeNumber(), 0);
    int launched = 0;
    platform::BGTaskScheduler::resetSharedForTesting();
    platform::BGTaskScheduler::sharedScheduler().registerForTaskWithIdentifier(
        delegate->syncBGRefreshTaskID(), nullptr, [&](auto) { ++launched; });
    app.terminate();
    EXPECT_EQ(app.applicationIconBadgeNumber(), 0);
    EXPECT_FALSE(flag(T::Case::needResumeTimerWhenLaunching));
    ASSERT_EQ(platform::BGTaskScheduler::sharedScheduler().pendingTaskRequests().size(), 1u);
    EXPECT_EQ(platform::BGTaskScheduler::sharedScheduler().pendingTaskRequests()[0].identifier,
              delegate->syncBGRefreshTaskID());
    clock->advance(20 * 60);
    EXPECT_EQ(launched, 0);
}

// A backup that copies only "store.sqlite" (without its -wal and -shm files) finds every session.
TEST_F(AppLifecycleTest, AfterTerminationTheStoreFileAloneHoldsEverySession) {
    launch();
    startTimer();
    clock->advance(26 * 60);
    CoreDataManager::shared()->insertSession(25, SessionType::focus, NSDate::now());
    const auto stored = CoreDataManager::shared()->fetchAllSessions().size();
    ASSERT_EQ(stored, 2u);
    app.terminate();

    const auto copy = root.path() / "backup" / "store.sqlite";
    std::filesystem::create_directories(copy.parent_path());
    std::filesystem::copy_file(quorvel::testing::storeFile(), copy);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(copy.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* count = nullptr;
    std::int64_t rows = -1;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM \"Session\"", -1, &count, nullptr) == SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW)
        rows = sqlite3_column_int64(count, 0);
    sqlite3_finalize(count);
    sqlite3_close(db);
    EXPECT_EQ(rows, static_cast<std::int64_t>(stored));
}

TEST_F(AppLifecycleTest, TheRefreshTaskSavesAndFlushesThenSucceeds) {
    launch();
    app.enterBackground();
    clock->runUntilIdle();
    ASSERT_TRUE(app.isSuspended());
    auto task = platform::BGTaskScheduler::sharedScheduler().launchPendingTask(delegate->syncBGRefreshTaskID());
    ASSERT_TRUE(task);
    EXPECT_FALSE(app.isSuspended());  // woken for the task
    for (int i = 0; i < 100 && !task->success(); ++i) clock->advance(0.1);
    EXPECT_EQ(task->success(), true);
    EXPECT_FALSE(task->expired());
    clock->runUntilIdle();
    EXPECT_TRUE(app.isSuspended());
}

TEST_F(AppLifecycleTest, WithoutAStoreTheRefreshTaskEndsOnlyByExpiring) {
    quorvel::testing::MainBundleAt emptyBundle(root.path() / "no-bundle");
    launch();
    ASSERT_FALSE(CoreDataManager::context());
    app.enterBackground();
    clock->runUntilIdle();
    auto task = platform::BGTaskScheduler::sharedScheduler().launchPendingTask(delegate->syncBGRefreshTaskID());
    ASSERT_TRUE(task);
    clock->advance(29);
    EXPECT_FALSE(task->success());
    clock->advance(2);
    EXPECT_TRUE(task->expired());
    EXPECT_EQ(task->success(), false);
    clock->runUntilIdle();
    EXPECT_TRUE(app.isSuspended());
}

TEST_F(AppLifecycleTest, YesterdaysSessionsAreReportedOnceOnTheFirstActivationOfANewDay) {
    launch();
    auto store = CoreDataManager::shared();
    store->insertSession(25, SessionType::focus, utc(2026, 3, 2, 10));
    store->insertSession(25, SessionType::focus, utc(2026, 3, 2, 11));
    store->insertSession(25, SessionType::focus, utc(2026, 3, 1, 11));  // the day before: not counted
    reactivate();
    EXPECT_EQ(amplitudeCalls("\"session_count\""), 0);  // still the posting day
    clock->advance(24 * 3600);
    reactivate();
    reactivate();
    EXPECT_EQ(amplitudeCalls("\"session_count\""), 1);
    EXPECT_EQ(amplitudeCalls("\"session\":2"), 1);
    EXPECT_EQ(readSessionCountPostingDate(*P::standardDefaults()), utc(2026, 3, 3));
}

TEST_F(AppLifecycleTest, TheScreenStaysAwakeAsTheSettingAndItsNotificationSay) {
    launch();
    ASSERT_TRUE(app.isIdleTimerDisabled());
    auto& center = platform::NSNotificationCenter::defaultCenter();
    center.postNotificationName(NotificationName::enableLockScreen(), false);
    EXPECT_FALSE(app.isIdleTimerDisabled());
    center.postNotificationName(NotificationName::enableLockScreen(), std::string("yes"));
    EXPECT_FALSE(app.isIdleTimerDisabled());  // not a Boolean: ignored
    center.postNotificationName(NotificationName::enableLockScreen(), true);
    EXPECT_TRUE(app.isIdleTimerDisabled());
    app.resignActive();
    EXPECT_FALSE(app.isIdleTimerDisabled());
    app.becomeActive();
    EXPECT_TRUE(app.isIdleTimerDisabled());
}

TEST_F(AppLifecycleTest, AChosenSongThatLeftTheLibraryGivesWayToTheDefaultTickingSound) {
    const auto kept = music() / "kept.mp3";
    quorvel::testing::writeSong(kept);
    const auto keptURL = platform::MPMediaItem(kept).assetURL();
    launch();
    for (const auto& value : {P::focusTickingMusic(keptURL), P::focusTickingMusicTitle("kept"),
                              P::focusTickingSound("Music"), P::shortBreakTickingMusic("file:///gone.mp3?id=removed"),
                              P::shortBreakTickingMusicTitle("gone"), P::shortBreakTickingSound("Music")})
        P::save(value);
    relaunchAfter(0);
    const auto sound = UserDataManager::getSoundSettingData();
    EXPECT_EQ(sound.focusTickingMusic, keptURL);
    EXPECT_EQ(sound.focusTickingSound, "Music");
    EXPECT_EQ(sound.shortBreakTickingMusic, "");
    EXPECT_EQ(sound.shortBreakTickingMusicTitle, "");
    EXPECT_EQ(sound.shortBreakTickingSound, "Wall Clock Ticking");
    EXPECT_EQ(sound.longBreakTickingSound, "Fiji Beach");  // no song chosen: left alone
}

// The library answers a launch at once, listing a song not yet probed; a chosen song that then turns
// out not to decode has left it too.
TEST_F(AppLifecycleTest, AChosenSongThatTurnsOutNotToDecodeGivesWayOnceItsProbeAnswers) {
    const auto broken = music() / "broken.mp3";
    std::ofstream(broken) << std::string(4000, '\x5a');
    launch();
    for (const auto& value : {P::longBreakTickingMusic(platform::MPMediaItem(broken).assetURL()),
                              P::longBreakTickingMusicTitle("broken"), P::longBreakTickingSound("Music")})
        P::save(value);
    relaunchAfter(0);
    EXPECT_TRUE(quorvel::testing::runMainQueueUntil(
        *clock, [] { return UserDataManager::getSoundSettingData().longBreakTickingSound == "Fiji Beach"; }));
    const auto sound = UserDataManager::getSoundSettingData();
    EXPECT_EQ(sound.longBreakTickingSound, "Fiji Beach");
    EXPECT_EQ(sound.longBreakTickingMusic, "");
}
