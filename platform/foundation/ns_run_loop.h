#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/foundation/mutex.h"

namespace platform {

class NSTimer;

using NSRunLoopMode = std::string;
// Never destroyed, like every shared constant here: queues may read them while the process exits.
extern const NSRunLoopMode& NSDefaultRunLoopMode;
extern const NSRunLoopMode& UITrackingRunLoopMode;
extern const NSRunLoopMode& NSRunLoopCommonModes;

// The main thread's run loop: timers that fire in the modes they were added for, and a FIFO of
// blocks (the main queue). Time comes from the process clock. While suspended (the app is in the
// background and not running), time moves on but nothing runs; on resuming, each overdue timer
// fires once and keeps its schedule.
class NSRunLoop {
public:
    static NSRunLoop& main();
    static NSRunLoop& currentRunLoop() { return main(); }

    // Timers stay alive while scheduled, until invalidated.
    void addTimer(const std::shared_ptr<NSTimer>& timer, const NSRunLoopMode& mode);

    // Queues a block to run on the main thread after the blocks queued before it. Any thread.
    void perform(std::function<void()> block);

    NSRunLoopMode currentMode() const;
    // The mode the loop runs in: default, or tracking while the user drags. Main thread.
    void setCurrentMode(const NSRunLoopMode& mode);

    void setSuspended(bool suspended);
    bool isSuspended() const;

    // Runs every due timer and every queued block once; true when anything ran. Main thread.
    bool runPending();
    // The earliest fire date of a timer that may fire now (mode and suspension allowing).
    std::optional<double> nextTimerDate() const;
    bool hasRunnableBlocks() const;

    // For the real application: runs what is due, then waits for work, for the next timer or for
    // at most `maxWaitSeconds`, whichever comes first, and runs what became due.
    void runOnce(double maxWaitSeconds);
    // Wakes a waiting runOnce(); the clock and other threads call it.
    void wakeUp();
    // Also called on every wake-up, from whichever thread woke the loop, for a host that waits on
    // something else than runOnce() (the desktop shell waits for window events). Empty: none.
    void setWakeUpHandler(std::function<void()> handler);

    // Forgets every timer, queued block and wake-up handler and returns to the default mode, not
    // suspended.
    // Tests call it (through VirtualClock::install) so each case starts clean.
    void reset();

private:
    NSRunLoop() = default;
    friend class NSTimer;
    void removeTimer(const NSTimer* timer);
    bool isEligible(const NSTimer& timer) const REQUIRES(mutex_);
    bool runDueTimers();
    bool runQueuedBlocks();

    mutable Mutex mutex_;
    std::condition_variable wake_;
    bool woken_ GUARDED_BY(mutex_) = false;
    NSRunLoopMode currentMode_ GUARDED_BY(mutex_) = NSDefaultRunLoopMode;
    bool suspended_ GUARDED_BY(mutex_) = false;
    std::deque<std::function<void()>> blocks_ GUARDED_BY(mutex_);
    std::vector<std::shared_ptr<NSTimer>> timers_ GUARDED_BY(mutex_);
    std::shared_ptr<const std::function<void()>> wakeUpHandler_ GUARDED_BY(mutex_);
};

}  // namespace platform
