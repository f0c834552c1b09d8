#include "platform/uikit/ui_application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/foundation/ns_timer.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/uikit/ui_application_delegate.h"
#include "tests/support/recording_url_opener.h"
#include "tests/support/temp_data_root.h"

using namespace platform;

namespace {

// Writes every delegate call and every application notification into one log, in order.
class RecordingDelegate : public UIApplicationDelegate {
public:
    RecordingDelegate() {
        for (const auto* name : {&UIApplicationDidFinishLaunchingNotification, &UIApplicationDidBecomeActiveNotification,
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

struct LaunchedApp {
    LaunchedApp() { app.launch(delegate); }

    std::shared_ptr<VirtualClock> clock = VirtualClock::install();
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    UIApplication& app = UIApplication::sharedApplication();
};

}  // namespace

TEST(ApplicationLifeCycle, LaunchFinishesThenBecomesActiveOnce) {
    LaunchedApp launched;
    EXPECT_EQ(launched.delegate->take(),
              (std::vector<std::string>{"didFinishLaunching(inactive)", "UIApplicationDidFinishLaunchingNotification",
                                        "didBecomeActive(active)", "UIApplicationDidBecomeActiveNotification"}));
    EXPECT_EQ(launched.app.applicationState(), UIApplicationState::active);
    EXPECT_EQ(launched.app.delegate(), launched.delegate);
    EXPECT_FALSE(launched.app.launch(std::make_shared<RecordingDelegate>()));
    EXPECT_EQ(launched.app.delegate(), launched.delegate);
    EXPECT_TRUE(launched.delegate->take().empty());
}

TEST(ApplicationLifeCycle, BackgroundResignsFirstAndForegroundEndsActive) {
    LaunchedApp launched;
    launched.delegate->take();
    launched.app.enterBackground();
    EXPECT_EQ(launched.delegate->take(),
              (std::vector<std::string>{"willResignActive(active)", "UIApplicationWillResignActiveNotification",
                                        "didEnterBackground(background)",
                                        "UIApplicationDidEnterBackgroundNotification"}));
    launched.app.enterBackground();
    launched.app.becomeActive();  // focus cannot come back to a minimised window
    EXPECT_TRUE(launched.delegate->take().empty());
    launched.app.enterForeground();
    EXPECT_EQ(launched.delegate->take(),
              (std::vector<std::string>{"willEnterForeground(inactive)",
                                        "UIApplicationWillEnterForegroundNotification", "didBecomeActive(active)",
                                        "UIApplicationDidBecomeActiveNotification"}));
}

TEST(ApplicationLifeCycle, FocusOnlyResignsAndReactivates) {
    LaunchedApp launched;
    launched.delegate->take();
    launched.app.resignActive();
    launched.app.resignActive();
    EXPECT_EQ(launched.app.applicationState(), UIApplicationState::inactive);
    launched.app.enterForeground();  // not in the background: nothing
    launched.app.becomeActive();
    EXPECT_EQ(launched.delegate->take(),
              (std::vector<std::string>{"willResignActive(active)", "UIApplicationWillResignActiveNotification",
                                        "didBecomeActive(active)", "UIApplicationDidBecomeActiveNotification"}));
}

TEST(ApplicationLifeCycle, TerminationResignsFirstAndEndsEverything) {
    LaunchedApp launched;
    launched.delegate->take();
    launched.app.terminate();
    EXPECT_EQ(launched.delegate->take(),
              (std::vector<std::string>{"willResignActive(active)", "UIApplicationWillResignActiveNotification",
                                        "willTerminate(inactive)", "UIApplicationWillTerminateNotification"}));
    launched.app.terminate();
    launched.app.enterBackground();
    launched.app.becomeActive();
    EXPECT_TRUE(launched.delegate->take().empty());
}

TEST(ApplicationLifeCycle, ASuspendedAppStillHearsOfItsTermination) {
    LaunchedApp launched;
    launched.app.enterBackground();
    launched.clock->runUntilIdle();
    ASSERT_TRUE(launched.app.isSuspended());
    launched.delegate->take();
    launched.app.terminate();
    EXPECT_EQ(launched.delegate->take(),
              (std::vector<std::string>{"willTerminate(background)", "UIApplicationWillTerminateNotification"}));
}

TEST(ApplicationLifeCycle, UserDefaultsReachTheirFilesOnTheWayOut) {
    quorvel::testing::TempDataRoot root;
    LaunchedApp launched;
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setBool(true, "LaunchedOnce");
    launched.app.enterBackground();
    EXPECT_EQ(defaults->fileWriteCount(), 1u);  // at once, not a second later
    launched.app.enterForeground();
    defaults->setInteger(3, "latestRound");
    launched.app.terminate();
    EXPECT_EQ(defaults->fileWriteCount(), 2u);
}

TEST(ApplicationSuspension, TimersStopInTheBackgroundWhileTheClockGoesOn) {
    LaunchedApp launched;
    std::vector<std::string> order;
    launched.delegate->duringBackground = [&] {
        DispatchQueue::main()->async([&] { order.push_back("work queued on the way out"); });
    };
    auto timer = NSTimer::scheduledTimerWithTimeInterval(10, true, [&](NSTimer&) { order.push_back("tick"); });
    launched.app.enterBackground();
    launched.clock->runUntilIdle();
    EXPECT_TRUE(launched.app.isSuspended());
    EXPECT_EQ(order, (std::vector<std::string>{"work queued on the way out"}));
    double before = launched.clock->now();
    launched.clock->advance(35);
    EXPECT_DOUBLE_EQ(launched.clock->now(), before + 35);
    DispatchQueue::main()->async([&] { order.push_back("work queued while suspended"); });
    launched.clock->runUntilIdle();
    EXPECT_EQ(order.size(), 1u);

    launched.delegate->take();
    launched.app.enterForeground();
    EXPECT_FALSE(launched.app.isSuspended());
    EXPECT_EQ(order.size(), 1u);  // the app hears of its return before anything else runs
    launched.clock->runUntilIdle();
    // The overdue timer fires once, not once per missed interval.
    EXPECT_EQ(order, (std::vector<std::string>{"work queued on the way out", "tick", "work queued while suspended"}));
    timer->invalidate();
}

TEST(ApplicationSuspension, AReturnBeforeTheSuspensionKeepsTheAppRunning) {
    LaunchedApp launched;
    launched.app.enterBackground();
    launched.app.enterForeground();
    launched.clock->runUntilIdle();
    EXPECT_FALSE(launched.app.isSuspended());
    EXPECT_EQ(launched.app.applicationState(), UIApplicationState::active);
}

TEST(ApplicationSuspension, ABackgroundTaskKeepsTheAppAwakeUntilItEnds) {
    LaunchedApp launched;
    const auto early = launched.app.beginBackgroundTask();
    launched.app.enterBackground();
    launched.clock->runUntilIdle();
    EXPECT_FALSE(launched.app.isSuspended());
    launched.app.endBackgroundTask(early);
    launched.app.endBackgroundTask(early);  // once only
    launched.clock->runUntilIdle();
    EXPECT_TRUE(launched.app.isSuspended());

    const auto late = launched.app.beginBackgroundTask();  // wakes the suspended app
    EXPECT_FALSE(launched.app.isSuspended());
    bool ran = false;
    DispatchQueue::main()->async([&] { ran = true; });
    launched.clock->runUntilIdle();
    EXPECT_TRUE(ran);
    launched.app.endBackgroundTask(late);
    launched.clock->runUntilIdle();
    EXPECT_TRUE(launched.app.isSuspended());
}

TEST(ApplicationAttributes, TheDesktopHearsOfEachChange) {
    LaunchedApp launched;
    int changes = 0;
    launched.app.setAttributesObserver([&] { ++changes; });
    launched.app.setApplicationIconBadgeNumber(24);
    launched.app.setApplicationIconBadgeNumber(24);
    launched.app.setIdleTimerDisabled(true);
    launched.app.setNetworkActivityIndicatorVisible(true);
    EXPECT_EQ(changes, 3);
    launched.app.resignActive();
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(launched.app.applicationIconBadgeNumber(), 24);
    EXPECT_TRUE(launched.app.isIdleTimerDisabled());
    EXPECT_TRUE(launched.app.isNetworkActivityIndicatorVisible());
}

TEST(ApplicationLinks, OnlyWebAndMailLinksReachTheDesktop) {
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
    EXPECT_EQ(opener->opened, (std::vector<std::string>{"https://example.org/privacy"}));
}

TEST(ApplicationLinks, ADesktopWithoutAHandlerOpensNothing) {
    auto clock = VirtualClock::install();
    UIApplication& app = UIApplication::sharedApplication();
    app.setURLOpener(std::make_shared<quorvel::testing::RecordingURLOpener>(std::set<std::string>{"https"}));
    EXPECT_FALSE(app.canOpenURL("mailto:help@example.org"));
    app.setURLOpener(nullptr);
    EXPECT_FALSE(app.canOpenURL("https://example.org"));
    bool opened = true;
    app.openURL("https://example.org", {}, [&](bool result) { opened = result; });
    clock->runUntilIdle();
    EXPECT_FALSE(opened);
}
