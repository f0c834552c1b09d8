// The counters of each event name in "events".
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_record_columns.h"

namespace analytics {

namespace {

constexpr const char* kTable = "events";

std::optional<APMEventAggregates> aggregatesFromRecord(const APMSqliteStore::Record& record, APMErrorOut) {
    const std::string* name = APMStringColumn(record, "name");
    const auto lifetime = APMInt32Column(record, "lifetime_count");
    const auto bundle = APMInt32Column(record, "current_bundle_count");
    const auto lastFire = APMNumberColumn(record, "last_fire_timestamp");
    if (!name || !lifetime || !bundle || !lastFire) return std::nullopt;
    auto aggregates = APMEventAggregates::initWithName(
        *name, *lifetime, *bundle, APMInt32Column(record, "current_session_count").value_or(0), *lastFire);
    if (!aggregates) return std::nullopt;
    // Columns that later versions added are NULL in rows an older version wrote.
    aggregates->setLastBundledTimestamp(APMNumberColumn(record, "last_bundled_timestamp").value_or(0.0));
    aggregates->setLastSampledComplexEventID(APMIntegerColumn(record, "last_sampled_complex_event_id"));
    aggregates->setLastSamplingRate(APMInt32Column(record, "last_sampling_rate").value_or(1));
    aggregates->setLastExemptFromSampling(APMIntegerColumn(record, "last_exempt_from_sampling").value_or(0) !=
                                          0);
    aggregates->setLastBundledDay(APMInt32Column(record, "last_bundled_day").value_or(0));
    return aggregates;
}

}  // namespace

std::optional<std::int64_t> APMDatabase::publicEventCount(APMErrorOut error) {
    return integerForQuery("SELECT count(1) FROM events WHERE name NOT LIKE '!_%' ESCAPE '!'", {}, error);
}

std::optional<std::vector<APMEventAggregates>> APMDatabase::allEventAggregates(APMErrorOut error) {
    return allDataTypesFromTableWithName<APMEventAggregates>(kTable, kEventsTableLimit, error,
                                                             aggregatesFromRecord);
}

std::optional<APMEventAggregates> APMDatabase::eventAggregatesWithName(const std::string& name,
                                                                       APMErrorOut error) {
    return firstDataTypeFromTableWithName<APMEventAggregates>(kTable, "name", name, error,
                                                              aggregatesFromRecord);
}

bool APMDatabase::updateEventAggregates(const std::optional<APMEventAggregates>& aggregates,
                                        APMErrorOut error) {
    if (!APMCheckCondition(aggregates.has_value(), error, 3,
                           "Received empty event aggregates object for getting dictionary representation") ||
        !APMCheckCondition(!aggregates->name().empty(), error, 1,
                           "Received event aggregates object with empty name for getting dictionary "
                           "representation")) {
        return false;
    }
    Record record{{"name", aggregates->name()},
                  {"lifetime_count", aggregates->lifetimeCount()},
                  {"current_bundle_count", aggregates->currentBundleCount()},
                  {"last_fire_timestamp", aggregates->lastFireTimestamp()},
                  {"current_session_count", aggregates->currentSessionCount()},
                  {"last_bundled_timestamp", aggregates->lastBundledTimestamp()},
                  {"last_sampling_rate", aggregates->lastSamplingRate()},
                  {"last_exempt_from_sampling", aggregates->lastExemptFromSampling()},
                  {"last_bundled_day", aggregates->lastBundledDay()}};
    if (const auto complexEventID = aggregates->lastSampledComplexEventID())
        record.emplace("last_sampled_complex_event_id", *complexEventID);
    return upsertDataType(record, kTable, "name", aggregates->name(), kEventsTableLimit, error);
}

bool APMDatabase::clearCurrentSessionCounts(APMErrorOut error) {
    auto* store = openStore(error);
    return store && store->updateAllRecordsInTableWithName(kTable, "current_session_count", 0, error);
}

}  // namespace analytics
