#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analytics/foundation/apm_decimal_number.h"

namespace analytics {

// An optional sign, then digits with an optional trailing point, or optional digits, a point and at
// least one digit: no exponent, grouping or spaces.
bool APMIsDecimalNumberString(const std::string& text);

// The exact number a decimal text stands for; texts that are not decimal, cannot be held or would lose
// digits are logged and give nullopt.
std::optional<APMDecimalNumber> APMDecimalNumberFromString(const std::string& text);

class APMNumericUtil {
public:
    // 64 bits from the system's secure random source; 0 (logged) when it fails.
    static std::int64_t randomInt64();
};

}  // namespace analytics
