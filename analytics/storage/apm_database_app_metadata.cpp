// The one row of "app_metadata": bundle bookkeeping, daily counts and the stored server configuration.
#include <cmath>
#include <limits>

#include "analytics/messages/nano_field_access.h"
#include "analytics/storage/apm_database.h"
#include "platform/foundation/ns_date.h"

namespace analytics {

namespace {

constexpr const char* kTable = "app_metadata";
// The single row's key. Never destroyed: the worker queue may still read it while the process exits.
const platform::Value& row() {
    static const auto* key = new platform::Value("1");
    return *key;
}

double now() {
    return platform::NSDate::now().timeIntervalSince1970();
}

// A stored count as the 32-bit number it was written as; a number beyond that range stops at its end.
std::int32_t int32Column(const APMSqliteStore::Record& record, const char* column, std::int32_t fallback) {
    const auto found = record.find(column);
    if (found == record.end()) return fallback;
    const auto number = found->second.numberValue();
    if (!number) return fallback;
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(*number < kMin ? kMin : *number > kMax ? kMax : *number);
}

std::optional<double> doubleColumn(const APMSqliteStore::Record& record, const char* column) {
    const auto found = record.find(column);
    return found == record.end() ? std::nullopt : found->second.numberValue();
}

// The day number of a time, with the installation's own day boundary.
std::int32_t dayNumber(double time, double midnightOffset) {
    return static_cast<std::int32_t>(std::floor((time - midnightOffset) / 86400));
}

}  // namespace

std::optional<APMAppMetadata> APMDatabase::queryAppMetadata(APMErrorOut error) {
    const auto rows = dataTypesFromTableWithName<APMAppMetadata>(
        kTable, "rowid", row(), error,
        [](const Record& record, APMErrorOut error) -> std::optional<APMAppMetadata> {
            if (!APMCheckCondition(!record.empty(), error, 3,
                                   "Received empty dictionary for getting app metadata"))
                return std::nullopt;
            const auto index = record.find("last_bundle_index");
            const auto end = doubleColumn(record, "last_bundle_end_timestamp");
            if (index == record.end() || !index->second.intValue() || !end) return std::nullopt;
            return APMAppMetadata::initWithLastBundleIndex(
                int32Column(record, "last_bundle_index", 0),
                doubleColumn(record, "last_bundle_start_timestamp").value_or(0), *end);
        });
    if (!rows || rows->empty()) return std::nullopt;
    return rows->front();
}

bool APMDatabase::updateAppMetadata(const std::optional<APMAppMetadata>& appMetadata, APMErrorOut error) {
    if (!APMCheckCondition(appMetadata.has_value(), error, 3,
                           "Received empty app metadata for getting dictionary representation")) {
        return false;
    }
    const Record record{{"rowid", row()},
                        {"last_bundle_index", appMetadata->lastBundleIndex()},
                        {"last_bundle_start_timestamp", appMetadata->lastBundleStartTimestamp()},
                        {"last_bundle_end_timestamp", appMetadata->lastBundleEndTimestamp()}};
    return updateDataType(record, kTable, "rowid", row(), error);
}

std::optional<APMDailyCounts> APMDatabase::dailyCounts(APMErrorOut error) {
    const std::int32_t today = dayNumber(now(), midnightOffset());
    const auto rows = dataTypesFromTableWithName<APMDailyCounts>(
        kTable, "rowid", row(), error,
        [today](const Record& record, APMErrorOut error) -> std::optional<APMDailyCounts> {
            if (!APMCheckCondition(!record.empty(), error, 3,
                                   "Received empty dictionary for getting daily counts"))
                return std::nullopt;
            return APMDailyCounts::initWithDay(
                int32Column(record, "day", today), int32Column(record, "daily_conversions_count", 0),
                int32Column(record, "daily_events_count", 0),
                int32Column(record, "daily_public_events_count", 0),
                int32Column(record, "daily_error_events_count", 0),
                int32Column(record, "daily_real_time_conversion_events_count", 0));
        });
    if (!rows || rows->empty()) return std::nullopt;
    return rows->front();
}

bool APMDatabase::updateDailyCounts(const std::optional<APMDailyCounts>& dailyCounts, APMErrorOut error) {
    if (!APMCheckCondition(dailyCounts.has_value(), error, 3,
                           "Received empty daily counts for getting dictionary representation")) {
        return false;
    }
    const Record record{{"day", dailyCounts->day()},
                        {"daily_conversions_count", dailyCounts->conversionsCount()},
                        {"daily_events_count", dailyCounts->allEventsCount()},
                        {"daily_public_events_count", dailyCounts->publicEventsCount()},
                        {"daily_error_events_count", dailyCounts->errorEventsCount()},
                        {"daily_real_time_conversion_events_count", dailyCounts->realtimeCount()}};
    return updateDataType(record, kTable, "rowid", row(), error);
}

bool APMDatabase::updateRemoteConfig(const APMPBMeasurementConfig* config, APMErrorOut error) {
    const auto encoding = config ? config->protoBuffer() : std::nullopt;
    if (!APMCheckCondition(encoding && !encoding->empty(), error, 1, "Invalid measurement config data") ||
        !APMCheckCondition(
            !APMNanoGetString(config, apmpb_fields::MeasurementConfig::kAppId).value_or("").empty(), error, 1,
            "Missing Vuziri app ID in measurement configuration")) {
        return false;
    }
    return updateDataType({{"remote_config_data", *encoding}, {"remote_config_timestamp", now()}}, kTable,
                          "rowid", row(), error);
}

bool APMDatabase::updateRemoteConfigSuccessfulTimestamp(double timestamp, APMErrorOut error) {
    return updateDataType({{"remote_config_timestamp", timestamp}}, kTable, "rowid", row(), error);
}

std::shared_ptr<APMPBMeasurementConfig> APMDatabase::queryMeasurementConfigWithError(APMErrorOut error) {
    if (!APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return nullptr;
    const auto records =
        sqliteStore_->recordsForQuery("SELECT remote_config_data FROM app_metadata LIMIT 1", {}, error);
    if (!records || records->empty()) return nullptr;
    // An empty blob reads as no column at all.
    const auto data = records->front().find("remote_config_data");
    const platform::Value::Data* bytes = data == records->front().end() ? nullptr : data->second.dataValue();
    if (!bytes || bytes->empty()) return nullptr;
    auto config = APMPBMeasurementConfig::initWithBuffer(*bytes);
    APMCheckNotNil(config, error, 2, "Remote config data is corrupted");
    return config;
}

std::optional<double> APMDatabase::lastRemoteConfigUpdateTimestamp(APMErrorOut error) {
    return doubleForQuery("SELECT remote_config_timestamp FROM app_metadata LIMIT 1", error);
}

}  // namespace analytics
