#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analytics/foundation/apm_value.h"
#include "analytics/messages/nano_object.h"
#include "platform/foundation/value.h"

namespace analytics {

// Typed parameters as plain objects: doubles, 64-bit integers, strings and, at the top level only,
// arrays of plain dictionaries.
platform::Value::Dictionary APMPlainParametersFromValues(const APMValue::Parameters& parameters, bool isNested);

// Typed parameters as `APMPBEventParam` messages in name order. A top-level array becomes nameless
// element messages, each holding its element's parameters; an array inside an element is logged and left
// out. The event's name only names it in the log.
std::vector<NanoObject> APMEventParamProtos(const APMValue::Parameters& parameters, const std::string& eventName,
                                            bool isNested);

}  // namespace analytics
