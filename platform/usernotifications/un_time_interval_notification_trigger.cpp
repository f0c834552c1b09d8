#include "platform/usernotifications/un_time_interval_notification_trigger.h"

#include <cmath>

namespace platform {

std::optional<NSDate> UNTimeIntervalNotificationTrigger::nextDateAfter(NSDate date) const {
    if (!invalidReason().empty()) return std::nullopt;
    return date.dateByAddingTimeInterval(timeInterval_);
}

std::string UNTimeIntervalNotificationTrigger::invalidReason() const {
    if (!std::isfinite(timeInterval_) || timeInterval_ <= 0)
        return "The time interval must be greater than 0.";
    if (repeats() && timeInterval_ < kMinimumRepeatingInterval) {
        return "The time interval must be at least 60 if repeating.";
    }
    return {};
}

}  // namespace platform
