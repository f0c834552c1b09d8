#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_error.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/usernotifications/pending_notification_store.h"
#include "platform/usernotifications/un_notification.h"
#include "platform/usernotifications/un_notification_settings.h"
#include "platform/usernotifications/un_user_notification_center_delegate.h"

namespace platform {

// The app's local notifications. Every operation runs in order on the centre's own queue, and so do
// the completion handlers. Pending requests live under the data root and survive a restart; time
// comes from the process clock.
//
// A request that falls due while the app is suspended in the background goes to the desktop's
// notification service (a console line says so where none answers); while the app runs, the
// delegate is asked on the main thread whether to show it. A request that fell due while the
// program was not running was missed and is dropped at the next start; a repeating one moves on to
// its next date. A repeating calendar request is a local wall time: at the start, and at the first
// operation after the default time zone changed, its next date is computed afresh in the present
// zone; any other request keeps its instant. Authorisation is granted once it was requested: a
// desktop has no permission dialog.
class UNUserNotificationCenter : public std::enable_shared_from_this<UNUserNotificationCenter> {
public:
    using AuthorizationHandler = std::function<void(bool granted, std::shared_ptr<NSError> error)>;
    using SettingsHandler = std::function<void(const UNNotificationSettings& settings)>;
    using ErrorHandler = std::function<void(std::shared_ptr<NSError> error)>;
    using RequestsHandler = std::function<void(std::vector<std::shared_ptr<UNNotificationRequest>> requests)>;
    using NotificationsHandler =
        std::function<void(std::vector<std::shared_ptr<UNNotification>> notifications)>;

    static std::shared_ptr<UNUserNotificationCenter> currentNotificationCenter();
    // Tests: forgets the centre, so the next one reads the pending requests from disk as after a restart.
    static void resetCurrentForTesting();
    // Tests: authorisation requests are answered "denied" from now on.
    static void setDeniesAuthorizationForTesting(bool denies);

    UNUserNotificationCenter();
    ~UNUserNotificationCenter();

    void requestAuthorizationWithOptions(UNAuthorizationOptions options,
                                         AuthorizationHandler completionHandler);
    void getNotificationSettingsWithCompletionHandler(SettingsHandler completionHandler);
    // Refuses, with an error to the handler, a request without identifier and one whose trigger can
    // never fire (an interval of zero or less, a date that does not exist).
    void addNotificationRequest(std::shared_ptr<UNNotificationRequest> request,
                                ErrorHandler completionHandler = {});
    void removePendingNotificationRequestsWithIdentifiers(std::vector<std::string> identifiers);
    // In the order of their next fire.
    void getPendingNotificationRequestsWithCompletionHandler(RequestsHandler completionHandler);
    void getDeliveredNotificationsWithCompletionHandler(NotificationsHandler completionHandler);

    // Held weakly.
    std::shared_ptr<UNUserNotificationCenterDelegate> delegate() const;
    void setDelegate(const std::shared_ptr<UNUserNotificationCenterDelegate>& delegate);

private:
    // Runs `work` on the queue with the pending requests loaded.
    void perform(std::function<void(UNUserNotificationCenter& center)> work);
    void loadIfNeeded() REQUIRES(mutex_);
    // When the default time zone is no longer the one the dates were computed in, recomputes them.
    void followTimeZone() REQUIRES(mutex_);
    // Gives each repeating calendar request the next date its local wall time has after `now` in the
    // present zone; true when any date moved. The list is left unsorted.
    bool recomputeWallTimes(NSDate now) REQUIRES(mutex_);
    // Takes the due requests out of the pending list (a repeating one stays with its next date),
    // stores the list, waits for the next one; then hands the due ones on.
    void settle() EXCLUDES(mutex_);
    void saveAndArm() REQUIRES(mutex_);
    // Sets the clock to wake the centre when the first pending request falls due.
    void arm() REQUIRES(mutex_);
    void present(const std::shared_ptr<UNNotification>& notification);
    void show(const std::shared_ptr<UNNotification>& notification, bool withSound) EXCLUDES(mutex_);
    bool isAuthorized() const EXCLUDES(mutex_);

    std::shared_ptr<DispatchQueue> queue_;
    mutable Mutex mutex_;
    bool loaded_ GUARDED_BY(mutex_) = false;
    bool authorizationRequested_ GUARDED_BY(mutex_) = false;
    std::vector<PendingNotification> pending_ GUARDED_BY(mutex_);
    std::vector<std::shared_ptr<UNNotification>> delivered_ GUARDED_BY(mutex_);
    std::optional<Clock::Token> alarm_ GUARDED_BY(mutex_);
    // The zone the calendar requests' dates were computed in.
    std::optional<NSTimeZone> zone_ GUARDED_BY(mutex_);
    std::weak_ptr<UNUserNotificationCenterDelegate> delegate_ GUARDED_BY(mutex_);
};

}  // namespace platform
