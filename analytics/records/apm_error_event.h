#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "analytics/foundation/apm_value.h"
#include "analytics/records/apm_object_parameters.h"

namespace analytics {

// Refusals that happen outside an event are reported as the library's own event "_err" of origin "auto",
// logged through the facade of the public interface, which hands in its logger.

// Logs a non-public event (origin, name, parameters).
using APMInternalEventLogger =
    std::function<void(const std::string& origin, const std::string& name, const APMObjectParameters& parameters)>;

// "_err" with the code alone; nothing for 0.
void APMLogErrorCode(const APMInternalEventLogger& logger, std::int64_t code);
// "_err" with the code and the offending name in "_ev" (trimmed to `maximum`). The value's length goes
// into "_el" for an invalid parameter value or a user property value too long, and for a string value
// longer than `maximum`. Nothing for 0.
void APMLogErrorEvent(const APMInternalEventLogger& logger, std::int64_t code,
                      const std::optional<std::string>& name, std::size_t maximum,
                      const std::optional<APMValue>& value);

}  // namespace analytics
