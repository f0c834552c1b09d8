#pragma once

#include <optional>
#include <string>

#include "analytics/foundation/apm_value.h"
#include "analytics/records/apm_event.h"

namespace analytics {

// A user property set only once its trigger event arrives within the trigger timeout, and cleared again
// when its time to live has passed. It carries the events to log when it is triggered, times out or
// expires. Times are seconds (since 1970 for the two timestamps). A plain value: copies are independent.
class APMConditionalUserProperty {
public:
    static APMConditionalUserProperty init() { return {}; }

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    const std::string& origin() const { return origin_; }
    void setOrigin(std::string origin) { origin_ = std::move(origin); }
    const std::optional<APMValue>& value() const { return value_; }
    void setValue(std::optional<APMValue> value) { value_ = std::move(value); }
    // Empty when the property waits for no event.
    const std::string& triggerEventName() const { return triggerEventName_; }
    void setTriggerEventName(std::string name) { triggerEventName_ = std::move(name); }
    double triggerTimeout() const { return triggerTimeout_; }
    void setTriggerTimeout(double seconds) { triggerTimeout_ = seconds; }
    double timeToLive() const { return timeToLive_; }
    void setTimeToLive(double seconds) { timeToLive_ = seconds; }

    const std::optional<APMEvent>& triggeredEvent() const { return triggeredEvent_; }
    void setTriggeredEvent(std::optional<APMEvent> event) { triggeredEvent_ = std::move(event); }
    const std::optional<APMEvent>& timedOutEvent() const { return timedOutEvent_; }
    void setTimedOutEvent(std::optional<APMEvent> event) { timedOutEvent_ = std::move(event); }
    const std::optional<APMEvent>& expiredEvent() const { return expiredEvent_; }
    void setExpiredEvent(std::optional<APMEvent> event) { expiredEvent_ = std::move(event); }

    double creationTimestamp() const { return creationTimestamp_; }
    void setCreationTimestamp(double timestamp) { creationTimestamp_ = timestamp; }
    double triggeredTimestamp() const { return triggeredTimestamp_; }
    void setTriggeredTimestamp(double timestamp) { triggeredTimestamp_ = timestamp; }
    bool isActive() const { return active_; }
    void setActive(bool active) { active_ = active; }

private:
    std::string name_;
    std::string origin_;
    std::optional<APMValue> value_;
    std::string triggerEventName_;
    double triggerTimeout_ = 0;
    double timeToLive_ = 0;
    std::optional<APMEvent> triggeredEvent_;
    std::optional<APMEvent> timedOutEvent_;
    std::optional<APMEvent> expiredEvent_;
    double creationTimestamp_ = 0;
    double triggeredTimestamp_ = 0;
    bool active_ = false;
};

}  // namespace analytics
