#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/foundation/mutex.h"

namespace platform {

// One run of a registered background task. The app ends it with setTaskCompletedWithSuccess; when
// its time is up first, the expiration handler is called on the main thread and the task ends.
// Completion may come from any thread; only the first ending counts.
class BGTask {
public:
    BGTask(std::string identifier, std::function<void(bool success)> ended)
        : identifier_(std::move(identifier)), ended_(std::move(ended)) {}
    virtual ~BGTask() = default;

    const std::string& identifier() const { return identifier_; }
    void setExpirationHandler(std::function<void()> handler) EXCLUDES(mutex_);
    void setTaskCompletedWithSuccess(bool success) EXCLUDES(mutex_);

    // How the task ended, none while it runs.
    std::optional<bool> success() const EXCLUDES(mutex_);
    bool expired() const EXCLUDES(mutex_);
    // The system's end of the time allowed: the expiration handler, then the task ends unsuccessfully.
    void expire() EXCLUDES(mutex_);

private:
    const std::string identifier_;
    mutable Mutex mutex_;
    std::function<void()> expirationHandler_ GUARDED_BY(mutex_);
    std::function<void(bool success)> ended_ GUARDED_BY(mutex_);
    std::optional<bool> success_ GUARDED_BY(mutex_);
    bool expired_ GUARDED_BY(mutex_) = false;
};

// The task that refreshes the app's content in the background.
class BGAppRefreshTask : public BGTask {
public:
    using BGTask::BGTask;
};

}  // namespace platform
