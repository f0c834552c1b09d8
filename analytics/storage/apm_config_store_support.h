#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/value.h"

namespace analytics {

// What the library's key-value stores (the defaults store and the persistent dictionary) share.

// A value a property-list file can hold: no null at the top or anywhere inside, and writable.
bool APMIsConfigValue(const platform::Value& value);
// How a warning names a value: texts as they are, collections in parentheses and braces.
std::string APMConfigValueDescription(const platform::Value& value);

// The stores' own console lines go straight to the utilities logger, not through the monitor.
void APMLogConfigStoreWarning(std::int64_t code, const std::string& text);
void APMLogConfigStoreError(std::int64_t code, const std::string& text);

}  // namespace analytics
