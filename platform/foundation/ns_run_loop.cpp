#include "platform/foundation/ns_run_loop.h"

#include <algorithm>
#include <chrono>

#include "platform/foundation/bounded_wait.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_timer.h"

namespace platform {

const NSRunLoopMode& NSDefaultRunLoopMode = *new NSRunLoopMode("kCFRunLoopDefaultMode");
const NSRunLoopMode& UITrackingRunLoopMode = *new NSRunLoopMode("UITrackingRunLoopMode");
const NSRunLoopMode& NSRunLoopCommonModes = *new NSRunLoopMode("kCFRunLoopCommonModes");

NSRunLoop& NSRunLoop::main() {
    static NSRunLoop* loop = new NSRunLoop();  // never destroyed: other threads may post at exit
    return *loop;
}

void NSRunLoop::addTimer(const std::shared_ptr<NSTimer>& timer, const NSRunLoopMode& mode) {
    if (!timer || !timer->isValid()) return;
    {
        MutexLock lock(mutex_);
        timer->modes_.insert(mode);
        if (!timer->scheduled_) {
            timer->scheduled_ = true;
            timer->start_ = Clock::shared().now();
            timers_.push_back(timer);
        }
    }
    wakeUp();
}

void NSRunLoop::removeTimer(const NSTimer* timer) {
    MutexLock lock(mutex_);
    std::erase_if(timers_, [timer](const auto& t) { return t.get() == timer; });
}

void NSRunLoop::perform(std::function<void()> block) {
    {
        MutexLock lock(mutex_);
        blocks_.push_back(std::move(block));
    }
    wakeUp();
}

NSRunLoopMode NSRunLoop::currentMode() const {
    MutexLock lock(mutex_);
    return currentMode_;
}

void NSRunLoop::setCurrentMode(const NSRunLoopMode& mode) {
    {
        MutexLock lock(mutex_);
        currentMode_ = mode;
    }
    wakeUp();
}

void NSRunLoop::setSuspended(bool suspended) {
    {
        MutexLock lock(mutex_);
        suspended_ = suspended;
    }
    wakeUp();
}

bool NSRunLoop::isSuspended() const {
    MutexLock lock(mutex_);
    return suspended_;
}

bool NSRunLoop::isEligible(const NSTimer& timer) const {
    if (!timer.valid_) return false;
    if (timer.modes_.count(currentMode_)) return true;
    const bool currentIsCommon =
        currentMode_ == NSDefaultRunLoopMode || currentMode_ == UITrackingRunLoopMode;
    return currentIsCommon && timer.modes_.count(NSRunLoopCommonModes);
}

std::optional<double> NSRunLoop::nextTimerDate() const {
    MutexLock lock(mutex_);
    if (suspended_) return std::nullopt;
    std::optional<double> earliest;
    for (const auto& timer : timers_) {
        if (!isEligible(*timer)) continue;
        const double date = timer->fireDate();
        if (!earliest || date < *earliest) earliest = date;
    }
    return earliest;
}

bool NSRunLoop::hasRunnableBlocks() const {
    MutexLock lock(mutex_);
    return !suspended_ && !blocks_.empty();
}

bool NSRunLoop::runDueTimers() {
    const double now = Clock::shared().now();
    std::vector<std::shared_ptr<NSTimer>> due;
    {
        MutexLock lock(mutex_);
        if (suspended_) return false;
        for (const auto& timer : timers_) {
            if (isEligible(*timer) && timer->fireDate() <= now) due.push_back(timer);
        }
    }
    // Earlier fire dates first; equal dates in the order the timers were added.
    std::stable_sort(due.begin(), due.end(),
                     [](const auto& a, const auto& b) { return a->fireDate() < b->fireDate(); });
    for (const auto& timer : due) {
        if (timer->isValid()) timer->fireDue(now);
    }
    return !due.empty();
}

bool NSRunLoop::runQueuedBlocks() {
    // Only the blocks queued so far: a block that queues another lets timers run in between.
    std::deque<std::function<void()>> batch;
    {
        MutexLock lock(mutex_);
        if (suspended_) return false;
        batch.swap(blocks_);
    }
    for (auto& block : batch) block();
    return !batch.empty();
}

bool NSRunLoop::runPending() {
    const bool ranTimers = runDueTimers();
    const bool ranBlocks = runQueuedBlocks();
    return ranTimers || ranBlocks;
}

void NSRunLoop::runOnce(double maxWaitSeconds) {
    if (runPending()) return;
    double wait = maxWaitSeconds;
    if (auto next = nextTimerDate()) wait = std::min(wait, *next - Clock::shared().now());
    if (wait > 0) {
        MutexLock lock(mutex_);
        const auto deadline = std::chrono::steady_clock::now() + boundedWait(wait);
        while (!woken_ && lock.waitUntil(wake_, deadline)) {
        }
        woken_ = false;
    }
    runPending();
}

void NSRunLoop::wakeUp() {
    std::shared_ptr<const std::function<void()>> handler;
    {
        MutexLock lock(mutex_);
        woken_ = true;
        handler = wakeUpHandler_;
    }
    wake_.notify_all();
    if (handler) (*handler)();
}

void NSRunLoop::setWakeUpHandler(std::function<void()> handler) {
    MutexLock lock(mutex_);
    wakeUpHandler_ = handler ? std::make_shared<const std::function<void()>>(std::move(handler)) : nullptr;
}

void NSRunLoop::reset() {
    // What the dropped work holds is let go of outside the lock: as it ends it may use the run loop.
    std::vector<std::shared_ptr<NSTimer>> timers;
    std::deque<std::function<void()>> blocks;
    std::shared_ptr<const std::function<void()>> wakeUpHandler;
    {
        MutexLock lock(mutex_);
        timers.swap(timers_);
        blocks.swap(blocks_);
        currentMode_ = NSDefaultRunLoopMode;
        suspended_ = false;
        wakeUpHandler.swap(wakeUpHandler_);
    }
    for (auto& timer : timers) timer->valid_ = false;
}

}  // namespace platform
