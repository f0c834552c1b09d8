#pragma once

#include <map>
#include <string>
#include <variant>

#include "analytics/foundation/apm_value.h"
#include "platform/foundation/value.h"

namespace analytics {

// A parameter as it reaches an event: a plain object from the app, or a value the library typed already.
using APMParameterObject = std::variant<platform::Value, APMValue>;
using APMObjectParameters = std::map<std::string, APMParameterObject>;

inline APMObjectParameters APMObjectParametersFrom(const platform::Value::Dictionary& plain) {
    return APMObjectParameters(plain.begin(), plain.end());
}

inline APMObjectParameters APMObjectParametersFrom(const APMValue::Parameters& typed) {
    return APMObjectParameters(typed.begin(), typed.end());
}

}  // namespace analytics
