#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/backgroundtasks/bg_app_refresh_task_request.h"
#include "platform/backgroundtasks/bg_task.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_error.h"
#include "platform/foundation/ns_notification_center.h"

namespace platform {

// The app's background tasks. A submitted request runs its registered handler once, while the app
// is in the background, no sooner than 15 minutes after submission (a request that falls due while
// the app is in front waits for its next trip to the background). The app is kept awake while the
// task runs, for at most 30 seconds, after which the task expires. A new request for an identifier
// replaces the pending one. Nothing runs after the app terminated.
class BGTaskScheduler {
public:
    static constexpr const char* kErrorDomain = "BGTaskSchedulerErrorDomain";
    // The identifier was never registered.
    static constexpr std::int64_t kErrorCodeNotPermitted = 3;
    static constexpr double kEarliestDelay = 15 * 60;
    static constexpr double kRunningTime = 30;

    using LaunchHandler = std::function<void(std::shared_ptr<BGTask> task)>;

    static BGTaskScheduler& sharedScheduler();
    // Tests: forgets every registration and request.
    static void resetSharedForTesting();

    // The handler runs on `queue`, or on a global queue when none is given. False when the
    // identifier is registered already.
    bool registerForTaskWithIdentifier(const std::string& identifier, std::shared_ptr<DispatchQueue> queue,
                                       LaunchHandler launchHandler) EXCLUDES(mutex_);
    bool submitTaskRequest(const BGAppRefreshTaskRequest& request, std::shared_ptr<NSError>* error)
        EXCLUDES(mutex_);
    std::vector<BGAppRefreshTaskRequest> pendingTaskRequests() const EXCLUDES(mutex_);

    // Runs the pending request of that identifier now, as when it falls due in the background (tests
    // and the shell's debugging key). The task, or null when nothing was pending or registered.
    // Main thread.
    std::shared_ptr<BGTask> launchPendingTask(const std::string& identifier) EXCLUDES(mutex_);

private:
    struct Registration {
        std::shared_ptr<DispatchQueue> queue;
        LaunchHandler handler;
    };
    struct Pending {
        BGAppRefreshTaskRequest request;
        std::optional<Clock::Token> alarm;
        bool due = false;
    };

    BGTaskScheduler();
    void fallDue(const std::string& identifier) EXCLUDES(mutex_);
    void launchDueTasks() EXCLUDES(mutex_);

    mutable Mutex mutex_;
    std::map<std::string, Registration> registrations_ GUARDED_BY(mutex_);
    std::map<std::string, Pending> pending_ GUARDED_BY(mutex_);
    std::shared_ptr<NSNotificationObserverToken> backgroundObserver_;
};

}  // namespace platform
