#pragma once

#include <string>

#include "platform/foundation/value.h"

namespace analytics {

// An event as the event-editing programs see it: a name, a time in seconds and its own copy of plain
// parameters (numbers, strings and arrays of dictionaries), which a program may change.
class APMPEvent {
public:
    static APMPEvent initWithName(std::string name, double timestamp, platform::Value::Dictionary parameters) {
        return APMPEvent(std::move(name), timestamp, std::move(parameters));
    }

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    double timestamp() const { return timestamp_; }
    void setTimestamp(double timestamp) { timestamp_ = timestamp; }
    const platform::Value::Dictionary& parameters() const { return parameters_; }
    platform::Value::Dictionary& parameters() { return parameters_; }

private:
    APMPEvent(std::string name, double timestamp, platform::Value::Dictionary parameters)
        : name_(std::move(name)), timestamp_(timestamp), parameters_(std::move(parameters)) {}

    std::string name_;
    double timestamp_;
    platform::Value::Dictionary parameters_;
};

}  // namespace analytics
