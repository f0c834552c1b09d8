#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analytics/messages/proto/apm_messages.h"
#include "analytics/monitor/apm_error_additions.h"
#include "analytics/records/apm_app_metadata.h"
#include "analytics/records/apm_conditional_user_property.h"
#include "analytics/records/apm_daily_counts.h"
#include "analytics/records/apm_event_aggregates.h"
#include "analytics/records/apm_event_filter.h"
#include "analytics/records/apm_filter_result.h"
#include "analytics/records/apm_property_filter.h"
#include "analytics/records/apm_raw_event_data.h"
#include "analytics/records/apm_user_attribute.h"
#include "analytics/storage/apm_queued_bundle.h"
#include "analytics/storage/apm_sqlite_store.h"
#include "analytics/storage/apm_storage_limits.h"

namespace analytics {

class APMPersistedConfig;
struct APMRawEventRow;

// The measurement database: one SQLite file in the library's folder holding the raw events waiting to
// be bundled, the compressed bundles waiting to be uploaded, the bundle bookkeeping and daily counts,
// the stored server configuration and the tables of counters, user properties, audiences and
// conditional properties. It has no lock: the engine calls it from its worker queue only, and it is the
// only writer of its file.
//
// One class over several files, one topic each:
//   apm_database.cpp                         opening, reset, transactions, generic record operations
//   apm_database_schema.cpp                  the tables, their columns and the columns added later
//   apm_database_record_reads.cpp            helpers the typed operations share
//   apm_database_app_metadata.cpp            bundle bookkeeping, daily counts, the stored configuration
//   apm_database_raw_events.cpp              raw events and the bundle metadata they are stored with
//   apm_database_queue.cpp                   the upload queue and the deletion of stale data
//   apm_database_event_counters.cpp          the counters of each event name
//   apm_database_user_attributes.cpp         the current user properties
//   apm_database_conditional_properties.cpp  conditional user properties
//   apm_database_audience_filters.cpp        audience filters and their results
//   apm_database_complex_events.cpp          complex events' main events
//   apm_database_purchases.cpp               reported purchases and subscriptions
//
// Failures answer false or nothing with an error of the library's domain: code 1 for a bad argument,
// 2 for an operation that could not be carried out, 3 for a record that could not be converted (the
// store's own errors pass through unchanged).
class APMDatabase {
public:
    using Record = APMSqliteStore::Record;
    using Values = APMSqliteStore::Values;
    using LimitsSource = std::function<std::shared_ptr<APMStorageLimits>()>;
    template <typename T>
    using CreateDataTypeBlock = std::function<std::optional<T>(const Record&, APMErrorOut)>;

    static constexpr const char* kDatabaseName = "vuziri-app-measurement.sql";
    static constexpr std::int64_t kRawEventsMetadataTableLimit = 100000;
    static constexpr std::int64_t kRawEventsReadLimit = 1000;
    static constexpr std::int64_t kEventsTableLimit = 1000;
    static constexpr std::int64_t kUserAttributesTableLimit = 1000;
    static constexpr std::int64_t kConditionalPropertiesTableLimit = 1000;
    static constexpr std::int64_t kPurchaseTransactionsLimit = 1000;
    static constexpr std::int64_t kSubscriptionsLimit = 1000;

    // Opens (making it when needed) the file of that name in the library's folder. A file whose tables
    // do not fit is deleted, so a second attempt starts empty; any other failure keeps the file.
    // `limits` answers the engine's active configuration, whose limits the raw events and the queue
    // follow; without it, the defaults.
    static std::shared_ptr<APMDatabase> initWithDatabaseName(
        const std::string& name, std::shared_ptr<APMPersistedConfig> persistedConfig, APMErrorOut error,
        LimitsSource limits = nullptr);
    APMDatabase(const APMDatabase&) = delete;
    APMDatabase& operator=(const APMDatabase&) = delete;

    const std::shared_ptr<APMSqliteStore>& sqliteStore() const { return sqliteStore_; }

    // Deletes the file and opens it afresh.
    bool reset(APMErrorOut error);
    // Runs the block in one exclusive transaction: committed when it answers true.
    bool performTransaction(const std::function<bool()>& block);
    bool ensureAllTables();
    // `context` names the occasion in the logs ("Init", "Reset").
    bool initializeDatabaseResourcesWithContext(const std::string& context, const std::string& databasePath,
                                                APMErrorOut error);
    bool initializeAppMetadata();

    // The generic record operations every typed one is built on. A block answering nothing skips its row.
    template <typename T>
    std::optional<std::vector<T>> allDataTypesFromTableWithName(const std::string& tableName,
                                                                std::int64_t tableLimit, APMErrorOut error,
                                                                const CreateDataTypeBlock<T>& block);
    template <typename T>
    std::optional<std::vector<T>> dataTypesFromTableWithName(
        const std::string& tableName, const std::string& columnName,
        const std::optional<platform::Value>& columnValue, APMErrorOut error,
        const CreateDataTypeBlock<T>& block);
    bool insertDataType(const Record& dataType, const std::string& tableName, APMErrorOut error);
    // A new key only while the table holds fewer rows than its limit; a replacement always.
    bool upsertDataType(const Record& dataType, const std::string& tableName, const std::string& columnName,
                        const std::optional<platform::Value>& columnValue, std::int64_t tableLimit,
                        APMErrorOut error);
    bool updateDataType(const Record& dataType, const std::string& tableName, const std::string& columnName,
                        const std::optional<platform::Value>& columnValue, APMErrorOut error);

    // The one row of "app_metadata": bundle bookkeeping, daily counts and the server configuration.
    std::optional<APMAppMetadata> queryAppMetadata(APMErrorOut error);
    bool updateAppMetadata(const std::optional<APMAppMetadata>& appMetadata, APMErrorOut error);
    // Counts of another day than the stored one are the caller's to reset; unset counts read 0.
    std::optional<APMDailyCounts> dailyCounts(APMErrorOut error);
    bool updateDailyCounts(const std::optional<APMDailyCounts>& dailyCounts, APMErrorOut error);
    bool updateRemoteConfig(const APMPBMeasurementConfig* config, APMErrorOut error);
    bool updateRemoteConfigSuccessfulTimestamp(double timestamp, APMErrorOut error);
    // Nothing without an error when none is stored.
    std::shared_ptr<APMPBMeasurementConfig> queryMeasurementConfigWithError(APMErrorOut error);
    std::optional<double> lastRemoteConfigUpdateTimestamp(APMErrorOut error);

    // Raw events, each stored with the fingerprint of the bundle metadata in force when it was logged.
    bool insertIfNotExistsRawEventMetadata(const APMPBMeasurementBundle* metadata, APMErrorOut error);
    // The same for metadata already encoded, with the fingerprint of that encoding.
    bool insertIfNotExistsRawEventMetadata(const APMBytes& encoding, std::int64_t fingerprint,
                                           APMErrorOut error);
    std::shared_ptr<APMPBMeasurementBundle> queryRawEventsMetadataWithFingerprint(std::int64_t fingerprint,
                                                                                  APMErrorOut error);
    bool deleteRawEventMetadataWithMetadataFingerprint(std::int64_t fingerprint, APMErrorOut error);
    bool deleteUnusedRawEventsMetadata(APMErrorOut error);
    std::optional<bool> isRawEventsTableEmpty(APMErrorOut error);
    bool insertRawEvent(const std::optional<APMEvent>& event, std::int64_t metadataFingerprint,
                        bool isRealtime, APMErrorOut error);
    // The same for an event at hand, without copying it into an optional.
    bool insertRawEvent(const APMEvent& event, std::int64_t metadataFingerprint, bool isRealtime,
                        APMErrorOut error);
    // The same for an event already made into its row, real-time as it says.
    bool insertRawEvent(const APMRawEventRow& event, std::int64_t metadataFingerprint, APMErrorOut error);
    std::optional<double> queryLatestRawEventTime(APMErrorOut error);
    // The oldest events of the fingerprint, at most kRawEventsReadLimit, as far as `filter` takes them.
    // Rows that cannot be read are deleted (they could never be uploaded) and logged.
    std::optional<std::vector<APMRawEventData>> rawEventsWithMetadataFingerprint(
        std::int64_t fingerprint, APMErrorOut error, const APMSqliteStore::RecordFilter& filter);
    std::optional<bool> containsRawEventWithMetadataFingerprint(std::int64_t fingerprint, APMErrorOut error);
    // The bundled events of one fingerprint: those up to `maxRowID`. Events of other fingerprints that
    // arrived in between stay.
    bool deleteRawEventsWithMaxRowID(std::int64_t maxRowID, std::int64_t metadataFingerprint,
                                     APMErrorOut error);
    // Keeps the newest maxEventsStored − 1 events, making room for one more; answers the number deleted.
    std::optional<std::int64_t> deleteRawEventsOverAbsoluteLimit(APMErrorOut error);
    // The same with the limit read once, by a caller that stores many events in a row.
    std::optional<std::int64_t> deleteRawEventsOverAbsoluteLimit(std::int64_t maxEventsStored, APMErrorOut error);
    // Keeps the newest `count` events (none for a negative count); answers the number deleted.
    std::optional<std::int64_t> keepNewestRawEvents(std::int64_t count, APMErrorOut error);
    // The remote configuration's maxEventsStored.
    std::int64_t rawEventsLimit() const;
    bool deleteStaleRawEventsDataOlderThanMaxAge(double maxAge, APMErrorOut error);
    // The fingerprint of the oldest event; nothing without an error when there is none.
    std::optional<std::int64_t> nextMetadataFingerprintToProcess(APMErrorOut error);
    std::optional<APMRawEventData> rawEventDataFromDictionary(const Record& record, APMErrorOut error);
    std::optional<bool> containsRealtimeRawEventsWithError(APMErrorOut error);

    // The upload queue of gzip-compressed bundles.
    std::optional<bool> isQueuedBundleTableEmpty(APMErrorOut error);
    bool insertBundle(const APMPBMeasurementBundle* bundle, bool isRealtime, APMErrorOut error);
    // Never beyond 2147483647.
    bool incrementRetryCounterForBundlesWithIDs(const Values& rowIDs, APMErrorOut error);
    // The oldest bundles, at most `countLimit`, while their uncompressed sizes add up to at most
    // `sizeLimit` bytes; the first one always. Rows that cannot be read are deleted and logged.
    std::optional<std::vector<APMQueuedBundle>> queryBundlesWithCountLimit(std::int64_t countLimit,
                                                                           std::int64_t sizeLimit,
                                                                           APMErrorOut error);
    std::optional<std::vector<APMQueuedBundle>> queryBundlesWithRowIDs(const Values& rowIDs,
                                                                       APMErrorOut error);
    bool deleteBundlesWithRowIDs(const Values& rowIDs, APMErrorOut error);
    // Deletes raw events and bundles older than maxQueueTime once every databaseDeleteStaleBundlesInterval;
    // answers whether it did.
    std::optional<bool> maybeDeleteStaleData(APMErrorOut error);
    bool deleteStaleBundlesOlderThanMaxAge(double maxAge, APMErrorOut error);
    std::optional<double> queryLatestBundleTime(APMErrorOut error);
    std::optional<bool> containsRealtimeBundlesWithError(APMErrorOut error);

    // The counters of each event name, at most kEventsTableLimit names. Columns later versions added
    // read as their defaults when an older version left them NULL.
    std::optional<std::int64_t> publicEventCount(APMErrorOut error);
    std::optional<std::vector<APMEventAggregates>> allEventAggregates(APMErrorOut error);
    // Nothing without an error when the name has no counters.
    std::optional<APMEventAggregates> eventAggregatesWithName(const std::string& name, APMErrorOut error);
    bool updateEventAggregates(const std::optional<APMEventAggregates>& aggregates, APMErrorOut error);
    bool clearCurrentSessionCounts(APMErrorOut error);

    // The current user properties, at most kUserAttributesTableLimit names.
    std::optional<std::int64_t> publicUserAttributeCount(APMErrorOut error);
    std::optional<std::int64_t> userAttributeCountForOrigin(const std::string& origin, APMErrorOut error);
    std::optional<bool> containsUserAttributeWithName(const std::string& name, APMErrorOut error);
    std::optional<APMUserAttribute> userAttributeWithName(const std::string& name, APMErrorOut error);
    // The lifetime-value properties ("_ltv_…"), newest first; a row that cannot be read is skipped.
    std::optional<std::vector<APMUserAttribute>> allLifetimeValueUserAttributes(APMErrorOut error);
    // Without internal ones: no "_" names, reserved prefixes or names of the user property name map.
    std::optional<std::vector<APMUserAttribute>> userAttributesIncludingInternal(bool includingInternal,
                                                                                 APMErrorOut error);
    bool updateUserAttribute(const std::optional<APMUserAttribute>& attribute, APMErrorOut error);
    bool deleteUserAttributeWithName(const std::string& name, APMErrorOut error);

    // The audiences' filters, as the server configuration defined them, and their evaluation results.
    // A list write stops at its first bad element; those before it stay unless a transaction undoes them.
    std::optional<std::map<std::int32_t, APMFilterResult>> allFilterResults(APMErrorOut error);
    std::optional<std::vector<std::int32_t>> allAudienceIDs(APMErrorOut error);
    std::optional<std::vector<APMEventFilter>> eventFiltersForEventName(const std::string& eventName,
                                                                        APMErrorOut error);
    std::optional<std::vector<APMPropertyFilter>> propertyFiltersForPropertyName(
        const std::string& propertyName, APMErrorOut error);
    std::optional<APMFilterResult> filterResultForAudienceID(std::int32_t audienceID, APMErrorOut error);
    bool deleteFilterResults(const std::vector<APMFilterResult>& results, APMErrorOut error);
    // Audience ID to the IDs of its session-scoped filters.
    std::optional<std::map<std::int32_t, std::vector<std::int32_t>>> allSessionScopedFilters(
        APMErrorOut error);
    bool updateEventFilters(const std::vector<APMEventFilter>& filters, APMErrorOut error);
    bool updatePropertyFilters(const std::vector<APMPropertyFilter>& filters, APMErrorOut error);
    // Empty previous results are stored as none.
    bool updateFilterResults(const std::vector<APMFilterResult>& results, APMErrorOut error);
    bool deleteEventFilters(const std::vector<APMEventFilter>& filters, APMErrorOut error);
    bool deletePropertyFilters(const std::vector<APMPropertyFilter>& filters, APMErrorOut error);
    bool deleteAllEventFilters(APMErrorOut error);
    bool deleteAllPropertyFilters(APMErrorOut error);

    // Conditional user properties, at most kConditionalPropertiesTableLimit. The list reads skip (and
    // log) a row that cannot be read, so it cannot hide the others.
    std::optional<APMConditionalUserProperty> conditionalUserPropertyWithName(const std::string& name,
                                                                              APMErrorOut error);
    bool updateConditionalUserProperty(const std::optional<APMConditionalUserProperty>& property,
                                       APMErrorOut error);
    bool deleteConditionalUserPropertyWithName(const std::string& name, APMErrorOut error);
    // Waiting for their trigger longer than their trigger timeout.
    std::optional<std::vector<APMConditionalUserProperty>> timedOutConditionalUserPropertiesWithError(
        APMErrorOut error);
    // Active longer than their time to live.
    std::optional<std::vector<APMConditionalUserProperty>> expiredConditionalUserPropertiesWithError(
        APMErrorOut error);
    // Waiting for this event and still within their trigger timeout.
    std::optional<std::vector<APMConditionalUserProperty>> triggeredConditionalUserPropertiesWithEventName(
        const std::string& eventName, APMErrorOut error);
    // Names beginning with the prefix and the origin, each matched literally; an empty one matches all.
    std::optional<std::vector<APMConditionalUserProperty>> conditionalUserPropertiesWithPrefix(
        const std::string& prefix, const std::string& origin, APMErrorOut error);
    std::optional<std::vector<APMConditionalUserProperty>> conditionalUserPropertiesWithCondition(
        const std::string& condition, const Values& parameterValues, APMErrorOut error);

    // Each reported purchase and subscription once: true when the fingerprint or ID is new and now
    // stored, false for a duplicate, nothing on failure. Purchases keep the newest
    // kPurchaseTransactionsLimit; subscriptions are trimmed by deleteSubscriptionsOverLimit.
    std::optional<bool> insertIfNotDuplicatePurchaseFingerprint(const std::string& fingerprint,
                                                                APMErrorOut error);
    std::optional<bool> insertIfNotDuplicateSubscriptionID(const std::string& subscriptionID,
                                                           APMErrorOut error);
    std::optional<std::int64_t> deleteSubscriptionsOverLimit(APMErrorOut error);

    // A complex event's main event, kept while its child events are processed.
    std::optional<std::pair<APMEvent, std::int64_t>> mainEventAndChildCountPairWithEventID(
        std::int64_t eventID, APMErrorOut error);
    bool updateComplexEventForAudienceEvaluationWithEventID(std::int64_t eventID,
                                                            std::int64_t childEventCount,
                                                            const std::optional<APMEvent>& mainEvent,
                                                            APMErrorOut error);
    bool deleteComplexEventForAudienceEvaluationWithEventID(std::int64_t eventID, APMErrorOut error);

private:
    APMDatabase(std::shared_ptr<APMPersistedConfig> persistedConfig, LimitsSource limits);

    // The open store, or nothing with code 2.
    APMSqliteStore* openStore(APMErrorOut error);
    std::optional<std::int64_t> integerForQuery(const std::string& query, const Values& values,
                                                APMErrorOut error);
    // The first of the matching rows that converts; nothing without an error when no row matches.
    template <typename T>
    std::optional<T> firstDataTypeFromTableWithName(const std::string& tableName,
                                                    const std::string& columnName,
                                                    const platform::Value& columnValue, APMErrorOut error,
                                                    const CreateDataTypeBlock<T>& block) {
        auto dataTypes = dataTypesFromTableWithName<T>(tableName, columnName, columnValue, error, block);
        if (!dataTypes || dataTypes->empty()) return std::nullopt;
        return std::move(dataTypes->front());
    }
    // Every record that converts; the others are logged with the table's name and skipped.
    template <typename T>
    std::vector<T> readableDataTypes(const std::vector<Record>& records, const std::string& tableName,
                                     const CreateDataTypeBlock<T>& block) {
        auto dataTypes = converted(records, block);
        logUnreadableRows(tableName, records.size() - dataTypes.size());
        return dataTypes;
    }
    void logUnreadableRows(const std::string& tableName, std::size_t count);
    std::optional<bool> insertIfNotDuplicate(const std::string& tableName, const std::string& columnName,
                                             const std::string& value, APMErrorOut error);
    std::optional<std::int64_t> deleteRowsOverLimit(const std::string& tableName, std::int64_t limit,
                                                    APMErrorOut error);

    bool ensureAllTables(APMErrorOut error);
    std::shared_ptr<APMStorageLimits> limits() const;
    double midnightOffset() const;
    std::optional<std::vector<Record>> recordsFromTable(const std::string& tableName,
                                                        const std::string& condition, const Values& values,
                                                        APMErrorOut error);
    bool upsertRecord(const Record& record, const std::string& tableName, APMErrorOut error);
    std::optional<bool> booleanForQuery(const std::string& query, const Values& values, APMErrorOut error);
    std::optional<double> doubleForQuery(const std::string& query, APMErrorOut error);
    std::optional<std::int64_t> deleteRawEvents(const std::string& condition, const Values& values,
                                                APMErrorOut error);
    std::optional<std::int64_t> rawEventCount(APMErrorOut error);
    // Whenever a change may have been undone or made elsewhere than through here.
    void forgetRawEventsState();
    void deleteUnreadableRows(const std::string& tableName, const Values& rowIDs, std::int64_t logCode,
                              const char* message);
    std::optional<std::vector<APMQueuedBundle>> queuedBundles(const std::vector<Record>& records,
                                                              std::optional<std::int64_t> sizeLimit);

    template <typename T>
    static std::vector<T> converted(const std::vector<Record>& records, const CreateDataTypeBlock<T>& block) {
        std::vector<T> dataTypes;
        for (const auto& record : records) {
            std::shared_ptr<platform::NSError> ignored;
            if (auto dataType = block(record, &ignored)) dataTypes.push_back(std::move(*dataType));
        }
        return dataTypes;
    }

    std::shared_ptr<APMSqliteStore> sqliteStore_;
    const std::shared_ptr<APMPersistedConfig> persistedConfig_;
    const LimitsSource limits_;
    // The number of raw events while every change to them has passed through here; forgotten whenever a
    // change may have been undone (a failed write or transaction, a reset), then counted again. It lets
    // the trim before each insert skip its scan of the table.
    std::optional<std::int64_t> knownRawEventCount_;
    // The fingerprints of the metadata rows known to be stored, kept the same way, so that storing an
    // event under metadata already stored reads nothing.
    std::set<std::int64_t> storedMetadataFingerprints_;
};

template <typename T>
std::optional<std::vector<T>> APMDatabase::allDataTypesFromTableWithName(
    const std::string& tableName, std::int64_t tableLimit, APMErrorOut error,
    const CreateDataTypeBlock<T>& block) {
    if (!APMCheckCondition(static_cast<bool>(block), error, 1, "Received nil block to get all data types"))
        return std::nullopt;
    const auto records =
        recordsFromTable(tableName, "ORDER BY rowid LIMIT " + std::to_string(tableLimit), {}, error);
    if (!records) return std::nullopt;
    return converted(*records, block);
}

template <typename T>
std::optional<std::vector<T>> APMDatabase::dataTypesFromTableWithName(
    const std::string& tableName, const std::string& columnName,
    const std::optional<platform::Value>& columnValue, APMErrorOut error,
    const CreateDataTypeBlock<T>& block) {
    if (!APMCheckCondition(!tableName.empty(), error, 1,
                           "Received empty table name to create data type from table") ||
        !APMCheckCondition(!columnName.empty(), error, 1,
                           "Received empty column name to create data type from table") ||
        !APMCheckCondition(columnValue.has_value(), error, 1,
                           "Received nil column value to create data type from table") ||
        !APMCheckCondition(static_cast<bool>(block), error, 2,
                           "Received nil block to create data type from table")) {
        return std::nullopt;
    }
    const auto records = recordsFromTable(tableName, "WHERE " + columnName + " = ?", {*columnValue}, error);
    if (!records) return std::nullopt;
    auto dataTypes = converted(*records, block);
    if (!records->empty() && dataTypes.empty()) {
        APMSetError(error, 2, "Failed to initialize data types from dictionaries");
        return std::nullopt;
    }
    return dataTypes;
}

}  // namespace analytics
