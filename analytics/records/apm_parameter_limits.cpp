#include "analytics/records/apm_parameter_limits.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "analytics/foundation/apm_event_names.h"

namespace analytics {

namespace {

bool counts(const std::string& name, bool skipItemNames) {
    return APMIsPublicName(name) && !(skipItemNames && APMIsStandardItemParameterName(name));
}

}  // namespace

std::int32_t APMCountPublicParameters(const APMValue::Parameters& parameters, bool skipItemNames) {
    const auto count = std::count_if(parameters.begin(), parameters.end(),
                                     [&](const auto& entry) { return counts(entry.first, skipItemNames); });
    return static_cast<std::int32_t>(std::min<std::ptrdiff_t>(count, std::numeric_limits<std::int32_t>::max()));
}

void APMRemoveExcessParameters(APMValue::Parameters& parameters, std::int32_t maximum, bool spareItemNames) {
    std::int32_t count = APMCountPublicParameters(parameters, spareItemNames);
    // The map keeps its names sorted, so the walk from its end drops the names that sort last.
    for (auto entry = parameters.end(); count > maximum && entry != parameters.begin();) {
        --entry;
        if (!counts(entry->first, spareItemNames)) continue;
        entry = parameters.erase(entry);
        --count;
    }
}

}  // namespace analytics
