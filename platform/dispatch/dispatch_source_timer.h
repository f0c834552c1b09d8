#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/mutex.h"

namespace platform {

// A timer source: after a start delay, and then every interval if one is given, its handler is
// queued on the target queue. Created suspended; resume() starts it, cancel() stops it for good.
class DispatchSourceTimer : public std::enable_shared_from_this<DispatchSourceTimer> {
public:
    using Block = std::function<void()>;

    static std::shared_ptr<DispatchSourceTimer> create(std::shared_ptr<DispatchQueue> queue);
    ~DispatchSourceTimer();

    void setEventHandler(Block handler);
    // A new schedule replaces the old one; interval 0 fires once.
    void schedule(double startDelaySeconds, double intervalSeconds = 0);
    void resume();
    void cancel();
    bool isCancelled() const;

private:
    explicit DispatchSourceTimer(std::shared_ptr<DispatchQueue> queue) : queue_(std::move(queue)) {}
    void arm() REQUIRES(mutex_);
    void disarm() REQUIRES(mutex_);
    void fired(std::uint64_t scheduleId);

    mutable Mutex mutex_;
    const std::shared_ptr<DispatchQueue> queue_;
    Block handler_ GUARDED_BY(mutex_);
    double nextDeadline_ GUARDED_BY(mutex_) = 0;
    double interval_ GUARDED_BY(mutex_) = 0;
    bool hasSchedule_ GUARDED_BY(mutex_) = false;
    bool resumed_ GUARDED_BY(mutex_) = false;
    bool cancelled_ GUARDED_BY(mutex_) = false;
    // A new schedule or a cancel makes earlier callbacks stale.
    std::uint64_t scheduleId_ GUARDED_BY(mutex_) = 0;
    // The token is the clock's own: a clock installed since has other callbacks under that number.
    Clock::Token clockToken_ GUARDED_BY(mutex_) = 0;
};

}  // namespace platform
