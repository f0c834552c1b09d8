#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_date.h"

namespace platform {
class DispatchQueue;
class DispatchSourceTimer;
}  // namespace platform

namespace analytics {

// A named one-shot timer on a dispatch queue: runs a block once after a delay, and a new run replaces
// a pending one. A pending run keeps the alarm alive until it fires or is cancelled.
class APMAlarm : public std::enable_shared_from_this<APMAlarm> {
public:
    using Block = std::function<void()>;

    // An empty name becomes "Timer".
    APMAlarm(std::shared_ptr<platform::DispatchQueue> queue, const std::string& name);
    ~APMAlarm();
    APMAlarm(const APMAlarm&) = delete;
    APMAlarm& operator=(const APMAlarm&) = delete;

    void runAfterDelay(double delaySeconds, Block block);
    void cancel();
    bool hasActiveTimer() const;
    std::optional<platform::NSDate> scheduledTimestamp() const;
    const std::string& name() const { return name_; }

private:
    const std::shared_ptr<platform::DispatchQueue> queue_;
    const std::string name_;
    mutable platform::Mutex mutex_;
    std::shared_ptr<platform::DispatchSourceTimer> timer_ GUARDED_BY(mutex_);
    std::optional<platform::NSDate> scheduledTimestamp_ GUARDED_BY(mutex_);
};

}  // namespace analytics
