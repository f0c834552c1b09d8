#include "platform/foundation/pending_work.h"

namespace platform {

PendingWork& PendingWork::shared() {
    static PendingWork* work = new PendingWork();  // never destroyed: worker threads may outlive statics
    return *work;
}

void PendingWork::begin() {
    std::lock_guard lock(mutex_);
    ++count_;
    ++generation_;
}

void PendingWork::end() {
    {
        std::lock_guard lock(mutex_);
        --count_;
        ++generation_;
    }
    changed_.notify_all();
}

bool PendingWork::idle() const {
    std::lock_guard lock(mutex_);
    return count_ == 0;
}

void PendingWork::waitForChange(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto seen = generation_;
    changed_.wait_for(lock, timeout, [&] { return generation_ != seen; });
}

}  // namespace platform
