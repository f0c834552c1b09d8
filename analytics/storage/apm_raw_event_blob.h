#pragma once

#include "analytics/foundation/apm_data_additions.h"
#include "analytics/records/apm_event.h"

namespace analytics {

// What the `data` column of a raw event holds: the event's upload message without its name (the name
// has a column of its own). Written straight from the event, the same bytes the message layer writes
// for APMEvent::protoEvent with the name cleared, without building the message first.
APMBytes APMRawEventBlob(const APMEvent& event);

}  // namespace analytics
