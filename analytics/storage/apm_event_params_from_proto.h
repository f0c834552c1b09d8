#pragma once

#include <optional>

#include "analytics/foundation/apm_value.h"
#include "analytics/messages/nano_message_base.h"
#include "analytics/monitor/apm_error_additions.h"

namespace analytics {

// One stored event parameter as {name: value}. Its value is the first present of the string, integer and
// double fields; else its nested list: at the top level an array of the items' dictionaries, inside an
// item the item's own named values (the result is then that dictionary). Only a nested parameter may
// lack its name.
std::optional<APMValue::Parameters> APMEventParamsFromProto(const NANOMessageBase* param, bool isNested,
                                                            APMErrorOut error);

}  // namespace analytics
