// The real quorvel window with one-minute focus sessions: a session keeps its time through a kill while
// the window is active, and through a restart, a resume and a minimise. Afterwards the store holds the
// focus session once, with its real end and the whole minute it was started with, the counters count it
// once, and the break shows its time left.
#include <gtest/gtest.h>
#include <signal.h>

#include <thread>

#include "app/core/first_launch_defaults.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/ns_date.h"
#include "tests/shell/desktop_test.h"
#include "tests/shell/stored_sessions.h"
#include "tests/support/eventually.h"

namespace {

using namespace std::chrono_literals;
using platform::NSDate;
using P = quorvel::UserDefaultProperties;
using T = quorvel::TempUserDefaultProperties;

// A break's length by default.
constexpr double kBreakSeconds = 300;
// The program's own give: its ticks a little behind the wall clock, a saved time a tick old.
constexpr double kSlack = 2;

// A moment of the program's, known to lie between two readings of the wall clock: before the test acted,
// and after it heard that the program had. The program's times are held to that span, however late a
// loaded machine lets it act.
struct Moment {
    double from = 0, to = 0;
    Moment plus(double seconds) const { return {from + seconds, to + seconds}; }
};

class TimerRelaunch : public quorvel::testing::DesktopTest {
protected:
    // A device past its first launch whose focus sessions last one minute.
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped()) return;
        for (const auto& value : quorvel::firstLaunchDefaults()) P::save(value);
        for (const auto& value : {P::focusLength(1), P::remainingRoundTime(1.0), P::sharedRemainingRoundTime(1.0)})
            P::save(value);
        T::save(T::launchedOnce(true));
        T::save(T::checkedDate(NSDate::now()));
        markGuidanceSeen();  // writes the files
    }

    Window start() { return DesktopTest::start({"--device", "iPhone8", "--orientation", "portrait"}); }
    // Plays the one-minute session for about ten seconds and quits; answers the seconds left, which
    // the next start reloads as a session of its own.
    double playTenSecondsAndQuit() {
        const Window window = start();
        EXPECT_NE(window, 0u);
        const Moment played = pressPlay(window);
        app->listen(10s);
        const Moment quitted = quit(window);
        const double left = shownSeconds();
        EXPECT_LT(left, 60);
        EXPECT_GE(left, 60 - (quitted.to - played.from) - kSlack) << "ticks never run ahead of the clock";
        return left;
    }
    // Presses play (or pause): when the program took the press.
    Moment pressPlay(Window window) {
        const double from = now();
        user->click(window, 187, 405);
        EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();
        return {from, now()};
    }
    // Quits as a person does: when the program took the request.
    Moment quit(Window window) {
        const double from = now();
        user->requestClose(window);
        EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
        return {from, now()};
    }
    static void expectBetween(double value, double low, double high, const std::string& what) {
        EXPECT_GE(value, low) << what;
        EXPECT_LE(value, high) << what;
    }
    static double now() { return NSDate::now().timeIntervalSinceReferenceDate(); }

    // The standard suite as the next start reads it.
    static std::shared_ptr<platform::NSUserDefaults> stored() {
        platform::NSUserDefaults::resetAllForTesting();
        return P::standardDefaults();
    }
    // The seconds the clock showed when the program ended.
    static double shownSeconds() { return stored()->doubleForKey("CurrentTimerTime") * 60; }

    // The focus session stored once, ended at `end`; counted once; the break after it running, shown
    // with its time left when the program ended at `endedAt`.
    void expectOneFocusThenTheBreak(Moment end, Moment endedAt) {
        const auto sessions = quorvel::testing::storedSessions();
        ASSERT_TRUE(sessions) << "the store cannot be read";
        ASSERT_EQ(sessions->size(), 1u);
        const double ended = sessions->front().end;
        expectBetween(ended, end.from - kSlack, end.to + kSlack, "the session's end");
        EXPECT_EQ(sessions->front().minutes, 1);
        const auto suite = stored();
        EXPECT_EQ(suite->integerForKey("TimerCountGoal"), 1);
        EXPECT_EQ(suite->integerForKey("TimerCountRound"), 1);
        EXPECT_EQ(suite->integerForKey("CurrentTimerType"), 1);  // a short break
        expectBetween(shownSeconds(), kBreakSeconds - (endedAt.to - ended) - kSlack,
                      kBreakSeconds - (endedAt.from - ended) + kSlack, "the break's seconds left");
    }
};

}  // namespace

TEST_F(TimerRelaunch, AKillWhileTheWindowIsActiveLosesNoSession) {
    Window window = start();
    ASSERT_NE(window, 0u);
    const Moment started = pressPlay(window);
    app->listen(11s);  // 00:49 shown
    ::kill(app->pid(), SIGKILL);
    app->waitForExit();
    std::this_thread::sleep_for(78s);

    window = start();
    ASSERT_NE(window, 0u);
    app->listen(2s);
    expectOneFocusThenTheBreak(started.plus(60), quit(window));
}

TEST_F(TimerRelaunch, ASessionRestartedResumedAndMinimisedEndsOnTime) {
    Window window = start();
    ASSERT_NE(window, 0u);
    const Moment played = pressPlay(window);
    app->listen(29s);
    const Moment quitted = quit(window);
    const double left = shownSeconds();  // about 31 s; a slow build ticks behind the wall clock
    ASSERT_LT(left, 60);
    ASSERT_GE(left, 60 - (quitted.to - played.from) - kSlack) << "ticks never run ahead of the clock";

    window = start();
    ASSERT_NE(window, 0u);
    const Moment resumed = pressPlay(window);
    app->listen(10s);
    user->minimize(window);
    ASSERT_TRUE(app->waitForLine("life-cycle did-enter-background")) << app->transcript();
    std::this_thread::sleep_for(40s);  // past the session's end
    user->restore(window);
    ASSERT_TRUE(app->waitForLine("life-cycle did-become-active")) << app->transcript();
    app->listen(2s);
    expectOneFocusThenTheBreak(resumed.plus(left), quit(window));
}

TEST_F(TimerRelaunch, AResumedSessionThatRunsOutIsStoredWithTheLengthItWasStartedWith) {
    const double left = playTenSecondsAndQuit();
    const Window window = start();
    ASSERT_NE(window, 0u);
    const Moment resumed = pressPlay(window);
    app->listen(std::chrono::duration<double>(left));
    // It runs out by the program's ticks, which a loaded machine holds back: it ends no sooner than its
    // time left, and no later than the store is seen to hold it.
    EXPECT_TRUE(quorvel::testing::eventually(
        [] {
            const auto sessions = quorvel::testing::storedSessions();
            return sessions && !sessions->empty();
        },
        [&] { app->listen(250ms); }))
        << app->transcript();
    const Moment ended{resumed.from + left, now()};
    app->settle(1s);
    expectOneFocusThenTheBreak(ended, quit(window));
}

TEST_F(TimerRelaunch, AResumedSessionKilledBeforeItsEndIsStoredWithTheLengthItWasStartedWith) {
    const double left = playTenSecondsAndQuit();
    Window window = start();
    ASSERT_NE(window, 0u);
    const Moment resumed = pressPlay(window);
    app->listen(5s);
    ::kill(app->pid(), SIGKILL);
    app->waitForExit();
    std::this_thread::sleep_for(std::chrono::duration<double>(left - 5 + 3));

    window = start();
    ASSERT_NE(window, 0u);
    app->listen(2s);
    expectOneFocusThenTheBreak(resumed.plus(left), quit(window));
}
