#include "analytics/storage/apm_audience.h"

#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_perform_transaction.h"

namespace analytics {

std::shared_ptr<APMAudience> APMAudience::initWithDatabase(std::shared_ptr<APMDatabase> database) {
    if (!database) return nullptr;
    return std::shared_ptr<APMAudience>(new APMAudience(std::move(database)));
}

bool APMAudience::replaceFilters(const std::vector<APMEventFilter>& eventFilters,
                                 const std::vector<APMPropertyFilter>& propertyFilters, APMErrorOut error) {
    return APMPerformTransaction(*database_, error, [&](APMErrorOut error) {
        // An empty list is refused by the writes, but here it only means that kind has no filters.
        return database_->deleteAllEventFilters(error) && database_->deleteAllPropertyFilters(error) &&
               (eventFilters.empty() || database_->updateEventFilters(eventFilters, error)) &&
               (propertyFilters.empty() || database_->updatePropertyFilters(propertyFilters, error));
    });
}

std::optional<std::vector<APMEventFilter>> APMAudience::eventFiltersForEventName(const std::string& eventName,
                                                                                 APMErrorOut error) {
    return database_->eventFiltersForEventName(eventName, error);
}

std::optional<std::vector<APMPropertyFilter>> APMAudience::propertyFiltersForPropertyName(
    const std::string& propertyName, APMErrorOut error) {
    return database_->propertyFiltersForPropertyName(propertyName, error);
}

std::optional<std::vector<std::int32_t>> APMAudience::allAudienceIDs(APMErrorOut error) {
    return database_->allAudienceIDs(error);
}

std::optional<std::map<std::int32_t, std::vector<std::int32_t>>> APMAudience::allSessionScopedFilters(
    APMErrorOut error) {
    return database_->allSessionScopedFilters(error);
}

std::optional<std::map<std::int32_t, APMFilterResult>> APMAudience::allFilterResults(APMErrorOut error) {
    return database_->allFilterResults(error);
}

std::optional<APMFilterResult> APMAudience::filterResultForAudienceID(std::int32_t audienceID,
                                                                      APMErrorOut error) {
    return database_->filterResultForAudienceID(audienceID, error);
}

bool APMAudience::updateFilterResults(const std::vector<APMFilterResult>& results, APMErrorOut error) {
    return APMPerformTransaction(
        *database_, error, [&](APMErrorOut error) { return database_->updateFilterResults(results, error); });
}

bool APMAudience::deleteFilterResults(const std::vector<APMFilterResult>& results, APMErrorOut error) {
    return APMPerformTransaction(
        *database_, error, [&](APMErrorOut error) { return database_->deleteFilterResults(results, error); });
}

}  // namespace analytics
