// Raw events and the bundle metadata they are stored with.
#include <algorithm>

#include "analytics/foundation/apm_data_additions.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_event_params_from_proto.h"
#include "analytics/storage/apm_raw_event_blob.h"
#include "analytics/storage/apm_raw_event_row.h"
#include "analytics/storage/apm_row_id_condition.h"
#include "platform/foundation/ns_date.h"

namespace analytics {

namespace {

using EventField = apmpb_fields::Event;
using ParamField = apmpb_fields::EventParam;
using platform::Value;

constexpr const char* kMetadataTable = "raw_events_metadata";
constexpr const char* kEventsTable = "raw_events";

bool isPresent(const APMSqliteStore::Record& record, const char* column) {
    const auto found = record.find(column);
    return found != record.end() && !found->second.isNull();
}

}  // namespace

bool APMDatabase::insertIfNotExistsRawEventMetadata(const APMPBMeasurementBundle* metadata,
                                                    APMErrorOut error) {
    const auto encoding = metadata ? metadata->protoBuffer().value_or(APMBytes{}) : APMBytes{};
    return insertIfNotExistsRawEventMetadata(encoding, apm_64LSBMD5(encoding), error);
}

bool APMDatabase::insertIfNotExistsRawEventMetadata(const APMBytes& encoding, std::int64_t fingerprint,
                                                    APMErrorOut error) {
    if (storedMetadataFingerprints_.contains(fingerprint)) return true;
    if (queryRawEventsMetadataWithFingerprint(fingerprint, nullptr)) {
        storedMetadataFingerprints_.insert(fingerprint);
        return true;
    }
    if (!APMCheckCondition(
            !encoding.empty(), error, 3,
            "Received empty measurement bundle metadata for getting dictionary representation")) {
        return false;
    }
    if (!upsertDataType({{"metadata_fingerprint", fingerprint}, {"metadata", encoding}}, kMetadataTable,
                        "metadata_fingerprint", Value(fingerprint), kRawEventsMetadataTableLimit, error)) {
        return false;
    }
    storedMetadataFingerprints_.insert(fingerprint);
    return true;
}

std::shared_ptr<APMPBMeasurementBundle> APMDatabase::queryRawEventsMetadataWithFingerprint(
    std::int64_t fingerprint, APMErrorOut error) {
    using Bundle = std::shared_ptr<APMPBMeasurementBundle>;
    const auto bundles = dataTypesFromTableWithName<Bundle>(
        kMetadataTable, "metadata_fingerprint", Value(fingerprint), error,
        [](const Record& record, APMErrorOut error) -> std::optional<Bundle> {
            if (!APMCheckCondition(!record.empty(), error, 3,
                                   "Received empty dictionary for getting measurement bundle"))
                return std::nullopt;
            const auto metadata = record.find("metadata");
            const Value::Data* bytes = metadata == record.end() ? nullptr : metadata->second.dataValue();
            if (!APMCheckCondition(bytes && !bytes->empty(), error, 3,
                                   "Event metadata should not be empty for getting measurement bundle")) {
                return std::nullopt;
            }
            auto bundle = APMPBMeasurementBundle::initWithBuffer(*bytes);
            return bundle ? std::optional<Bundle>(std::move(bundle)) : std::nullopt;
        });
    if (!bundles || bundles->empty()) return nullptr;
    return bundles->front();
}

bool APMDatabase::deleteRawEventMetadataWithMetadataFingerprint(std::int64_t fingerprint, APMErrorOut error) {
    storedMetadataFingerprints_.clear();
    return APMCheckNotNil(sqliteStore_, error, 2, "Database not open") &&
           sqliteStore_->deleteRecordsFromTableWithName(kMetadataTable, "metadata_fingerprint == ?",
                                                        {fingerprint}, error);
}

bool APMDatabase::deleteUnusedRawEventsMetadata(APMErrorOut error) {
    storedMetadataFingerprints_.clear();
    return APMCheckNotNil(sqliteStore_, error, 2, "Database not open") &&
           sqliteStore_->deleteRecordsFromTableWithName(
               kMetadataTable,
               "metadata_fingerprint NOT IN (SELECT DISTINCT metadata_fingerprint FROM raw_events)", {},
               error);
}

std::optional<bool> APMDatabase::isRawEventsTableEmpty(APMErrorOut error) {
    return booleanForQuery("SELECT NOT EXISTS (SELECT 1 FROM raw_events LIMIT 1)", {}, error);
}

bool APMDatabase::insertRawEvent(const std::optional<APMEvent>& event, std::int64_t metadataFingerprint,
                                 bool isRealtime, APMErrorOut error) {
    return APMCheckCondition(event.has_value(), error, 1,
                             "Received empty event for inserting in the database") &&
           insertRawEvent(*event, metadataFingerprint, isRealtime, error);
}

bool APMDatabase::insertRawEvent(const APMEvent& event, std::int64_t metadataFingerprint, bool isRealtime,
                                 APMErrorOut error) {
    APMRawEventRow row(event);
    row.isRealtime = isRealtime;
    return insertRawEvent(row, metadataFingerprint, error);
}

bool APMDatabase::insertRawEvent(const APMRawEventRow& event, std::int64_t metadataFingerprint,
                                 APMErrorOut error) {
    if (!APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return false;
    // The columns in the order the generic insert of a record names them, so both share one statement.
    // Never destroyed: the worker queue may still be storing while the process exits.
    static const std::string& kInsert = *new std::string(
        "INSERT OR REPLACE INTO raw_events (data, is_realtime, metadata_fingerprint, name, timestamp) "
        "VALUES (?, ?, ?, ?, ?);");
    const std::optional<std::int64_t> countBefore = knownRawEventCount_;
    knownRawEventCount_.reset();
    const APMSqliteStore::BoundValue values[] = {std::span<const std::uint8_t>(event.data),
                                                 std::int64_t{event.isRealtime ? 1 : 0}, metadataFingerprint,
                                                 std::string_view(event.name), event.timestamp};
    if (!sqliteStore_->executeStatement(kInsert, values, error)) {
        return false;
    }
    if (countBefore) knownRawEventCount_ = *countBefore + 1;
    return true;
}

std::optional<double> APMDatabase::queryLatestRawEventTime(APMErrorOut error) {
    return doubleForQuery("SELECT MAX(timestamp) FROM raw_events", error);
}

std::optional<std::vector<APMRawEventData>> APMDatabase::rawEventsWithMetadataFingerprint(
    std::int64_t fingerprint, APMErrorOut error, const APMSqliteStore::RecordFilter& filter) {
    if (!APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return std::nullopt;
    const auto records = sqliteStore_->recordsForQuery(
        "SELECT rowid, * FROM raw_events WHERE metadata_fingerprint = ? ORDER BY rowid ASC LIMIT ?",
        {fingerprint, kRawEventsReadLimit}, error, filter);
    if (!records) return std::nullopt;
    std::vector<APMRawEventData> events;
    Values unreadable;
    std::shared_ptr<platform::NSError> lastError;
    for (const auto& record : *records) {
        lastError = nullptr;
        if (auto event = rawEventDataFromDictionary(record, &lastError)) {
            events.push_back(std::move(*event));
        } else if (const auto rowID = record.find("rowid"); rowID != record.end()) {
            unreadable.push_back(rowID->second);
        }
    }
    deleteUnreadableRows(kEventsTable, unreadable, 12058, "Deleted raw events that cannot be read. Count");
    if (!records->empty() && events.empty()) {
        if (error) *error = lastError;
        return std::nullopt;
    }
    return events;
}

std::optional<bool> APMDatabase::containsRawEventWithMetadataFingerprint(std::int64_t fingerprint,
                                                                         APMErrorOut error) {
    return booleanForQuery("SELECT EXISTS (SELECT 1 FROM raw_events WHERE metadata_fingerprint = ? LIMIT 1)",
                           {fingerprint}, error);
}

bool APMDatabase::deleteRawEventsWithMaxRowID(std::int64_t maxRowID, std::int64_t metadataFingerprint,
                                              APMErrorOut error) {
    return deleteRawEvents("metadata_fingerprint = ? AND rowid <= ?", {metadataFingerprint, maxRowID}, error)
        .has_value();
}

std::int64_t APMDatabase::rawEventsLimit() const {
    return limits()->maxEventsStored();
}

std::optional<std::int64_t> APMDatabase::deleteRawEventsOverAbsoluteLimit(APMErrorOut error) {
    return deleteRawEventsOverAbsoluteLimit(rawEventsLimit(), error);
}

std::optional<std::int64_t> APMDatabase::deleteRawEventsOverAbsoluteLimit(std::int64_t maxEventsStored,
                                                                          APMErrorOut error) {
    // The newest maxEventsStored − 1 stay (a negative number keeps none, as a negative offset is none).
    return keepNewestRawEvents(maxEventsStored - 1, error);
}

std::optional<std::int64_t> APMDatabase::keepNewestRawEvents(std::int64_t count, APMErrorOut error) {
    const std::int64_t kept = std::max<std::int64_t>(count, 0);
    const auto stored = rawEventCount(error);
    if (!stored) return std::nullopt;
    if (*stored <= kept) return 0;
    // The oldest rows beyond the bound, found from the start of the table instead of by walking past all
    // the rows that stay.
    return deleteRawEvents("rowid IN (SELECT rowid FROM raw_events ORDER BY rowid ASC LIMIT ?)",
                           {*stored - kept}, error);
}

bool APMDatabase::deleteStaleRawEventsDataOlderThanMaxAge(double maxAge, APMErrorOut error) {
    if (!APMCheckCondition(maxAge >= 0, error, 1,
                           "Cannot delete stale raw events given negative time period"))
        return false;
    const auto deleted = deleteRawEvents("abs(timestamp - cast(? as REAL)) > cast(? as REAL)",
                                         {platform::NSDate::now().timeIntervalSince1970(), maxAge}, error);
    if (!deleted) return false;
    return *deleted == 0 || deleteUnusedRawEventsMetadata(error);
}

std::optional<std::int64_t> APMDatabase::nextMetadataFingerprintToProcess(APMErrorOut error) {
    if (!APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return std::nullopt;
    const auto records =
        sqliteStore_->recordsForQuery("SELECT metadata_fingerprint, MIN(rowid) FROM raw_events", {}, error);
    if (!records) return std::nullopt;
    if (!APMCheckCondition(records->size() == 1, error, 2, "Only one event metadata should be processed"))
        return std::nullopt;
    const auto fingerprint = records->front().find("metadata_fingerprint");
    if (fingerprint == records->front().end()) return std::nullopt;
    return fingerprint->second.intValue();
}

std::optional<APMRawEventData> APMDatabase::rawEventDataFromDictionary(const Record& record,
                                                                       APMErrorOut error) {
    if (!APMCheckCondition(!record.empty(), error, 1,
                           "Received empty dictionary for getting raw event data") ||
        !APMCheckCondition(isPresent(record, "rowid"), error, 1,
                           "Unable to find row ID in the database dictionary") ||
        !APMCheckCondition(isPresent(record, "data"), error, 1,
                           "Unable to find event data in the database dictionary") ||
        !APMCheckCondition(isPresent(record, "metadata_fingerprint"), error, 1,
                           "Unable to find event metadata in the database dictionary")) {
        return std::nullopt;
    }
    const Value::Data* data = record.at("data").dataValue();
    const auto proto = data ? APMPBEvent::initWithBuffer(*data) : nullptr;
    if (!APMCheckNotNil(proto, error, 3, "Failed to parse event from data")) return std::nullopt;

    const auto name = record.find("name");
    const auto timestamp = record.find("timestamp");
    const std::string eventName =
        name != record.end() && name->second.stringValue() ? *name->second.stringValue() : "";
    const double time = timestamp != record.end() ? timestamp->second.numberValue().value_or(0) : 0;
    const double previousTime =
        static_cast<double>(APMNanoGetInt64(proto.get(), EventField::kPreviousTimestampMillis)) / 1000.0;

    std::string origin;
    APMValue::Parameters parameters;
    using Params = std::vector<std::shared_ptr<APMPBEventParam>>;
    for (const auto& param :
         APMNanoGetMessages<APMPBEventParam>(proto.get(), EventField::kParams).value_or(Params{})) {
        const auto paramName = APMNanoGetString(param.get(), ParamField::kName);
        if (paramName == "_o") {
            const auto text = APMNanoGetString(param.get(), ParamField::kStringValue);
            if (!APMCheckCondition(
                    text.has_value(), error, 2,
                    "Cannot create an event from database. Origin parameter is not a string")) {
                return std::nullopt;
            }
            origin = *text;
            continue;
        }
        const auto decoded = APMEventParamsFromProto(param.get(), false, nullptr);
        const auto entry =
            decoded && paramName ? decoded->find(*paramName) : APMValue::Parameters::const_iterator{};
        if (!APMCheckCondition(decoded && paramName && entry != decoded->end(), error, 2,
                               "Failed to parse event params from data")) {
            return std::nullopt;
        }
        parameters.insert(*entry);
    }
    if (!APMCheckCondition(!origin.empty(), error, 2,
                           "Cannot create an event from database. Missing origin parameter"))
        return std::nullopt;
    auto rawEvent = APMRawEventData::initWithRawEvent(
        APMEvent::initWithOrigin(origin, false, eventName, time, previousTime,
                                 APMObjectParametersFrom(parameters), limits()->maxPublicEventParams()),
        record.at("rowid").intValue().value_or(-1), record.at("metadata_fingerprint").intValue().value_or(0));
    APMCheckCondition(rawEvent.has_value(), error, 2, "Failed to initialize raw event data from dictionary");
    return rawEvent;
}

std::optional<bool> APMDatabase::containsRealtimeRawEventsWithError(APMErrorOut error) {
    return booleanForQuery("SELECT EXISTS (SELECT 1 FROM raw_events WHERE is_realtime = 1 LIMIT 1)", {},
                           error);
}

std::optional<std::int64_t> APMDatabase::deleteRawEvents(const std::string& condition, const Values& values,
                                                         APMErrorOut error) {
    if (!APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return std::nullopt;
    const std::optional<std::int64_t> countBefore = knownRawEventCount_;
    knownRawEventCount_.reset();
    const auto deleted = sqliteStore_->deleteRecordsFromTableWithName(kEventsTable, condition, values, error);
    if (deleted && countBefore) knownRawEventCount_ = *countBefore - *deleted;
    return deleted;
}

std::optional<std::int64_t> APMDatabase::rawEventCount(APMErrorOut error) {
    if (!knownRawEventCount_) {
        if (!APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return std::nullopt;
        knownRawEventCount_ = sqliteStore_->rowCountForTableWithName(kEventsTable, error);
    }
    return knownRawEventCount_;
}

void APMDatabase::deleteUnreadableRows(const std::string& tableName, const Values& rowIDs,
                                       std::int64_t logCode, const char* message) {
    if (rowIDs.empty()) return;
    const auto condition = APMRowIDCondition::withRowIDs(rowIDs, nullptr);
    const auto deleted = tableName == kEventsTable
                             ? deleteRawEvents(condition->text, condition->values, nullptr)
                             : sqliteStore_->deleteRecordsFromTableWithName(tableName, condition->text,
                                                                            condition->values, nullptr);
    APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::MonitoredWarning, logCode, message,
                                               deleted.value_or(0));
}

}  // namespace analytics
