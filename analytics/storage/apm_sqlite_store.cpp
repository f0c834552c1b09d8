#include "analytics/storage/apm_sqlite_store.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_exclude_path_from_backup.h"
#include "platform/foundation/ns_file_manager.h"

namespace analytics {

using platform::NSError;
using platform::Value;

const std::string& APMSqliteStore::kSqliteResultCodeKey = *new std::string("APMSqliteResultCode");

namespace {

// Read-write, create, full mutex.
constexpr int kOpenFlags = 0x10006;
// Besides the file itself, what SQLite may keep beside it. A journal left next to a new file would
// be played back into it, so it goes with the file.
constexpr const char* kCompanionSuffixes[] = {"-journal", "-wal", "-shm"};
// What an empty blob is bound from.
constexpr std::uint8_t kNoBytes = 0;

void log(std::int64_t level, std::int64_t code, const std::string& message,
         const APMLogContext& context = nullptr) {
    APMMonitor::sharedInstance()->logWithLevel(level, code, message, context);
}

std::shared_ptr<NSError> fileManagerError(std::int64_t code, const std::string& reason) {
    return NSError::errorWithDomain("NSCocoaErrorDomain", code,
                                    {{platform::NSLocalizedDescriptionKey, reason}});
}

bool isDamageCode(int resultCode) {
    const int primary = resultCode & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool onlyWhitespace(const char* text) {
    for (; text && *text; ++text) {
        if (!std::isspace(static_cast<unsigned char>(*text))) return false;
    }
    return true;
}

bool containsWhere(const std::string& query) {
    std::string upper = query;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper.find("WHERE") != std::string::npos;
}

}  // namespace

std::shared_ptr<APMSqliteStore> APMSqliteStore::initWithDatabasePath(const std::string& path,
                                                                     APMErrorOut error) {
    if (!APMCheckCondition(!path.empty(), error, 1, "Received empty database path on init")) return nullptr;
    std::shared_ptr<APMSqliteStore> store(new APMSqliteStore(path));
    std::shared_ptr<NSError> failure;
    if (store->openAndValidateDatabase(&failure)) return store;
    // Only a damaged file is given up; a busy, locked or unreadable one may be fine next time. Its events
    // are lost with it, so the console says so.
    if (isDamage(failure))
        log(APMLogLevel::Warning, 34023, "Database is damaged, deleting it. Error", failure);
    if (isDamage(failure) && store->closeAndDeleteDatabase()) {
        failure = nullptr;
        if (store->openAndValidateDatabase(&failure)) return store;
    }
    if (error) *error = failure;
    return nullptr;
}

APMSqliteStore::APMSqliteStore(std::string databasePath) : databasePath_(std::move(databasePath)) {}

APMSqliteStore::~APMSqliteStore() {
    closeDatabase();
}

bool APMSqliteStore::isDamage(const std::shared_ptr<NSError>& error) {
    if (!error || error->domain() != kAPMErrorDomain) return false;
    const auto& info = error->userInfo();
    if (error->code() == 2) {
        const auto description = info.find(platform::NSLocalizedDescriptionKey);
        return description != info.end() &&
               (description->second == "Table is missing required columns" ||
                description->second == "Table contains unknown non-optional columns");
    }
    const auto resultCode = info.find(kSqliteResultCodeKey);
    return error->code() == 3 && resultCode != info.end() &&
           isDamageCode(std::atoi(resultCode->second.c_str()));
}

bool APMSqliteStore::openAndValidateDatabase(APMErrorOut error) {
    auto files = platform::NSFileManager::defaultManager();
    std::string reason;
    if (files->fileExistsAtPath(databasePath_)) {
        const auto attributes = files->attributesOfItemAtPath(databasePath_, &reason);
        if (!attributes) {
            if (error) *error = fileManagerError(256, reason);
            return false;
        }
        if (attributes->immutable && !files->setImmutable(false, databasePath_, &reason)) {
            if (error) *error = fileManagerError(512, reason);
            return false;
        }
    } else if (!files->createDirectoryAtPath(std::filesystem::path(databasePath_).parent_path(), true,
                                             &reason)) {
        if (error) *error = fileManagerError(512, reason);
        return false;
    }

    if (sqlite3_open_v2(databasePath_.c_str(), &sqliteHandle_, kOpenFlags, nullptr) != SQLITE_OK) {
        setDatabaseError(error, "initialize sqlite handle");
        closeDatabase();
        return false;
    }
    std::shared_ptr<NSError> backupError;
    if (!APMExcludePathFromBackup(databasePath_, &backupError)) {
        log(APMLogLevel::MonitoredWarning, 34017, "Failed to exclude database file from backup", backupError);
    }
    if (!validateDatabaseWithError(error)) {
        closeDatabase();
        return false;
    }
    return true;
}

bool APMSqliteStore::validateDatabaseWithError(APMErrorOut error) {
    if (!isOpen(error, "Validate database failed. Database not open.")) return false;
    sqlite3_stmt* check = nullptr;
    int result = sqlite3_prepare_v2(sqliteHandle_, "PRAGMA integrity_check", -1, &check, nullptr);
    if (result == SQLITE_OK) result = sqlite3_step(check);
    const bool sound =
        result == SQLITE_ROW && sqlite3_column_count(check) == 1 && valueAtColumn(0, check) == Value("ok");
    if (!sound) {
        // A check that ran and found faults says the file is corrupt, whatever the call answered.
        setDatabaseError(error, "validate database",
                         result == SQLITE_ROW ? SQLITE_CORRUPT : sqlite3_extended_errcode(sqliteHandle_));
    }
    sqlite3_finalize(check);
    return sound;
}

void APMSqliteStore::closeDatabase() {
    if (!sqliteHandle_) return;
    finalizeAndClearStatements();
    // A statement still out on loan keeps the connection until it is finalized, instead of leaking it.
    const int result = sqlite3_close_v2(sqliteHandle_);
    if (result != SQLITE_OK)
        log(APMLogLevel::MonitoredError, 34018, "Failed to close database. Got error code", result);
    sqliteHandle_ = nullptr;
}

void APMSqliteStore::finalizeAndClearStatements() {
    for (const auto& [query, statement] : statementCache_) sqlite3_finalize(statement);
    statementCache_.clear();
}

bool APMSqliteStore::closeAndDeleteDatabase() {
    closeDatabase();
    auto files = platform::NSFileManager::defaultManager();
    std::vector<std::string> paths{databasePath_};
    for (const char* suffix : kCompanionSuffixes) paths.push_back(databasePath_ + suffix);
    for (const auto& path : paths) {
        if (!files->fileExistsAtPath(path)) continue;
        files->setImmutable(false, path);
        std::shared_ptr<NSError> failure;
        if (!APMDeleteFileAtPath(path, &failure)) {
            log(APMLogLevel::MonitoredError, 34019, "Failed to delete database. Error", failure);
            return false;
        }
    }
    return true;
}

bool APMSqliteStore::isOpen(APMErrorOut error, std::string_view closedText) {
    return APMCheckCondition(sqliteHandle_ != nullptr, error, 2, closedText);
}

sqlite3_stmt* APMSqliteStore::prepareSQL(const std::string& sql, APMErrorOut error) {
    if (!APMCheckCondition(!sql.empty(), error, 1, "Received empty SQL string to prepare") ||
        !isOpen(error, "Prepare SQL failed. Database not open.")) {
        return nullptr;
    }
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const int length = static_cast<int>(sql.size());
    int result = SQLITE_ERROR;
    if (sqlite3_libversion_number() >= 3020000) {
        result = sqlite3_prepare_v3(sqliteHandle_, sql.c_str(), length, SQLITE_PREPARE_PERSISTENT, &statement,
                                    &tail);
    }
    if (result != SQLITE_OK) {
        result = sqlite3_prepare_v2(sqliteHandle_, sql.c_str(), length, &statement, &tail);
    }
    if (result != SQLITE_OK) {
        setDatabaseError(error, "prepare statement");
        return nullptr;
    }
    if (!onlyWhitespace(tail)) {
        sqlite3_finalize(statement);
        APMCheckCondition(false, error, 1, "Query contained more than one SQL statement.");
        return nullptr;
    }
    // A text of only spaces or comments prepares to no statement.
    APMCheckPointer(statement, error, 1, "Received empty SQL string to prepare");
    return statement;
}

sqlite3_stmt* APMSqliteStore::statementForQuery(const std::string& query, APMErrorOut error) {
    return statementForQuery(query, {}, error);
}

sqlite3_stmt* APMSqliteStore::statementForQuery(const std::string& query, const Values& parameterValues,
                                                APMErrorOut error) {
    const bool hasParameters = query.find('?') != std::string::npos;
    if (!isOpen(error, "Statement for query failed. Database not open.") ||
        !APMCheckCondition(!hasParameters || !parameterValues.empty(), error, 1,
                           "Received empty parameters")) {
        return nullptr;
    }
    sqlite3_stmt* statement = nullptr;
    const auto cached = statementCache_.find(query);
    // A cached statement still stepping belongs to a caller further up (a filter that queries
    // again): this use gets a statement of its own.
    if (cached != statementCache_.end() && !sqlite3_stmt_busy(cached->second)) {
        statement = cached->second;
    } else {
        statement = prepareSQL(query, error);
        if (!statement) return nullptr;
        // Literal values in a condition would make every use a new entry.
        if (cached == statementCache_.end() && (hasParameters || !containsWhere(query))) {
            statementCache_[query] = statement;
        }
    }
    if (!parameterValues.empty() && !bindValues(parameterValues, statement, error)) {
        cleanUpStatement(statement, query);
        return nullptr;
    }
    return statement;
}

void APMSqliteStore::cleanUpStatement(sqlite3_stmt* statement, const std::string& query) {
    if (!statement) return;
    const auto cached = statementCache_.find(query);
    if (cached != statementCache_.end()) {
        if (cached->second == statement) {
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
            return;
        }
        log(APMLogLevel::SilentWarning, 34016, "Statement is not the same one in the cache");
    }
    sqlite3_finalize(statement);
}

bool APMSqliteStore::bindValues(const Values& values, sqlite3_stmt* statement, APMErrorOut error) {
    if (!APMCheckPointer(statement, error, 1, "Failed to bind to NULL statement")) return false;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    bool bound = true;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (bindValue(statement, static_cast<int>(i + 1), values[i]) != SQLITE_OK) {
            setDatabaseError(error, "bind values");
            bound = false;
        }
    }
    return bound;
}

int APMSqliteStore::bindValue(sqlite3_stmt* statement, int index, const Value& value, bool borrowText) {
    switch (value.kind()) {
        case Value::Kind::Null:
            return sqlite3_bind_null(statement, index);
        case Value::Kind::Bool:
            return sqlite3_bind_int64(statement, index, *value.boolValue() ? 1 : 0);
        case Value::Kind::Int:
            return sqlite3_bind_int64(statement, index, *value.intValue());
        case Value::Kind::UInt:
            // Beyond the signed range a count saturates rather than wrapping to a negative one.
            return sqlite3_bind_int64(statement, index, value.intValue().value_or(INT64_MAX));
        case Value::Kind::Double:
            return sqlite3_bind_double(statement, index, *value.doubleValue());
        case Value::Kind::String: {
            const std::string& text = *value.stringValue();
            return sqlite3_bind_text64(statement, index, text.data(), text.size(),
                                       borrowText ? SQLITE_STATIC : SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        case Value::Kind::Data: {
            // Not copied: the caller's data outlives the statement's run. An empty blob needs a
            // pointer, or SQLite binds NULL instead.
            const Value::Data& data = *value.dataValue();
            return sqlite3_bind_blob64(statement, index, data.empty() ? &kNoBytes : data.data(), data.size(),
                                       SQLITE_STATIC);
        }
        default:
            return SQLITE_MISMATCH;
    }
}

bool APMSqliteStore::isColumnValue(const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Date:
        case Value::Kind::Array:
        case Value::Kind::Dictionary:
            return false;
        default:
            return true;
    }
}

bool APMSqliteStore::executeSQL(const std::string& sql, APMErrorOut error) {
    if (!APMCheckCondition(!sql.empty(), error, 1, "Received empty SQL string to execute") ||
        !isOpen(error, "Execute SQL failed. Database not open.")) {
        return false;
    }
    sqlite3_stmt* statement = prepareSQL(sql, error);
    return statement && executeSQLStatement(statement, error);
}

bool APMSqliteStore::executeSQLStatement(sqlite3_stmt* statement, APMErrorOut error) {
    if (!APMCheckPointer(statement, error, 1, "Execute SQL statement failed. Statement is NULL."))
        return false;
    if (!isOpen(error, "Execute SQL statement failed. Database not open.")) {
        sqlite3_finalize(statement);
        return false;
    }
    const bool done = sqlite3_step(statement) == SQLITE_DONE;
    if (!done) setDatabaseError(error, "execute statement");
    sqlite3_finalize(statement);
    return done;
}

std::optional<Value> APMSqliteStore::valueAtColumn(int column, sqlite3_stmt* statement) {
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER:
            return Value(static_cast<std::int64_t>(sqlite3_column_int64(statement, column)));
        case SQLITE_FLOAT:
            return Value(sqlite3_column_double(statement, column));
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            if (!text) return std::nullopt;
            return Value(
                std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
        }
        case SQLITE_BLOB: {
            const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, column));
            if (!bytes) return std::nullopt;
            return Value(Value::Data(bytes, bytes + sqlite3_column_bytes(statement, column)));
        }
        default:
            return Value();
    }
}

bool APMSqliteStore::beginTransaction() {
    return stepCachedStatement("BEGIN EXCLUSIVE TRANSACTION");
}

bool APMSqliteStore::endTransaction() {
    return stepCachedStatement("END TRANSACTION");
}

bool APMSqliteStore::rollbackTransaction() {
    return stepCachedStatement("ROLLBACK");
}

bool APMSqliteStore::stepCachedStatement(const std::string& sql) {
    StatementLoan statement(*this, sql, {}, nullptr);
    return statement.get() && sqlite3_step(statement.get()) == SQLITE_DONE;
}

bool APMSqliteStore::performTransactionWithError(APMErrorOut error, const TransactionBlock& block) {
    if (!APMCheckCondition(static_cast<bool>(block), error, 1, "Received nil transaction block") ||
        !isOpen(error, "Database not open")) {
        return false;
    }
    if (!beginTransaction()) {
        setTransactionError(error, "Failed to begin transaction");
        return false;
    }
    bool succeeded = false;
    try {
        succeeded = block();
    } catch (...) {
        if (!rollbackTransaction()) {
            log(APMLogLevel::MonitoredError, 34009, "Failed to rollback transaction after exception");
        }
        throw;
    }
    if (!succeeded) {
        setTransactionError(error, "Transaction failed");
        if (!rollbackTransaction()) log(APMLogLevel::MonitoredError, 34011, "Failed to rollback transaction");
        return false;
    }
    if (!endTransaction()) {
        setTransactionError(error, "Failed to end transaction");
        // A commit that failed (busy, full, I/O) leaves the transaction open; every later write would
        // join it and be lost at close.
        if (!sqlite3_get_autocommit(sqliteHandle_) && !rollbackTransaction()) {
            log(APMLogLevel::MonitoredError, 34011, "Failed to rollback transaction");
        }
        return false;
    }
    return true;
}

std::optional<std::string> APMSqliteStore::lastErrorMessage() const {
    if (!sqliteHandle_) {
        log(APMLogLevel::MonitoredError, 34022, "Failed to get last error message. Database not open");
        return std::nullopt;
    }
    return std::string(sqlite3_errmsg(sqliteHandle_));
}

std::string APMSqliteStore::errorDescriptionForDatabaseOperation(const std::string& operation) const {
    if (!sqliteHandle_) return "";
    return "Database operation \"" + operation + "\" failed with sqlite code " +
           std::to_string(sqlite3_errcode(sqliteHandle_)) + " and error message \"" +
           sqlite3_errmsg(sqliteHandle_) + "\"";
}

std::string APMSqliteStore::monitorContextForDatabaseOperation(const std::string& operation) const {
    auto files = platform::NSFileManager::defaultManager();
    std::string freeSpace;
    if (const auto fileSystem = files->attributesOfFileSystemForPath(databasePath_)) {
        // The order of magnitude of the free space in whole MiB.
        const std::uint64_t mebibytes = fileSystem->freeSize / (1024 * 1024);
        freeSpace =
            mebibytes == 0 ? "-1" : std::to_string(static_cast<int>(std::floor(std::log10(mebibytes))));
    }
    return (operation.empty() ? std::string("Unknown operation") : operation) + "," +
           std::to_string(sqlite3_errcode(sqliteHandle_)) + "," +
           (files->isWritableFileAtPath(databasePath_) ? "A" : "NA") + "," + freeSpace;
}

void APMSqliteStore::setDatabaseError(APMErrorOut error, const std::string& operation) const {
    setDatabaseError(error, operation,
                     sqliteHandle_ ? sqlite3_extended_errcode(sqliteHandle_) : SQLITE_MISUSE);
}

void APMSqliteStore::setDatabaseError(APMErrorOut error, const std::string& operation, int resultCode) const {
    if (!error) return;
    NSError::UserInfo info{{kAPMMonitorContextKey, monitorContextForDatabaseOperation(operation)},
                           {kSqliteResultCodeKey, std::to_string(resultCode)}};
    const std::string description = errorDescriptionForDatabaseOperation(operation);
    if (!description.empty()) info[platform::NSLocalizedDescriptionKey] = description;
    *error = NSError::errorWithDomain(kAPMErrorDomain, 3, std::move(info));
}

void APMSqliteStore::setTransactionError(APMErrorOut error, const std::string& description) const {
    if (!error) return;
    // The code of the call that made the transaction fail, read before a rollback replaces it.
    *error = NSError::errorWithDomain(
        kAPMErrorDomain, 3,
        {{platform::NSLocalizedDescriptionKey, description},
         {kSqliteResultCodeKey, std::to_string(sqlite3_extended_errcode(sqliteHandle_))}});
}

}  // namespace analytics
