#include "analytics/foundation/apm_alarm.h"

#include <cmath>

#include "analytics/monitor/apm_monitor.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/dispatch/dispatch_source_timer.h"

namespace analytics {

APMAlarm::APMAlarm(std::shared_ptr<platform::DispatchQueue> queue, const std::string& name)
    : queue_(std::move(queue)), name_(name.empty() ? "Timer" : name) {}

APMAlarm::~APMAlarm() {
    cancel();
}

void APMAlarm::runAfterDelay(double delaySeconds, Block block) {
    auto monitor = APMMonitor::sharedInstance();
    if (!block) {
        monitor->logWithLevel(APMLogLevel::MonitoredError, 2000, name_ + " tried to schedule an empty block");
        return;
    }
    cancel();
    // A negative or NaN delay means "as soon as the queue is free".
    const double delay = std::isnan(delaySeconds) ? 0 : std::max(0.0, delaySeconds);

    auto timer = platform::DispatchSourceTimer::create(queue_);
    timer->setEventHandler([self = shared_from_this(), block = std::move(block)] {
        APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::Debug, 2001, self->name_ + " fired");
        self->cancel();
        block();
    });
    timer->schedule(delay, 0);
    {
        platform::MutexLock lock(mutex_);
        scheduledTimestamp_ = platform::NSDate::now().dateByAddingTimeInterval(delay);
        timer_ = timer;
    }
    timer->resume();
    monitor->logWithLevel(APMLogLevel::Debug, 2002, name_ + " scheduled to fire in approx. (s)",
                          APMLogContext(delaySeconds));
}

void APMAlarm::cancel() {
    std::shared_ptr<platform::DispatchSourceTimer> timer;
    {
        platform::MutexLock lock(mutex_);
        if (!scheduledTimestamp_) return;
        scheduledTimestamp_.reset();
        timer = timer_;
    }
    auto monitor = APMMonitor::sharedInstance();
    monitor->logWithLevel(APMLogLevel::Debug, 2003, name_ + " canceled");
    if (timer && !timer->isCancelled()) {
        timer->cancel();
        // The handler holds the alarm; dropping it ends that hold (a running handler keeps its own copy).
        timer->setEventHandler(nullptr);
    } else {
        monitor->logWithLevel(APMLogLevel::MonitoredWarning, 2004, name_ + " is not active");
    }
}

bool APMAlarm::hasActiveTimer() const {
    platform::MutexLock lock(mutex_);
    return timer_ && !timer_->isCancelled();
}

std::optional<platform::NSDate> APMAlarm::scheduledTimestamp() const {
    platform::MutexLock lock(mutex_);
    return scheduledTimestamp_;
}

}  // namespace analytics
