#include "platform/uikit/application/ui_application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_timer.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/uikit/application/ui_application_delegate.h"
#include "tests/support/fresh_application.h"
#include "tests/support/recording_url_opener.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

namespace {

// Writes every delegate call and every application notification into one log, in order.
class RecordingDelegate : public UIApplicationDelegate {
public:
    RecordingDelegate() {
        for (const auto* name :
             {&UIApplicationDidFinishLaunchingNotification, &UIApplicationDidBecomeActiveNotification,
              &UIApplicationWillResignActiveNotification, &UIApplicationDidEnterBackgroundNotification,
              &UIApplicationWillEnterForegroundNotification, &UIApplicationWillTerminateNotification}) {
            NSNotificationCenter::defaultCenter().addObserver(
                this, *name, [this](const NSNotification& note) { log.push_back(note.name); });
        }
    }
    ~RecordingDelegate() override { NSNotificationCenter::defaultCenter().removeObserver(this); }

    bool applicationDidFinishLaunchingWithOptions(UIApplication& app, const Value::Dictionary&) override {
        note("didFinishLaunching", app);
        return true;
    }
    void applicationDidBecomeActive(UIApplication& app) override { note("didBecomeActive", app); }
    void applicationWillResignActive(UIApplication& app) override { note("willResignActive", app); }
    void applicationDidEnterBackground(UIApplication& app) override {
        note("didEnterBackground", app);
        if (duringBackground) duringBackground();
    }
    void applicationWillEnterForeground(UIApplication& app) override { note("willEnterForeground", app); }
    void applicationWillTerminate(UIApplication& app) override { note("willTerminate", app); }

    std::vector<std::string> take() { return std::exchange(log, {}); }

    std::vector<std::string> log;
    std::function<void()> duringBackground;

private:
    // Each call with the state the application is in while it runs.
    void note(const std::string& call, const UIApplication& app) {
        static const char* states[] = {"active", "inactive", "background"};
        log.push_back(call + "(" + states[static_cast<int>(app.applicationState())] + ")");
    }
};

// A launched application with its data in a folder of its own.
class LaunchedApp : public ::testing::Test {
protected:
    LaunchedApp() { app.launch(delegate); }

    quorvel::testing::FreshApplication fresh;
    quorvel::testing::TempDataRoot root;
    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    UIApplication& app = UIApplication::sharedApplication();
};
using ApplicationLifeCycle = LaunchedApp;
using ApplicationSuspension = LaunchedApp;
using ApplicationAttributes = LaunchedApp;
using Calls = std::vector<std::string>;

}  // namespace

TEST_F(ApplicationLifeCycle, LaunchFinishesThenBecomesActiveOnce) {
    EXPECT_EQ(delegate->take(),
              (Calls{"didFinishLaunching(inactive)", "UIApplicationDidFinishLaunchingNotification",
                     "didBecomeActive(active)", "UIApplicationDidBecomeActiveNotification"}));
    EXPECT_EQ(app.applicationState(), UIApplicationState::active);
    EXPECT_FALSE(app.launch(std::make_shared<RecordingDelegate>()));
    EXPECT_TRUE(delegate->take().empty());
}

TEST_F(ApplicationLifeCycle, BackgroundResignsFirstAndForegroundEndsActive) {
    delegate->take();
    app.enterBackground();
    EXPECT_EQ(delegate->take(),
              (Calls{"willResignActive(active)", "UIApplicationWillResignActiveNotification",
                     "didEnterBackground(background)", "UIApplicationDidEnterBackgroundNotification"}));
    app.enterBackground();
    app.becomeActive();  // focus cannot come back to a minimised window
    EXPECT_TRUE(delegate->take().empty());
    app.enterForeground();
    EXPECT_EQ(delegate->take(),
              (Calls{"willEnterForeground(inactive)", "UIApplicationWillEnterForegroundNotification",
                     "didBecomeActive(active)", "UIApplicationDidBecomeActiveNotification"}));
}

TEST_F(ApplicationLifeCycle, FocusOnlyResignsAndReactivates) {
    delegate->take();
    app.resignActive();
    app.resignActive();
    EXPECT_EQ(app.applicationState(), UIApplicationState::inactive);
    app.enterForeground();  // not in the background: nothing
    app.becomeActive();
    EXPECT_EQ(delegate->take(),
              (Calls{"willResignActive(active)", "UIApplicationWillResignActiveNotification",
                     "didBecomeActive(active)", "UIApplicationDidBecomeActiveNotification"}));
}

TEST_F(ApplicationLifeCycle, TerminationResignsFirstAndEndsEverything) {
    delegate->take();
    app.terminate();
    EXPECT_EQ(delegate->take(),
              (Calls{"willResignActive(active)", "UIApplicationWillResignActiveNotification",
                     "willTerminate(inactive)", "UIApplicationWillTerminateNotification"}));
    app.terminate();
    app.enterBackground();
    app.becomeActive();
    EXPECT_TRUE(delegate->take().empty());
}

// It is woken only for that: what fell due while it slept never runs after its handlers closed its stores.
TEST_F(ApplicationLifeCycle, ASuspendedAppStillHearsOfItsTerminationAndNothingElse) {
    bool fired = false;
    DispatchQueue::main()->asyncAfter(60, [&] { fired = true; });
    app.enterBackground();
    clock->runUntilIdle();
    ASSERT_TRUE(app.isSuspended());
    clock->advance(3600);
    delegate->take();
    app.terminate();
    EXPECT_EQ(delegate->take(),
              (Calls{"willTerminate(background)", "UIApplicationWillTerminateNotification"}));
    clock->runUntilIdle();
    EXPECT_FALSE(fired);
}

TEST_F(ApplicationLifeCycle, UserDefaultsReachTheirFilesOnTheWayOut) {
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setBool(true, "LaunchedOnce");
    app.enterBackground();
    EXPECT_EQ(defaults->fileWriteCount(), 1u);  // at once, not a second later
    app.enterForeground();
    defaults->setInteger(3, "latestRound");
    app.terminate();
    EXPECT_EQ(defaults->fileWriteCount(), 2u);
}

TEST_F(ApplicationSuspension, TimersStopInTheBackgroundWhileTheClockGoesOn) {
    std::vector<std::string> order;
    delegate->duringBackground = [&] {
        DispatchQueue::main()->async([&] { order.push_back("work queued on the way out"); });
    };
    auto timer =
        NSTimer::scheduledTimerWithTimeInterval(10, true, [&](NSTimer&) { order.push_back("tick"); });
    app.enterBackground();
    clock->runUntilIdle();
    EXPECT_TRUE(app.isSuspended());
    EXPECT_EQ(order, (Calls{"work queued on the way out"}));
    double before = clock->now();
    clock->advance(35);
    EXPECT_DOUBLE_EQ(clock->now(), before + 35);
    DispatchQueue::main()->async([&] { order.push_back("work queued while suspended"); });
    clock->runUntilIdle();
    EXPECT_EQ(order.size(), 1u);

    delegate->take();
    app.enterForeground();
    EXPECT_FALSE(app.isSuspended());
    EXPECT_EQ(order.size(), 1u);  // the app hears of its return before anything else runs
    clock->runUntilIdle();
    // The overdue timer fires once, not once per missed interval.
    EXPECT_EQ(order, (Calls{"work queued on the way out", "tick", "work queued while suspended"}));
    timer->invalidate();
}

TEST_F(ApplicationSuspension, AReturnBeforeTheSuspensionKeepsTheAppRunning) {
    app.enterBackground();
    app.enterForeground();
    clock->runUntilIdle();
    EXPECT_FALSE(app.isSuspended());
    EXPECT_EQ(app.applicationState(), UIApplicationState::active);
}

TEST_F(ApplicationSuspension, ABackgroundTaskKeepsTheAppAwakeUntilItEnds) {
    const auto early = app.beginBackgroundTask();
    app.enterBackground();
    clock->runUntilIdle();
    EXPECT_FALSE(app.isSuspended());
    app.endBackgroundTask(early);
    app.endBackgroundTask(early);  // once only
    clock->runUntilIdle();
    EXPECT_TRUE(app.isSuspended());

    const auto late = app.beginBackgroundTask();  // wakes the suspended app
    EXPECT_FALSE(app.isSuspended());
    bool ran = false;
    DispatchQueue::main()->async([&] { ran = true; });
    clock->runUntilIdle();
    EXPECT_TRUE(ran);
    app.endBackgroundTask(late);
    clock->runUntilIdle();
    EXPECT_TRUE(app.isSuspended());
}

TEST_F(ApplicationAttributes, TheDesktopHearsOfEachChange) {
    int changes = 0;
    app.setAttributesObserver([&] { ++changes; });
    app.setApplicationIconBadgeNumber(24);
    app.setApplicationIconBadgeNumber(24);
    app.setIdleTimerDisabled(true);
    app.setNetworkActivityIndicatorVisible(true);
    EXPECT_EQ(changes, 3);
    app.resignActive();
    EXPECT_EQ(changes, 4);
}

TEST(ApplicationLinks, OnlyWebAndMailLinksReachADesktopThatHandlesThem) {
    quorvel::testing::FreshApplication fresh;
    auto clock = VirtualClock::install();
    auto opener = std::make_shared<quorvel::testing::RecordingURLOpener>();
    UIApplication& app = UIApplication::sharedApplication();
    app.setURLOpener(opener);
    std::vector<bool> results;
    auto record = [&](bool opened) { results.push_back(opened); };
    EXPECT_TRUE(app.canOpenURL("https://example.org/privacy"));
    EXPECT_TRUE(app.canOpenURL("MAILTO:help@example.org"));
    EXPECT_FALSE(app.canOpenURL("itms-apps://example.org/app"));
    EXPECT_FALSE(app.canOpenURL("no scheme at all"));
    app.openURL("https://example.org/privacy", {}, record);
    app.openURL("itms-apps://example.org/app", {}, record);
    EXPECT_TRUE(results.empty());  // completions come from the main queue
    clock->runUntilIdle();
    EXPECT_EQ(results, (std::vector<bool>{true, false}));
    EXPECT_EQ(opener->opened, (Calls{"https://example.org/privacy"}));

    // A desktop without a handler for the scheme, or without any, opens nothing.
    app.setURLOpener(std::make_shared<quorvel::testing::RecordingURLOpener>(std::set<std::string>{"https"}));
    EXPECT_FALSE(app.canOpenURL("mailto:help@example.org"));
    app.setURLOpener(nullptr);
    EXPECT_FALSE(app.canOpenURL("https://example.org"));
    bool opened = true;
    app.openURL("https://example.org", {}, [&](bool result) { opened = result; });
    clock->runUntilIdle();
    EXPECT_FALSE(opened);
}
