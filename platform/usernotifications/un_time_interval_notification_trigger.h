#pragma once

#include <memory>

#include "platform/usernotifications/un_notification_trigger.h"

namespace platform {

// Fires a number of seconds after the request was added, and again every as many seconds when it
// repeats. The centre refuses an interval of zero or less (or not a number), and a repeating one
// under a minute.
class UNTimeIntervalNotificationTrigger : public UNNotificationTrigger {
public:
    static constexpr double kMinimumRepeatingInterval = 60;

    static std::shared_ptr<UNTimeIntervalNotificationTrigger> triggerWithTimeInterval(double timeInterval,
                                                                                      bool repeats) {
        return std::shared_ptr<UNTimeIntervalNotificationTrigger>(
            new UNTimeIntervalNotificationTrigger(timeInterval, repeats));
    }

    double timeInterval() const { return timeInterval_; }

    std::optional<NSDate> nextDateAfter(NSDate date) const override;
    std::string invalidReason() const override;

private:
    UNTimeIntervalNotificationTrigger(double timeInterval, bool repeats)
        : UNNotificationTrigger(repeats), timeInterval_(timeInterval) {}

    double timeInterval_;
};

}  // namespace platform
