#pragma once

#include <string>

#include "platform/foundation/value.h"

namespace platform {

// Values written as JSON text. JSON knows fewer kinds than Value, so data is written as base64 text,
// a date as seconds since 1970, and a NaN or infinite number as null.
class NSJSONSerialization {
public:
    // Compact: one line, no spaces; dictionary keys in their order.
    static std::string dataWithJSONObject(const Value& value);
};

}  // namespace platform
