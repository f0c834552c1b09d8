#pragma once

#include <memory>

#include "platform/foundation/ns_date_components.h"
#include "platform/usernotifications/un_notification_trigger.h"

namespace platform {

// Fires when the local date and time match the given fields (year, month, day, weekday, hour, minute,
// second), at the first second of each match: {weekday 2, hour 14} is every Monday at 14:00:00. The
// current calendar and time zone decide, as they are when the next date is computed.
class UNCalendarNotificationTrigger : public UNNotificationTrigger {
public:
    static std::shared_ptr<UNCalendarNotificationTrigger> triggerWithDateMatchingComponents(
        const NSDateComponents& dateComponents, bool repeats) {
        return std::shared_ptr<UNCalendarNotificationTrigger>(
            new UNCalendarNotificationTrigger(dateComponents, repeats));
    }

    const NSDateComponents& dateComponents() const { return components_; }

    std::optional<NSDate> nextDateAfter(NSDate date) const override;
    std::string invalidReason() const override;
    bool namesLocalTime() const override { return true; }

private:
    UNCalendarNotificationTrigger(const NSDateComponents& components, bool repeats)
        : UNNotificationTrigger(repeats), components_(components) {}

    std::string rangeProblem() const;

    NSDateComponents components_;
};

}  // namespace platform
