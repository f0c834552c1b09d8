#pragma once

#include <string>

namespace analytics {

// An object a program requires by name; the event-editing host makes it when the program asks.
class APMPModule {
public:
    explicit APMPModule(std::string name) : name_(std::move(name)) {}
    virtual ~APMPModule() = default;

    const std::string& name() const { return name_; }

private:
    const std::string name_;
};

}  // namespace analytics
