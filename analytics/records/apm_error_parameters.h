#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "analytics/foundation/apm_value.h"

namespace analytics {

// A problem is recorded on the parameters it concerns, so the service learns what was wrong: "_err" the
// error code, "_ev" the offending name and "_el" the length of the offending value. Each is written only
// while absent, so the first problem recorded stays.

// The longest offending name kept whole in "_ev", in code points.
inline constexpr std::size_t kAPMMaxErrorNameLength = 40;
// The same for "value" and "currency" problems and for an incoming "_ev".
inline constexpr std::size_t kAPMMaxErrorValueNameLength = 256;

// "_err" becomes the code unless one is there.
void APMAddErrorCodeParameter(APMValue::Parameters& parameters, std::int64_t code);
// The code, the name and the value's length, only when none of "_err", "_ev", "_el" is there.
void APMAddErrorParameters(APMValue::Parameters& parameters, std::int64_t code,
                           const std::optional<std::string>& name, std::size_t maximum,
                           const std::optional<APMValue>& value);
// "_ev": the name, "(nil)" without one, or its first `maximum` code points and "..." when longer; "_el"
// when a value is given: a string's code points, an array's elements, 0 otherwise. Nothing when "_ev"
// or "_el" is there.
void APMAddErrorValueParameters(APMValue::Parameters& parameters, const std::optional<std::string>& name,
                                std::size_t maximum, const std::optional<APMValue>& value);
// The error of a refused array parameter by the validator's failure code: an array on an event that
// takes none (reported with the event's name), a name other than "items", too many items, an array in
// an item. Other codes record nothing.
void APMAddArrayParameterError(APMValue::Parameters& parameters, int failureCode,
                               const std::string& parameterName, const std::optional<std::string>& eventName);

}  // namespace analytics
