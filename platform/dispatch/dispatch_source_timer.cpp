#include "platform/dispatch/dispatch_source_timer.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/clock.h"

namespace platform {

std::shared_ptr<DispatchSourceTimer> DispatchSourceTimer::create(std::shared_ptr<DispatchQueue> queue) {
    return std::shared_ptr<DispatchSourceTimer>(new DispatchSourceTimer(std::move(queue)));
}

DispatchSourceTimer::~DispatchSourceTimer() {
    disarm();
}

void DispatchSourceTimer::setEventHandler(Block handler) {
    MutexLock lock(mutex_);
    handler_ = std::move(handler);
}

void DispatchSourceTimer::schedule(double startDelaySeconds, double intervalSeconds) {
    MutexLock lock(mutex_);
    if (cancelled_) return;
    ++scheduleId_;
    nextDeadline_ = Clock::shared().now() + std::max(0.0, startDelaySeconds);
    interval_ = std::max(0.0, intervalSeconds);
    hasSchedule_ = true;
    if (resumed_) arm();
}

void DispatchSourceTimer::resume() {
    MutexLock lock(mutex_);
    if (cancelled_ || resumed_) return;
    resumed_ = true;
    if (hasSchedule_) arm();
}

void DispatchSourceTimer::cancel() {
    MutexLock lock(mutex_);
    cancelled_ = true;
    ++scheduleId_;
    disarm();
}

bool DispatchSourceTimer::isCancelled() const {
    MutexLock lock(mutex_);
    return cancelled_;
}

void DispatchSourceTimer::arm() {
    disarm();
    auto& clock = Clock::shared();
    std::weak_ptr<DispatchSourceTimer> weak = weak_from_this();
    clockToken_ = clock.schedule(nextDeadline_, [weak, id = scheduleId_] {
        if (auto self = weak.lock()) self->fired(id);
    });
}

// Also called by the destructor, when no other thread can reach the timer. A replaced clock has dropped the
// callback already, and tokens are unique across clocks, so cancelling on the current one is always safe.
void DispatchSourceTimer::disarm() {
    if (clockToken_) Clock::shared().cancel(clockToken_);
    clockToken_ = 0;
}

void DispatchSourceTimer::fired(std::uint64_t id) {
    MutexLock lock(mutex_);
    if (id != scheduleId_) return;
    clockToken_ = 0;
    if (interval_ > 0) {
        // Missed fires collapse into this one; the next keeps the original schedule.
        const double now = Clock::shared().now();
        const double missed = std::floor((now - nextDeadline_) / interval_);
        nextDeadline_ += (std::max(0.0, missed) + 1) * interval_;
        arm();
    } else {
        hasSchedule_ = false;
    }
    std::weak_ptr<DispatchSourceTimer> weak = weak_from_this();
    queue_->async([weak, id] {
        auto self = weak.lock();
        if (!self) return;
        Block handler;
        {
            MutexLock lock(self->mutex_);
            if (id != self->scheduleId_) return;  // rescheduled or cancelled meanwhile
            handler = self->handler_;
        }
        if (handler) handler();
    });
}

}  // namespace platform
