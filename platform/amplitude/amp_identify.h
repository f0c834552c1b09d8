#pragma once

#include <string>

#include "platform/foundation/value.h"

namespace platform {

// The user properties one identify call sets.
class AMPIdentify {
public:
    static AMPIdentify identify() { return AMPIdentify(); }

    AMPIdentify& set(const std::string& property, Value value) {
        properties_.insert_or_assign(property, std::move(value));
        return *this;
    }
    // {"$set": {property: value, ...}}
    Value::Dictionary userPropertyOperations() const { return {{"$set", properties_}}; }

private:
    AMPIdentify() = default;
    Value::Dictionary properties_;
};

}  // namespace platform
