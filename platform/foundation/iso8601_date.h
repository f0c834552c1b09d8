#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/ns_date.h"

namespace platform {

// Dates of property lists: ISO 8601 in UTC, "2026-03-02T09:00:00Z", with as many fractional digits
// as it takes to read back the very same date ("2026-03-02T09:00:00.25Z").
class Iso8601Date {
public:
    // Nothing for a date that has no such form: not finite, or outside the years 1 to 9999.
    static std::optional<std::string> format(NSDate date);
    // Reads both forms, with or without fractional digits; anything else is refused.
    static std::optional<NSDate> parse(std::string_view text);
};

}  // namespace platform
