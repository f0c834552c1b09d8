#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/foundation/value.h"

namespace platform {

class UIApplicationDelegate;
class UIWindow;
class URLOpener;

enum class UIApplicationState : int { active = 0, inactive = 1, background = 2 };

// Posted after the delegate's matching call, with no object.
extern const NSNotificationName& UIApplicationDidFinishLaunchingNotification;
extern const NSNotificationName& UIApplicationDidBecomeActiveNotification;
extern const NSNotificationName& UIApplicationWillResignActiveNotification;
extern const NSNotificationName& UIApplicationDidEnterBackgroundNotification;
extern const NSNotificationName& UIApplicationWillEnterForegroundNotification;
extern const NSNotificationName& UIApplicationWillTerminateNotification;

// The running app as the desktop sees it: its state, its windows, the badge and the idle timer, and
// links handed to the desktop.
//
// The shell drives the life cycle through launch, resignActive/becomeActive (window focus),
// enterBackground/enterForeground (minimise and restore) and terminate (close), in the platform's
// order: launch → did finish launching → did become active; will resign active → did enter
// background; will enter foreground → did become active; will terminate. A call that does not fit
// the current state does nothing. The user defaults reach their files as the app enters the
// background and as it terminates. In the background the app is suspended once the work it queued on
// its way there has run: the main run loop then runs no timers and no queued work while the clock
// goes on, until the app returns to the foreground. Main thread.
class UIApplication {
public:
    static UIApplication& sharedApplication();
    // Puts the shared application back as a process finds it before its launch, so that the next test
    // case can launch it again.
    static void resetSharedForTesting();

    UIApplication(const UIApplication&) = delete;
    UIApplication& operator=(const UIApplication&) = delete;

    const std::shared_ptr<UIApplicationDelegate>& delegate() const { return delegate_; }
    void setDelegate(const std::shared_ptr<UIApplicationDelegate>& delegate) { delegate_ = delegate; }

    std::shared_ptr<UIWindow> keyWindow() const;
    std::vector<std::shared_ptr<UIWindow>> windows() const;

    UIApplicationState applicationState() const { return state_; }
    bool isSuspended() const;

    // Life cycle. Launching makes the delegate the application's; when the main bundle's information
    // names a main storyboard ("UIMainStoryboardFile"), the delegate's window shows its initial
    // controller, made before and shown after the delegate's launch call. It ends active. False when
    // already launched.
    bool launch(const std::shared_ptr<UIApplicationDelegate>& delegate,
                const Value::Dictionary& launchOptions = {});
    void resignActive();
    void becomeActive();
    // Resigns active first when active.
    void enterBackground();
    void enterForeground();
    // Resigns active first when active; afterwards every life-cycle call does nothing.
    void terminate();
    bool isTerminated() const { return terminated_.load(); }

    // Work the app finishes in the background: while one is held the app is not suspended, and
    // beginning one wakes a suspended app. Ending the last one in the background suspends it again once
    // the work it queued has run. Any thread.
    std::uint64_t beginBackgroundTask();
    void endBackgroundTask(std::uint64_t identifier);

    std::int64_t applicationIconBadgeNumber() const { return badgeNumber_; }
    void setApplicationIconBadgeNumber(std::int64_t number);
    // The desktop's screensaver stays off while this is set and the app is active.
    bool isIdleTimerDisabled() const { return idleTimerDisabled_; }
    void setIdleTimerDisabled(bool disabled);
    bool isNetworkActivityIndicatorVisible() const { return networkActivityIndicatorVisible_; }
    void setNetworkActivityIndicatorVisible(bool visible);
    // Called after every change of the state, the badge, the idle timer or the activity indicator, so
    // the desktop can show them.
    void setAttributesObserver(std::function<void()> observer) { attributesObserver_ = std::move(observer); }

    // Links: http, https and mailto go to the opener; every other scheme cannot be opened.
    bool canOpenURL(const std::string& url) const;
    // The completion, if any, runs on the main queue with whether the link went to the desktop.
    void openURL(const std::string& url, const Value::Dictionary& options = {},
                 std::function<void(bool success)> completion = nullptr);
    // The desktop's opener unless replaced; null opens nothing.
    void setURLOpener(const std::shared_ptr<URLOpener>& opener) { opener_ = opener; }

private:
    UIApplication();

    void loadMainStoryboard();

    // Tells the delegate through `call`, then posts `name`.
    void tell(void (UIApplicationDelegate::*call)(UIApplication&), const NSNotificationName& name);
    void attributesChanged();
    // Queues the suspension of this trip to the background, after the work queued before it.
    void suspendAfterQueuedWork();

    std::shared_ptr<UIApplicationDelegate> delegate_;
    UIApplicationState state_ = UIApplicationState::inactive;
    bool launched_ = false;
    std::atomic<bool> terminated_ = false;
    // Counts trips to the background, so a suspension queued for one trip is dropped after a return.
    std::uint64_t backgroundTrip_ = 0;
    Mutex backgroundTasksMutex_;
    std::set<std::uint64_t> backgroundTasks_ GUARDED_BY(backgroundTasksMutex_);
    std::uint64_t lastBackgroundTask_ GUARDED_BY(backgroundTasksMutex_) = 0;
    std::int64_t badgeNumber_ = 0;
    bool idleTimerDisabled_ = false;
    bool networkActivityIndicatorVisible_ = false;
    std::function<void()> attributesObserver_;
    std::shared_ptr<URLOpener> opener_;
};

}  // namespace platform
