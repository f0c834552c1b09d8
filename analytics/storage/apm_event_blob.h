#pragma once

#include <cstdint>
#include <optional>

#include "analytics/foundation/apm_data_additions.h"
#include "analytics/monitor/apm_error_additions.h"
#include "analytics/records/apm_event.h"
#include "platform/foundation/value.h"

namespace analytics {

// An event as the database keeps it in a blob column: the encoding of its upload message.
std::optional<APMBytes> APMDataFromEvent(const APMEvent& event);
// The event back from such a column, keeping at most `maxPublicParameters` public parameters; code 2
// when the value is no data or does not make an event.
std::optional<APMEvent> APMEventFromData(const platform::Value& data, std::int32_t maxPublicParameters,
                                         APMErrorOut error);

}  // namespace analytics
