#pragma once

#include <cstdint>

#include "analytics/foundation/apm_value.h"

namespace analytics {

// The most public parameters an event keeps before the active configuration says otherwise.
inline constexpr std::int32_t kAPMDefaultMaxPublicEventParams = 25;

// The public names, standard item parameter names left out when `skipItemNames`.
std::int32_t APMCountPublicParameters(const APMValue::Parameters& parameters, bool skipItemNames);
// Drops public parameters from the end of the sorted names until at most `maximum` are left (sparing
// standard item parameter names when asked). Internal names are never dropped.
void APMRemoveExcessParameters(APMValue::Parameters& parameters, std::int32_t maximum,
                               bool spareItemNames = false);

}  // namespace analytics
