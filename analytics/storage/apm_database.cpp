// The measurement database: opening, reset, transactions and the generic record operations.
#include "analytics/storage/apm_database.h"

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_persisted_config.h"

namespace analytics {

namespace {

std::shared_ptr<APMMonitor> monitor() {
    return APMMonitor::sharedInstance();
}

}  // namespace

std::shared_ptr<APMDatabase> APMDatabase::initWithDatabaseName(
    const std::string& name, std::shared_ptr<APMPersistedConfig> persistedConfig, APMErrorOut error,
    LimitsSource limits) {
    if (!APMCheckCondition(!name.empty(), error, 1, "Received empty database name in init")) return nullptr;
    std::shared_ptr<APMDatabase> database(new APMDatabase(std::move(persistedConfig), std::move(limits)));
    if (!database->initializeDatabaseResourcesWithContext("Init", APMMeasurementDirectoryFilePath(name),
                                                          error))
        return nullptr;
    return database;
}

APMDatabase::APMDatabase(std::shared_ptr<APMPersistedConfig> persistedConfig, LimitsSource limits)
    : persistedConfig_(std::move(persistedConfig)),
      limits_(limits ? std::move(limits) : &APMStorageLimits::defaults) {}

std::shared_ptr<APMStorageLimits> APMDatabase::limits() const {
    return limits_();
}

double APMDatabase::midnightOffset() const {
    return persistedConfig_ ? persistedConfig_->midnightOffset() : 0;
}

bool APMDatabase::initializeDatabaseResourcesWithContext(const std::string& context,
                                                         const std::string& databasePath, APMErrorOut error) {
    auto store = APMSqliteStore::initWithDatabasePath(databasePath, error);
    if (!store) return false;
    sqliteStore_ = std::move(store);
    forgetRawEventsState();

    std::shared_ptr<platform::NSError> tableError;
    if (!ensureAllTables(&tableError)) {
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 12002,
                                "Failed to create or validate required database tables (" + context + ")");
        // Tables that do not fit are damage, and the file goes so that the next attempt starts empty. A
        // busy, locked or failing disk is not: the file and its events stay for a later attempt.
        if (APMSqliteStore::isDamage(tableError) && !sqliteStore_->closeAndDeleteDatabase()) {
            monitor()->logWithLevel(
                APMLogLevel::MonitoredWarning, 12003,
                "Failed to delete old database file after failed validation. Error (" + context + ")");
        }
        sqliteStore_.reset();
        return false;
    }
    if (!initializeAppMetadata()) {
        monitor()->logWithLevel(APMLogLevel::MonitoredError, 12004,
                                "Failed to initialize App Metadata table (" + context + ")");
        sqliteStore_.reset();
        return false;
    }
    return true;
}

bool APMDatabase::reset(APMErrorOut error) {
    const std::string path = sqliteStore_ ? sqliteStore_->databasePath() : "";
    forgetRawEventsState();
    if (!APMCheckCondition(sqliteStore_ && sqliteStore_->closeAndDeleteDatabase(), error, 2,
                           "Failed to delete database data")) {
        return false;
    }
    return initializeDatabaseResourcesWithContext("Reset", path, error);
}

bool APMDatabase::performTransaction(const std::function<bool()>& block) {
    std::shared_ptr<platform::NSError> error;
    // Whatever the block changed is undone unless the transaction commits, what is known of the raw
    // events too.
    struct ForgetUnlessCommitted {
        APMDatabase& database;
        bool committed = false;
        ~ForgetUnlessCommitted() {
            if (!committed) database.forgetRawEventsState();
        }
    } guard{*this};
    if (!APMCheckNotNil(sqliteStore_, &error, 2, "Database not open") ||
        !sqliteStore_->performTransactionWithError(&error, block)) {
        monitor()->logWithLevel(
            APMLogLevel::MonitoredError, 12056,
            "Transaction failed. " + (error ? error->localizedDescription() : std::string()));
        return false;
    }
    guard.committed = true;
    return true;
}

void APMDatabase::forgetRawEventsState() {
    knownRawEventCount_.reset();
    storedMetadataFingerprints_.clear();
}

bool APMDatabase::initializeAppMetadata() {
    return performTransaction([this] {
        std::shared_ptr<platform::NSError> error;
        const auto stored = queryAppMetadata(&error);
        if (!stored && error) {
            monitor()->logWithLevel(APMLogLevel::MonitoredError, 12005, "Failed to query app metadata");
            return false;
        }
        if (stored) return true;
        const auto fresh = APMAppMetadata::initWithLastBundleIndex(0, 0.0, 0.0);
        const Record record{{"rowid", "1"},
                            {"last_bundle_index", fresh->lastBundleIndex()},
                            {"last_bundle_start_timestamp", fresh->lastBundleStartTimestamp()},
                            {"last_bundle_end_timestamp", fresh->lastBundleEndTimestamp()}};
        if (!upsertDataType(record, "app_metadata", "rowid", platform::Value("1"), 1, &error)) {
            monitor()->logWithLevel(APMLogLevel::MonitoredError, 12006,
                                    "Unable to update the app metadata. Error", error);
            return false;
        }
        return true;
    });
}

std::optional<std::vector<APMDatabase::Record>> APMDatabase::recordsFromTable(const std::string& tableName,
                                                                              const std::string& condition,
                                                                              const Values& values,
                                                                              APMErrorOut error) {
    if (!APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return std::nullopt;
    return sqliteStore_->recordsForQuery("SELECT rowid, * FROM " + tableName + " " + condition, values,
                                         error);
}

bool APMDatabase::upsertRecord(const Record& record, const std::string& tableName, APMErrorOut error) {
    return APMCheckNotNil(sqliteStore_, error, 2, "Database not open") &&
           sqliteStore_->upsertRecord(record, tableName, error);
}

bool APMDatabase::insertDataType(const Record& dataType, const std::string& tableName, APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for inserting") ||
        !APMCheckCondition(!dataType.empty(), error, 2, "Failed to insert empty record")) {
        return false;
    }
    if (tableName == "raw_events") knownRawEventCount_.reset();
    return upsertRecord(dataType, tableName, error);
}

bool APMDatabase::upsertDataType(const Record& dataType, const std::string& tableName,
                                 const std::string& columnName,
                                 const std::optional<platform::Value>& columnValue, std::int64_t tableLimit,
                                 APMErrorOut error) {
    if (!APMCheckCondition(!dataType.empty(), error, 1, "Received empty data type to upsert") ||
        !APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for checking upsert") ||
        !APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) {
        return false;
    }
    const auto matching = sqliteStore_->rowCountForTableWithName(tableName, columnName, columnValue, error);
    if (!matching) return false;
    const auto all = sqliteStore_->rowCountForTableWithName(tableName, error);
    if (!all) return false;
    if (!APMCheckCondition(*matching > 0 || *all < tableLimit, error, 2,
                           "Failed to insert data type. Table is full"))
        return false;
    if (tableName == "raw_events") knownRawEventCount_.reset();
    return upsertRecord(dataType, tableName, error);
}

bool APMDatabase::updateDataType(const Record& dataType, const std::string& tableName,
                                 const std::string& columnName,
                                 const std::optional<platform::Value>& columnValue, APMErrorOut error) {
    if (!APMCheckCondition(!dataType.empty(), error, 1, "Received empty data type to update") ||
        !APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for updating") ||
        !APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) {
        return false;
    }
    const auto matching = sqliteStore_->rowCountForTableWithName(tableName, columnName, columnValue, error);
    if (!matching || !APMCheckNonZero(*matching, error, 2, "Failed to update record. Item doesn't exist"))
        return false;
    return sqliteStore_->updateRecord(dataType, tableName, columnName, columnValue, error);
}

std::optional<bool> APMDatabase::booleanForQuery(const std::string& query, const Values& values,
                                                 APMErrorOut error) {
    if (!APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return std::nullopt;
    const auto number = sqliteStore_->numberForQuery(query, values, error);
    if (!number) return std::nullopt;
    return number->numberValue().value_or(0) != 0;
}

std::optional<double> APMDatabase::doubleForQuery(const std::string& query, APMErrorOut error) {
    if (!APMCheckNotNil(sqliteStore_, error, 2, "Database not open")) return std::nullopt;
    const auto number = sqliteStore_->numberForQuery(query, {}, error);
    if (!number) return std::nullopt;
    return number->numberValue();
}

}  // namespace analytics
