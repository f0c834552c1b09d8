#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/core/auto_reset_prompt.h"
#include "platform/backgroundtasks/bg_task.h"
#include "platform/foundation/ns_notification_center.h"
#include "platform/foundation/value.h"
#include "platform/uikit/application/ui_application_delegate.h"
#include "platform/usernotifications/un_user_notification_center_delegate.h"

namespace quorvel {

// The application's delegate: starts the outside services, writes the first launch's defaults, builds
// the session store and its sync, clears the day's counts when the auto-reset falls due, keeps the
// screen awake as the settings say, and carries a running timer across the background: leaving, it
// schedules the session-change notifications and marks the timer for resuming; returning, it catches
// the timer up and withdraws them. It also keeps a background refresh task that saves the store and
// flushes pending sync changes, and reports yesterday's session count once a day. Main thread.
class AppDelegate : public platform::UIApplicationDelegate,
                    public platform::UNUserNotificationCenterDelegate,
                    public std::enable_shared_from_this<AppDelegate> {
public:
    static constexpr const char* kAmplitudeApiKey = "7c1d9e04b2a85f3360ee4a19d7b2c58f";

    // Without a prompt the auto-reset on activation is not asked, and the counts stay.
    explicit AppDelegate(std::shared_ptr<AutoResetPrompt> autoResetPrompt = nullptr);
    ~AppDelegate() override;

    // The app's reverse-domain identifier and ".refresh.sync": it registers the background task and
    // names every request for it.
    const std::string& syncBGRefreshTaskID() const { return syncBGRefreshTaskID_; }

    bool applicationDidFinishLaunchingWithOptions(platform::UIApplication& application,
                                                  const platform::Value::Dictionary& launchOptions) override;
    void applicationWillResignActive(platform::UIApplication& application) override;
    void applicationDidEnterBackground(platform::UIApplication& application) override;
    void applicationWillEnterForeground(platform::UIApplication& application) override;
    void applicationDidBecomeActive(platform::UIApplication& application) override;
    void applicationWillTerminate(platform::UIApplication& application) override;
    // Notifications show, sound and badge while the app is in front.
    void userNotificationCenter(
        platform::UNUserNotificationCenter& center, const std::shared_ptr<platform::UNNotification>& notification,
        std::function<void(platform::UNNotificationPresentationOptions)> completionHandler) override;
    // "enableLockScreen" with the new keep-awake state as a Boolean; any other object is ignored.
    void didChangeLockScreen(const platform::NSNotification& notification);

    bool finishLaunching(const platform::Value::Dictionary& launchOptions);
    void enterBackground();
    void enterForeground();
    void becomeActive();
    void terminate();

    // Due when the last check was before the most recent reset moment that has come: today's at the
    // reset hour once it has come, else yesterday's.
    bool isAutoResetDue() const;
    void checkAutoReset();
    void applyAutoResetChoice(bool reset);
    void resetCounters();
    void checkChosenMusic();

    void scheduleRefreshTask();
    void handleRefreshTask(const std::shared_ptr<platform::BGTask>& task);
    // Saves the store and flushes pending sync changes off the main thread; `completion` may come
    // from the sync's queue. Without a store it never comes.
    void performBackgroundSync(std::function<void()> completion);
    void saveStoreForSync(std::function<void()> completion);
    void flushPendingSyncChanges(std::function<void()> completion);

private:
    static void applyIdleTimerSetting();
    void writeFirstLaunchDefaults();
    void scheduleSessionChangeNotifications();
    void reportYesterdaysSessionCount();

    std::string syncBGRefreshTaskID_;
    std::shared_ptr<AutoResetPrompt> autoResetPrompt_;
};

}  // namespace quorvel
