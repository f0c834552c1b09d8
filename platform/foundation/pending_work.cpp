#include "platform/foundation/pending_work.h"

namespace platform {

PendingWork& PendingWork::shared() {
    static PendingWork* work = new PendingWork();  // never destroyed: worker threads may outlive statics
    return *work;
}

void PendingWork::begin() {
    MutexLock lock(mutex_);
    ++count_;
    ++generation_;
}

void PendingWork::end() {
    {
        MutexLock lock(mutex_);
        --count_;
        ++generation_;
    }
    changed_.notify_all();
}

bool PendingWork::idle() const {
    MutexLock lock(mutex_);
    return count_ == 0;
}

void PendingWork::waitForChange(std::chrono::milliseconds timeout) {
    MutexLock lock(mutex_);
    const auto seen = generation_;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (generation_ == seen && lock.waitUntil(changed_, deadline)) {
    }
}

}  // namespace platform
