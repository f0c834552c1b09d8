#pragma once

#include "analytics/foundation/apm_value.h"
#include "platform/foundation/value.h"

namespace analytics {

// The plain object a value is stored as: a string as the string, a double as a floating-point number,
// any other value as a 64-bit integer. APMValue::valueFromObject reads it back.
platform::Value APMStorableObjectFromValue(const APMValue& value);

}  // namespace analytics
