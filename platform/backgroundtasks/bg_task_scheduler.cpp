#include "platform/backgroundtasks/bg_task_scheduler.h"

#include <algorithm>

#include "platform/foundation/ns_run_loop.h"
#include "platform/uikit/application/ui_application.h"

namespace platform {

namespace {

BGTaskScheduler*& sharedInstance() {
    static BGTaskScheduler* instance = nullptr;
    return instance;
}

bool inBackground() {
    const auto& application = UIApplication::sharedApplication();
    return application.applicationState() == UIApplicationState::background && !application.isTerminated();
}

}  // namespace

BGTaskScheduler& BGTaskScheduler::sharedScheduler() {
    auto*& instance = sharedInstance();
    // Never destroyed: clock callbacks may still reach it while the process exits.
    if (!instance) instance = new BGTaskScheduler();
    return *instance;
}

void BGTaskScheduler::resetSharedForTesting() {
    auto*& instance = sharedInstance();
    if (!instance) return;
    {
        MutexLock lock(instance->mutex_);
        for (auto& [identifier, pending] : instance->pending_) {
            if (pending.alarm) Clock::shared().cancel(*pending.alarm);
        }
        instance->pending_.clear();
        instance->registrations_.clear();
    }
}

BGTaskScheduler::BGTaskScheduler() {
    backgroundObserver_ = NSNotificationCenter::defaultCenter().addObserverForName(
        UIApplicationDidEnterBackgroundNotification, [this](const NSNotification&) { launchDueTasks(); });
}

bool BGTaskScheduler::registerForTaskWithIdentifier(const std::string& identifier,
                                                     std::shared_ptr<DispatchQueue> queue,
                                                     LaunchHandler launchHandler) {
    MutexLock lock(mutex_);
    return registrations_.emplace(identifier, Registration{std::move(queue), std::move(launchHandler)}).second;
}

bool BGTaskScheduler::submitTaskRequest(const BGAppRefreshTaskRequest& request, std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    if (!registrations_.contains(request.identifier)) {
        if (error) {
            *error = NSError::errorWithDomain(
                kErrorDomain, kErrorCodeNotPermitted,
                {{"NSLocalizedDescription", "No launch handler is registered for " + request.identifier}});
        }
        return false;
    }
    auto& clock = Clock::shared();
    if (auto old = pending_.find(request.identifier); old != pending_.end() && old->second.alarm)
        clock.cancel(*old->second.alarm);
    double deadline = clock.now() + kEarliestDelay;
    if (request.earliestBeginDate)
        deadline = std::max(deadline, request.earliestBeginDate->timeIntervalSinceReferenceDate());
    auto identifier = request.identifier;
    auto alarm = clock.schedule(deadline, [this, identifier] { fallDue(identifier); });
    pending_.insert_or_assign(request.identifier, Pending{request, alarm, false});
    return true;
}

std::vector<BGAppRefreshTaskRequest> BGTaskScheduler::pendingTaskRequests() const {
    MutexLock lock(mutex_);
    std::vector<BGAppRefreshTaskRequest> requests;
    for (const auto& [identifier, pending] : pending_) requests.push_back(pending.request);
    return requests;
}

void BGTaskScheduler::fallDue(const std::string& identifier) {
    {
        MutexLock lock(mutex_);
        auto found = pending_.find(identifier);
        if (found == pending_.end()) return;
        found->second.alarm.reset();
        found->second.due = true;
    }
    if (UIApplication::sharedApplication().isTerminated()) return;
    // Wakes a suspended app long enough to see whether it is in the background.
    auto& application = UIApplication::sharedApplication();
    const auto hold = application.beginBackgroundTask();
    NSRunLoop::main().perform([this, hold] {
        launchDueTasks();
        UIApplication::sharedApplication().endBackgroundTask(hold);
    });
}

void BGTaskScheduler::launchDueTasks() {
    if (!inBackground()) return;
    std::vector<std::string> due;
    {
        MutexLock lock(mutex_);
        for (const auto& [identifier, pending] : pending_) {
            if (pending.due) due.push_back(identifier);
        }
    }
    for (const auto& identifier : due) launchPendingTask(identifier);
}

std::shared_ptr<BGTask> BGTaskScheduler::launchPendingTask(const std::string& identifier) {
    Registration registration;
    {
        MutexLock lock(mutex_);
        auto found = pending_.find(identifier);
        auto registered = registrations_.find(identifier);
        if (found == pending_.end() || registered == registrations_.end()) return nullptr;
        if (found->second.alarm) Clock::shared().cancel(*found->second.alarm);
        pending_.erase(found);
        registration = registered->second;
    }
    auto& application = UIApplication::sharedApplication();
    if (application.isTerminated()) return nullptr;
    const auto hold = application.beginBackgroundTask();
    auto& clock = Clock::shared();
    auto expiry = std::make_shared<std::optional<Clock::Token>>();
    auto task = std::make_shared<BGAppRefreshTask>(identifier, [hold, expiry](bool) {
        if (*expiry) Clock::shared().cancel(**expiry);
        UIApplication::sharedApplication().endBackgroundTask(hold);
    });
    // The alarm keeps the task until it ends, so a handler that drops it still lets the app sleep.
    *expiry = clock.schedule(clock.now() + kRunningTime, [task] {
        NSRunLoop::main().perform([task] { task->expire(); });
    });
    auto queue = registration.queue ? registration.queue : DispatchQueue::global();
    queue->async([handler = registration.handler, task] { handler(task); });
    return task;
}

}  // namespace platform
