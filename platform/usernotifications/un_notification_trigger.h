#pragma once

#include <optional>
#include <string>

#include "platform/foundation/ns_date.h"

namespace platform {

// When a request fires. The centre asks for the first fire after the moment it adds the request,
// and for a repeating one again after each fire.
class UNNotificationTrigger {
public:
    virtual ~UNNotificationTrigger() = default;

    bool repeats() const { return repeats_; }

    // The first moment after `date` at which the trigger fires; none when it never does.
    virtual std::optional<NSDate> nextDateAfter(NSDate date) const = 0;
    // Why the trigger can never fire as given; empty when it can.
    virtual std::string invalidReason() const = 0;

    // Whether the trigger names a local date and time, whose instant depends on the time zone.
    virtual bool namesLocalTime() const { return false; }

    std::optional<NSDate> nextTriggerDate() const { return nextDateAfter(NSDate::now()); }

protected:
    explicit UNNotificationTrigger(bool repeats) : repeats_(repeats) {}

private:
    bool repeats_;
};

}  // namespace platform
