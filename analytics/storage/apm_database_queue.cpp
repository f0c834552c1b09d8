// The upload queue of compressed bundles, and the periodic deletion of stale data.
#include <algorithm>
#include <cmath>
#include <limits>

#include "analytics/messages/nano_field_access.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_database.h"
#include "analytics/storage/apm_persisted_config.h"
#include "analytics/storage/apm_row_id_condition.h"
#include "platform/foundation/ns_date.h"
#include "platform/vuziriutilities/vul_gzip.h"

namespace analytics {

namespace {

using BundleField = apmpb_fields::MeasurementBundle;

constexpr const char* kTable = "queue";
constexpr std::int64_t kMaxRetryCount = std::numeric_limits<std::int32_t>::max();

double now() {
    return platform::NSDate::now().timeIntervalSince1970();
}

}  // namespace

std::optional<bool> APMDatabase::isQueuedBundleTableEmpty(APMErrorOut error) {
    return booleanForQuery("SELECT NOT EXISTS (SELECT 1 FROM queue LIMIT 1)", {}, error);
}

bool APMDatabase::insertBundle(const APMPBMeasurementBundle* bundle, bool isRealtime, APMErrorOut error) {
    const auto encoding = bundle ? bundle->protoBuffer() : std::nullopt;
    if (!APMCheckCondition(encoding && !encoding->empty(), error, 1, "Failed to insert nil bundle") ||
        !APMCheckCondition(!APMNanoGetString(bundle, BundleField::kAppId).value_or("").empty(), error, 1,
                           "Failed to insert bundle without App ID") ||
        !APMCheckCondition(APMNanoGetInt64(bundle, BundleField::kEndTimestampMillis) >= 1, error, 1,
                           "Failed to insert bundle without valid timestamp") ||
        !maybeDeleteStaleData(error)) {
        return false;
    }
    const double endTime =
        static_cast<double>(APMNanoGetInt64(bundle, BundleField::kEndTimestampMillis)) / 1000;
    if (std::fabs(now() - endTime) > limits()->maxQueueTime()) {
        APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::MonitoredWarning, 12016,
                                                   "Storing bundle outside of the max uploading time span");
    }
    const auto compressed = platform::vul_dataByGzippingData(*encoding, nullptr);
    if (!APMCheckCondition(!compressed.empty(), error, 2, "Failed to compress bundle")) return false;
    APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::Debug, 12018, "Saving bundle. size (bytes)",
                                               std::to_string(compressed.size()));
    const Record record{{"bundle_end_timestamp", endTime},
                        {"data", compressed},
                        {"is_realtime", isRealtime ? 1 : 0},
                        {"retry_count", APMNanoGetInt32(bundle, BundleField::kUploadRetryCount)}};
    return upsertRecord(record, kTable, error);
}

bool APMDatabase::incrementRetryCounterForBundlesWithIDs(const Values& rowIDs, APMErrorOut error) {
    if (!APMCheckCondition(!rowIDs.empty(), error, 1, "Failed to increment retry counter") ||
        !APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) {
        return false;
    }
    if (booleanForQuery("SELECT EXISTS (SELECT 1 FROM queue WHERE retry_count = ? LIMIT 1)", {kMaxRetryCount},
                        nullptr)
            .value_or(false)) {
        APMMonitor::sharedInstance()->logWithLevel(
            APMLogLevel::MonitoredError, 12054,
            "The number of upload retries exceeds the limit. Will remain "
            "unchanged.");
    }
    auto condition = APMRowIDCondition::withRowIDs(rowIDs, error);
    if (!condition) return false;
    const platform::Value below(kMaxRetryCount);
    condition->values.push_back(below);
    return sqliteStore_->increaseColumn("retry_count", 1, kTable, condition->text + " AND retry_count < ?",
                                        condition->values, error);
}

std::optional<std::vector<APMQueuedBundle>> APMDatabase::queryBundlesWithCountLimit(std::int64_t countLimit,
                                                                                    std::int64_t sizeLimit,
                                                                                    APMErrorOut error) {
    if (!APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return std::nullopt;
    const auto records = sqliteStore_->recordsForQuery(
        "SELECT rowid, data, retry_count FROM queue ORDER BY rowid ASC LIMIT ?", {countLimit}, error);
    if (!records) return std::nullopt;
    return queuedBundles(*records, sizeLimit);
}

std::optional<std::vector<APMQueuedBundle>> APMDatabase::queryBundlesWithRowIDs(const Values& rowIDs,
                                                                                APMErrorOut error) {
    const auto condition = APMRowIDCondition::withRowIDs(rowIDs, error);
    if (!condition || !APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return std::nullopt;
    const auto records = sqliteStore_->recordsForQuery(
        "SELECT rowid, data, retry_count FROM queue WHERE " + condition->text, condition->values, error);
    if (!records) return std::nullopt;
    return queuedBundles(*records, std::nullopt);
}

std::optional<std::vector<APMQueuedBundle>> APMDatabase::queuedBundles(
    const std::vector<Record>& records, std::optional<std::int64_t> sizeLimit) {
    std::vector<APMQueuedBundle> bundles;
    Values unreadable;
    std::uint64_t size = 0;
    const auto limit = static_cast<std::uint64_t>(std::max<std::int64_t>(sizeLimit.value_or(0), 0));
    for (const auto& record : records) {
        auto bundle = APMQueuedBundleFromRecord(record, nullptr);
        if (!bundle) {
            if (const auto rowID = record.find("rowid"); rowID != record.end())
                unreadable.push_back(rowID->second);
            continue;
        }
        if (sizeLimit) {
            // The first bundle is taken whatever its size; a later one only while the total fits.
            if (!bundles.empty() && size + bundle->uncompressedSize > limit) break;
            size += bundle->uncompressedSize;
            bundles.push_back(std::move(*bundle));
            if (size > limit) break;
        } else {
            bundles.push_back(std::move(*bundle));
        }
    }
    deleteUnreadableRows(kTable, unreadable, 12059, "Deleted queued bundles that cannot be read. Count");
    return bundles;
}

bool APMDatabase::deleteBundlesWithRowIDs(const Values& rowIDs, APMErrorOut error) {
    const auto condition = APMRowIDCondition::withRowIDs(rowIDs, error);
    return condition && APMCheckNotNil(sqliteStore_, error, 2, "Database not open") &&
           sqliteStore_->deleteRecordsFromTableWithName(kTable, condition->text, condition->values, error);
}

std::optional<bool> APMDatabase::maybeDeleteStaleData(APMErrorOut error) {
    const double time = now();
    const double lastDeletion = persistedConfig_ ? persistedConfig_->lastDeleteStaleBundlesTimestamp() : 0;
    const auto config = limits();
    if (std::fabs(time - lastDeletion) <= config->databaseDeleteStaleBundlesInterval()) return false;
    if (!deleteStaleRawEventsDataOlderThanMaxAge(config->maxQueueTime(), error) ||
        !deleteStaleBundlesOlderThanMaxAge(config->maxQueueTime(), error)) {
        return std::nullopt;
    }
    if (persistedConfig_) persistedConfig_->setLastDeleteStaleBundlesTimestamp(time);
    return true;
}

bool APMDatabase::deleteStaleBundlesOlderThanMaxAge(double maxAge, APMErrorOut error) {
    return APMCheckCondition(maxAge >= 0, error, 1,
                             "Cannot delete stale bundles after negative time period") &&
           APMCheckNotNil(sqliteStore_, error, 2, "Database not open") &&
           sqliteStore_->deleteRecordsFromTableWithName(
               kTable, "abs(bundle_end_timestamp - cast(? as REAL)) > cast(? as REAL)", {now(), maxAge},
               error);
}

std::optional<double> APMDatabase::queryLatestBundleTime(APMErrorOut error) {
    return doubleForQuery("SELECT MAX(bundle_end_timestamp) FROM queue", error);
}

std::optional<bool> APMDatabase::containsRealtimeBundlesWithError(APMErrorOut error) {
    return booleanForQuery("SELECT EXISTS (SELECT 1 FROM queue WHERE is_realtime = 1 LIMIT 1)", {}, error);
}

}  // namespace analytics
