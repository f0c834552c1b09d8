// The audiences' event and property filters and their evaluation results.
#include <set>

#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_record_columns.h"

namespace analytics {

namespace {

constexpr const char* kResultsTable = "audience_filter_values";

// What tells the two kinds of filter apart: their table, name column, message, flag fields and texts.
struct EventFilterKind {
    using Filter = APMEventFilter;
    using Message = APMPBEventFilter;
    using Field = apmpb_fields::EventFilter;
    static constexpr const char* kTable = "event_filters";
    static constexpr const char* kNameColumn = "event_name";
    static constexpr const char* kEmptyNameToRead = "Received empty event name for getting event filters";
    static constexpr const char* kEmptyRecord = "Received empty dictionary for getting event filter";
    static constexpr const char* kEmptyListToUpdate = "Received empty event filters to update";
    static constexpr const char* kEmptyName =
        "Received event filter with empty event name for getting dictionary representation";
    static constexpr const char* kEmptyData =
        "Received event filter with empty data for getting dictionary representation";
    static constexpr const char* kEmptyListToDelete = "Received empty event filters to delete";
    static const std::string& name(const Filter& filter) { return filter.eventName(); }
};

struct PropertyFilterKind {
    using Filter = APMPropertyFilter;
    using Message = APMPBPropertyFilter;
    using Field = apmpb_fields::PropertyFilter;
    static constexpr const char* kTable = "property_filters";
    static constexpr const char* kNameColumn = "property_name";
    static constexpr const char* kEmptyNameToRead =
        "Received empty property name for getting property filters";
    static constexpr const char* kEmptyRecord = "Received empty dictionary for getting property filter";
    static constexpr const char* kEmptyListToUpdate = "Received empty property filters to update";
    static constexpr const char* kEmptyName =
        "Received property filter with empty property name for getting dictionary representation";
    static constexpr const char* kEmptyData =
        "Received property filter with empty data for getting dictionary representation";
    static constexpr const char* kEmptyListToDelete = "Received empty property filters to delete";
    static const std::string& name(const Filter& filter) { return filter.propertyName(); }
};

// The flags come from the filter message itself; a message that does not decode has none.
template <typename Kind>
std::optional<typename Kind::Filter> filterFromRecord(const APMSqliteStore::Record& record,
                                                      APMErrorOut error) {
    using Field = typename Kind::Field;
    if (!APMCheckCondition(!record.empty(), error, 3, Kind::kEmptyRecord)) return std::nullopt;
    const auto audienceID = APMInt32Column(record, "audience_id");
    const auto filterID = APMInt32Column(record, "filter_id");
    const std::string* name = APMStringColumn(record, Kind::kNameColumn);
    const APMBytes* data = APMDataColumn(record, "data");
    if (!audienceID || !filterID || !name || !data) return std::nullopt;
    const auto message = Kind::Message::initWithBuffer(*data);
    const auto flag = [&message](int index) { return message && APMNanoGetBool(message.get(), index); };
    return Kind::Filter::initWithAudienceID(*audienceID, *filterID, *name, *data, flag(Field::kSessionScoped),
                                            flag(Field::kDynamic), flag(Field::kSequence));
}

std::optional<APMFilterResult> resultFromRecord(const APMSqliteStore::Record& record, APMErrorOut error) {
    if (!APMCheckCondition(!record.empty(), error, 3, "Received empty dictionary for getting filter result"))
        return std::nullopt;
    const auto audienceID = APMInt32Column(record, "audience_id");
    if (!audienceID) return std::nullopt;
    const auto data = [&record](const char* column) {
        const APMBytes* bytes = APMDataColumn(record, column);
        return bytes ? std::optional<APMBytes>(*bytes) : std::nullopt;
    };
    return APMFilterResult::initWithAudienceID(*audienceID, data("current_results"),
                                               data("previous_results"));
}

// Empty previous results are stored as NULL; a result without current results has no record.
APMSqliteStore::Record recordFromResult(const APMFilterResult& result, APMErrorOut error) {
    const auto& current = result.currentResults();
    if (!APMCheckCondition(current && !current->empty(), error, 3,
                           "Received filter result with empty data for getting dictionary representation")) {
        return {};
    }
    const auto& previous = result.previousResults();
    return {{"audience_id", result.audienceID()},
            {"current_results", *current},
            {"previous_results",
             previous && !previous->empty() ? platform::Value(*previous) : platform::Value()}};
}

template <typename Kind>
std::optional<std::vector<typename Kind::Filter>> filtersForName(APMDatabase& database,
                                                                 const std::string& name, APMErrorOut error) {
    if (!APMCheckCondition(!name.empty(), error, 1, Kind::kEmptyNameToRead)) return std::nullopt;
    return database.dataTypesFromTableWithName<typename Kind::Filter>(Kind::kTable, Kind::kNameColumn, name,
                                                                      error, filterFromRecord<Kind>);
}

template <typename Kind>
bool updateFilters(APMSqliteStore* store, const std::vector<typename Kind::Filter>& filters,
                   APMErrorOut error) {
    if (!store || !APMCheckCondition(!filters.empty(), error, 1, Kind::kEmptyListToUpdate)) return false;
    for (const auto& filter : filters) {
        if (!APMCheckCondition(!Kind::name(filter).empty(), error, 3, Kind::kEmptyName) ||
            !APMCheckCondition(!filter.data().empty(), error, 3, Kind::kEmptyData)) {
            return false;
        }
        const APMSqliteStore::Record record{{"audience_id", filter.audienceID()},
                                            {"filter_id", filter.filterID()},
                                            {Kind::kNameColumn, Kind::name(filter)},
                                            {"data", filter.data()},
                                            {"session_scoped", filter.isSessionScoped()}};
        if (!store->upsertRecord(record, Kind::kTable, error)) return false;
    }
    return true;
}

template <typename Kind>
bool deleteFilters(APMSqliteStore* store, const std::vector<typename Kind::Filter>& filters,
                   APMErrorOut error) {
    if (!store || !APMCheckCondition(!filters.empty(), error, 1, Kind::kEmptyListToDelete)) return false;
    // The IDs are numbers, written into the statement.
    std::string condition;
    for (const auto& filter : filters) {
        if (!condition.empty()) condition += " OR ";
        condition += "(audience_id=" + std::to_string(filter.audienceID()) +
                     " AND filter_id=" + std::to_string(filter.filterID()) + ")";
    }
    return store->deleteRecordsFromTableWithName(Kind::kTable, condition, {}, error).has_value();
}

}  // namespace

std::optional<std::map<std::int32_t, APMFilterResult>> APMDatabase::allFilterResults(APMErrorOut error) {
    // A failed read is a failure, not an empty table: the evaluator would otherwise start over.
    const auto results =
        allDataTypesFromTableWithName<APMFilterResult>(kResultsTable, -1, error, resultFromRecord);
    if (!results) return std::nullopt;
    std::map<std::int32_t, APMFilterResult> byAudience;
    for (const auto& result : *results) byAudience.insert_or_assign(result.audienceID(), result);
    return byAudience;
}

std::optional<std::vector<std::int32_t>> APMDatabase::allAudienceIDs(APMErrorOut error) {
    auto* store = openStore(error);
    const auto records =
        store ? store->recordsForQuery(
                    "SELECT audience_id FROM event_filters UNION SELECT audience_id FROM property_filters",
                    {}, error)
              : std::nullopt;
    if (!records) return std::nullopt;
    std::vector<std::int32_t> audienceIDs;
    for (const auto& record : *records) {
        const auto audienceID = APMInt32Column(record, "audience_id");
        if (!APMCheckCondition(audienceID.has_value(), error, 1,
                               "Received nil audience ID for querying all audience IDs"))
            return std::nullopt;
        audienceIDs.push_back(*audienceID);
    }
    return audienceIDs;
}

std::optional<std::vector<APMEventFilter>> APMDatabase::eventFiltersForEventName(const std::string& eventName,
                                                                                 APMErrorOut error) {
    return filtersForName<EventFilterKind>(*this, eventName, error);
}

std::optional<std::vector<APMPropertyFilter>> APMDatabase::propertyFiltersForPropertyName(
    const std::string& propertyName, APMErrorOut error) {
    return filtersForName<PropertyFilterKind>(*this, propertyName, error);
}

std::optional<APMFilterResult> APMDatabase::filterResultForAudienceID(std::int32_t audienceID,
                                                                      APMErrorOut error) {
    return firstDataTypeFromTableWithName<APMFilterResult>(kResultsTable, "audience_id", audienceID, error,
                                                           resultFromRecord);
}

bool APMDatabase::deleteFilterResults(const std::vector<APMFilterResult>& results, APMErrorOut error) {
    auto* store = openStore(error);
    if (!store || !APMCheckCondition(!results.empty(), error, 1, "Received empty filter results to delete"))
        return false;
    std::set<std::int32_t> audienceIDs;
    for (const auto& result : results) audienceIDs.insert(result.audienceID());
    std::string list;
    for (const auto audienceID : audienceIDs) {
        if (!list.empty()) list += ',';
        list += std::to_string(audienceID);
    }
    return store->deleteRecordsFromTableWithName(kResultsTable, "audience_id IN (" + list + ")", {}, error)
        .has_value();
}

std::optional<std::map<std::int32_t, std::vector<std::int32_t>>> APMDatabase::allSessionScopedFilters(
    APMErrorOut error) {
    auto* store = openStore(error);
    const auto records =
        store ? store->recordsForQuery(
                    "SELECT audience_id, filter_id FROM event_filters WHERE session_scoped = 1 "
                    "UNION SELECT audience_id, filter_id FROM property_filters WHERE "
                    "session_scoped = 1",
                    {}, error)
              : std::nullopt;
    if (!records) return std::nullopt;
    std::map<std::int32_t, std::vector<std::int32_t>> filters;
    for (const auto& record : *records) {
        const auto audienceID = APMInt32Column(record, "audience_id");
        const auto filterID = APMInt32Column(record, "filter_id");
        if (audienceID && filterID) filters[*audienceID].push_back(*filterID);
    }
    return filters;
}

bool APMDatabase::updateEventFilters(const std::vector<APMEventFilter>& filters, APMErrorOut error) {
    return updateFilters<EventFilterKind>(openStore(error), filters, error);
}

bool APMDatabase::updatePropertyFilters(const std::vector<APMPropertyFilter>& filters, APMErrorOut error) {
    return updateFilters<PropertyFilterKind>(openStore(error), filters, error);
}

bool APMDatabase::updateFilterResults(const std::vector<APMFilterResult>& results, APMErrorOut error) {
    auto* store = openStore(error);
    if (!store || !APMCheckCondition(!results.empty(), error, 1, "Received empty filter results to update"))
        return false;
    for (const auto& result : results) {
        // A result that has no record reaches the store empty, whose refusal is the error reported.
        if (!store->upsertRecord(recordFromResult(result, nullptr), kResultsTable, error)) return false;
    }
    return true;
}

bool APMDatabase::deleteEventFilters(const std::vector<APMEventFilter>& filters, APMErrorOut error) {
    return deleteFilters<EventFilterKind>(openStore(error), filters, error);
}

bool APMDatabase::deletePropertyFilters(const std::vector<APMPropertyFilter>& filters, APMErrorOut error) {
    return deleteFilters<PropertyFilterKind>(openStore(error), filters, error);
}

bool APMDatabase::deleteAllEventFilters(APMErrorOut error) {
    auto* store = openStore(error);
    return store && store->deleteAllRecordsFromTableWithName(EventFilterKind::kTable, error);
}

bool APMDatabase::deleteAllPropertyFilters(APMErrorOut error) {
    auto* store = openStore(error);
    return store && store->deleteAllRecordsFromTableWithName(PropertyFilterKind::kTable, error);
}

}  // namespace analytics
