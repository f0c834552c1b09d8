#pragma once

#include <memory>
#include <optional>
#include <string>

#include "analytics/foundation/apm_value.h"
#include "analytics/messages/nano_message_base.h"

namespace analytics {

// One user property as the database keeps it: who set it, its internal name, its value and when it was
// last set (seconds).
class APMUserAttribute {
public:
    // Nothing unless the validator accepts the name and the value for that name.
    static std::optional<APMUserAttribute> initWithOrigin(std::string origin, std::string name, APMValue value,
                                                          double lastSetTimestamp);

    const std::string& origin() const { return origin_; }
    const std::string& name() const { return name_; }
    const APMValue& value() const { return value_; }
    double lastSetTimestamp() const { return lastSetTimestamp_; }
    bool isPublic() const { return !name_.empty() && name_.front() != '_'; }

    // The upload message: name, set time in milliseconds and the value (an array value writes none).
    std::shared_ptr<NANOMessageBase> protoUserAttribute() const;

private:
    APMUserAttribute(std::string origin, std::string name, APMValue value, double lastSetTimestamp)
        : origin_(std::move(origin)), name_(std::move(name)), value_(std::move(value)), lastSetTimestamp_(lastSetTimestamp) {}

    std::string origin_;
    std::string name_;
    APMValue value_;
    double lastSetTimestamp_;
};

}  // namespace analytics
