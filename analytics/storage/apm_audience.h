#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analytics/monitor/apm_error_additions.h"
#include "analytics/records/apm_event_filter.h"
#include "analytics/records/apm_filter_result.h"
#include "analytics/records/apm_property_filter.h"

namespace analytics {

class APMDatabase;

// The audience evaluator's store: the filters of the audiences the server configuration defines, read
// per event or property name, and each audience's results. Called on the engine's worker queue, like the
// database beneath it.
class APMAudience {
public:
    static std::shared_ptr<APMAudience> initWithDatabase(std::shared_ptr<APMDatabase> database);

    // Replaces every stored filter with these in one transaction: on failure the old ones stay.
    bool replaceFilters(const std::vector<APMEventFilter>& eventFilters,
                        const std::vector<APMPropertyFilter>& propertyFilters, APMErrorOut error);
    std::optional<std::vector<APMEventFilter>> eventFiltersForEventName(const std::string& eventName,
                                                                        APMErrorOut error);
    std::optional<std::vector<APMPropertyFilter>> propertyFiltersForPropertyName(
        const std::string& propertyName, APMErrorOut error);
    std::optional<std::vector<std::int32_t>> allAudienceIDs(APMErrorOut error);
    std::optional<std::map<std::int32_t, std::vector<std::int32_t>>> allSessionScopedFilters(
        APMErrorOut error);

    std::optional<std::map<std::int32_t, APMFilterResult>> allFilterResults(APMErrorOut error);
    std::optional<APMFilterResult> filterResultForAudienceID(std::int32_t audienceID, APMErrorOut error);
    // Both in one transaction: all of them or none.
    bool updateFilterResults(const std::vector<APMFilterResult>& results, APMErrorOut error);
    bool deleteFilterResults(const std::vector<APMFilterResult>& results, APMErrorOut error);

private:
    explicit APMAudience(std::shared_ptr<APMDatabase> database) : database_(std::move(database)) {}

    const std::shared_ptr<APMDatabase> database_;
};

}  // namespace analytics
