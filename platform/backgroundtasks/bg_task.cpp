#include "platform/backgroundtasks/bg_task.h"

namespace platform {

void BGTask::setExpirationHandler(std::function<void()> handler) {
    MutexLock lock(mutex_);
    expirationHandler_ = std::move(handler);
}

void BGTask::setTaskCompletedWithSuccess(bool success) {
    std::function<void(bool)> ended;
    {
        MutexLock lock(mutex_);
        if (success_) return;
        success_ = success;
        ended = std::move(ended_);
        expirationHandler_ = nullptr;
    }
    if (ended) ended(success);
}

std::optional<bool> BGTask::success() const {
    MutexLock lock(mutex_);
    return success_;
}

bool BGTask::expired() const {
    MutexLock lock(mutex_);
    return expired_;
}

void BGTask::expire() {
    std::function<void()> handler;
    {
        MutexLock lock(mutex_);
        if (success_) return;
        expired_ = true;
        handler = expirationHandler_;
    }
    if (handler) handler();
    setTaskCompletedWithSuccess(false);
}

}  // namespace platform
