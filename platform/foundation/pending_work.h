#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>

#include "platform/foundation/mutex.h"

namespace platform {

// Counts work handed to background threads that has not finished yet, so a virtual-time test can
// wait until the app has settled. Queues call begin() when work is queued and end() after it ran.
class PendingWork {
public:
    static PendingWork& shared();

    void begin();
    void end();
    bool idle() const;
    // Waits until the count changes or the timeout passes.
    void waitForChange(std::chrono::milliseconds timeout);

private:
    mutable Mutex mutex_;
    std::condition_variable changed_;
    std::int64_t count_ GUARDED_BY(mutex_) = 0;
    std::uint64_t generation_ GUARDED_BY(mutex_) = 0;
};

}  // namespace platform
