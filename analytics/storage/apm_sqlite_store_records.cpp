// The store's rows: writes, deletes, counts and reads.
#include <cctype>
#include <cstdint>
#include <utility>

#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_sqlite_store.h"

namespace analytics {

namespace {

constexpr std::uint8_t kNoBytes = 0;

// The value bound without copying its text or bytes: they outlive the statement's run.
int bindBorrowed(sqlite3_stmt* statement, int index, const APMSqliteStore::BoundValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) return sqlite3_bind_int64(statement, index, *number);
    if (const auto* real = std::get_if<double>(&value)) return sqlite3_bind_double(statement, index, *real);
    if (const auto* text = std::get_if<std::string_view>(&value))
        return sqlite3_bind_text64(statement, index, text->data(), text->size(), SQLITE_STATIC, SQLITE_UTF8);
    if (const auto* bytes = std::get_if<std::span<const std::uint8_t>>(&value)) {
        // An empty blob needs a pointer, or SQLite binds NULL instead.
        return sqlite3_bind_blob64(statement, index, bytes->empty() ? &kNoBytes : bytes->data(), bytes->size(),
                                   SQLITE_STATIC);
    }
    return sqlite3_bind_null(statement, index);
}

// The values as the statement layer beneath binds them, copied: for a statement's first run.
APMSqliteStore::Values ownedValues(std::span<const APMSqliteStore::BoundValue> values) {
    APMSqliteStore::Values owned;
    owned.reserve(values.size());
    for (const auto& value : values) {
        if (const auto* number = std::get_if<std::int64_t>(&value)) {
            owned.emplace_back(*number);
        } else if (const auto* real = std::get_if<double>(&value)) {
            owned.emplace_back(*real);
        } else if (const auto* text = std::get_if<std::string_view>(&value)) {
            owned.emplace_back(std::string(*text));
        } else if (const auto* bytes = std::get_if<std::span<const std::uint8_t>>(&value)) {
            owned.emplace_back(platform::Value::Data(bytes->begin(), bytes->end()));
        } else {
            owned.emplace_back(nullptr);
        }
    }
    return owned;
}

}  // namespace

using platform::Value;

namespace {

void log(std::int64_t level, std::int64_t code, const std::string& message,
         const APMLogContext& context = nullptr) {
    APMMonitor::sharedInstance()->logWithLevel(level, code, message, context);
}

// "select" at the very start, in any letter case.
bool isSelectQuery(const std::string& query) {
    static constexpr char kSelect[] = "select";
    if (query.size() < sizeof kSelect - 1) return false;
    for (std::size_t i = 0; i + 1 < sizeof kSelect; ++i) {
        if (std::tolower(static_cast<unsigned char>(query[i])) != kSelect[i]) return false;
    }
    return true;
}

std::string upperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool APMSqliteStore::upsertRecord(const Record& record, const std::string& tableName, APMErrorOut error) {
    if (!APMCheckCondition(!record.empty(), error, 1, "Received empty record for upsert") ||
        !APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for upsert") ||
        !isOpen(error, "Upsert record failed. Database not open.")) {
        return false;
    }
    std::string columns;
    std::string markers;
    Values values;
    values.reserve(record.size());
    for (const auto& [column, value] : record) {
        if (!isColumnValue(value)) {
            log(APMLogLevel::MonitoredWarning, 34020, "Record has value of unexpected type");
            return false;
        }
        columns += column + ", ";
        markers += "?, ";
        values.push_back(value);
    }
    columns.replace(columns.size() - 2, 2, ") VALUES (");
    markers.replace(markers.size() - 2, 2, ");");
    // The same columns give the same text, so a table's writes share one cached statement.
    return runStatementForQuery("INSERT OR REPLACE INTO " + tableName + " (" + columns + markers, values,
                                "execute statement", error);
}

bool APMSqliteStore::updateRecord(const Record& record, const std::string& tableName,
                                  const std::string& columnName, const std::optional<Value>& columnValue,
                                  APMErrorOut error) {
    if (!APMCheckCondition(!record.empty(), error, 1, "Empty record for update") ||
        !APMCheckCondition(!tableName.empty(), error, 1, "Empty table name for update") ||
        !APMCheckCondition(!columnName.empty(), error, 1, "Empty column name for update") ||
        !APMCheckCondition(columnValue.has_value(), error, 1, "Nil column value for update") ||
        !isOpen(error, "Update record failed. Database not open.")) {
        return false;
    }
    std::string assignments;
    Values values;
    values.reserve(record.size() + 1);
    for (const auto& [column, value] : record) {
        if (!isColumnValue(value)) {
            log(APMLogLevel::MonitoredWarning, 34021, "Record has value of unexpected type (update)");
            APMCheckCondition(false, error, 1,
                              "Failed to bind parameter of unexpected type to update statement");
            return false;
        }
        assignments += column + "=?,";
        values.push_back(value);
    }
    assignments.pop_back();
    values.push_back(*columnValue);
    return runStatementForQuery("UPDATE " + tableName + " SET " + assignments + " WHERE " + columnName + "=?",
                                values, "execute statement", error);
}

bool APMSqliteStore::updateAllRecordsInTableWithName(const std::string& tableName,
                                                     const std::string& columnName,
                                                     const std::optional<Value>& columnValue,
                                                     APMErrorOut error) {
    return APMCheckCondition(!tableName.empty(), error, 1, "Empty table name for update") &&
           APMCheckCondition(!columnName.empty(), error, 1, "Empty column name for update") &&
           APMCheckCondition(columnValue.has_value(), error, 1, "Nil column value for update") &&
           isOpen(error, "Update record failed. Database not open.") &&
           runStatementForQuery("UPDATE " + tableName + " SET " + columnName + "=?", {*columnValue},
                                "update all records value", error);
}

bool APMSqliteStore::increaseColumn(const std::string& columnName, std::int64_t value,
                                    const std::string& tableName, const std::string& condition,
                                    const Values& parameterValues, APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1, "Empty table name for increase column") ||
        !APMCheckCondition(!columnName.empty(), error, 1, "Empty column name for increase column") ||
        !APMCheckCondition(!condition.empty(), error, 1, "Empty condition for increase column") ||
        !isOpen(error, "Increase column failed. Database not open.")) {
        return false;
    }
    const auto types = columnInfoForTableWithName(tableName, error);
    if (!types) return false;
    const auto type = types->find(columnName);
    if (!APMCheckCondition(type != types->end(), error, 1, "Invalid column or table name") ||
        !APMCheckCondition(upperCase(type->second) == "INTEGER", error, 1, "Column type is not integer.")) {
        return false;
    }
    return runStatementForQuery("UPDATE " + tableName + " SET " + columnName + " = " + columnName + " + " +
                                    std::to_string(value) + " WHERE " + condition,
                                parameterValues, "increase records value", error);
}

bool APMSqliteStore::deleteRecordFromTableWithName(const std::string& tableName,
                                                   const std::string& columnName,
                                                   const std::optional<Value>& columnValue,
                                                   APMErrorOut error) {
    return APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for delete record") &&
           APMCheckCondition(!columnName.empty(), error, 1, "Received empty column for delete record") &&
           APMCheckCondition(columnValue.has_value(), error, 1, "Received nil value for delete record") &&
           isOpen(error, "Delete record failed. Database not open.") &&
           runStatementForQuery("DELETE FROM " + tableName + " WHERE " + columnName + "=?", {*columnValue},
                                "delete record", error);
}

std::optional<std::int64_t> APMSqliteStore::deleteRecordsFromTableWithName(const std::string& tableName,
                                                                           const std::string& condition,
                                                                           const Values& parameterValues,
                                                                           APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for delete record") ||
        !APMCheckCondition(!condition.empty(), error, 1, "Received empty condition for delete record") ||
        !isOpen(error, "Delete records with condition failed. Database not open.") ||
        !runStatementForQuery("DELETE FROM " + tableName + " WHERE " + condition, parameterValues,
                              "delete records with condition", error)) {
        return std::nullopt;
    }
    return sqlite3_changes(sqliteHandle_);
}

bool APMSqliteStore::deleteAllRecordsFromTableWithName(const std::string& tableName, APMErrorOut error) {
    return APMCheckCondition(!tableName.empty(), error, 1,
                             "Received empty table name for delete all records") &&
           isOpen(error, "Delete all records failed. Database not open.") &&
           runStatementForQuery("DELETE FROM " + tableName, {}, "delete all records", error);
}

bool APMSqliteStore::executeStatement(const std::string& sql, std::span<const BoundValue> parameterValues,
                                      APMErrorOut error) {
    if (!isOpen(error, "Execute SQL statement failed. Database not open.")) return false;
    const auto cached = statementCache_.find(sql);
    // The first use prepares and caches the statement; one still stepping belongs to a caller further up.
    if (cached == statementCache_.end() || sqlite3_stmt_busy(cached->second))
        return runStatementForQuery(sql, ownedValues(parameterValues), "execute statement", error);
    // A cached statement keeps the values of its last run bound, each replaced as this run binds its
    // own: cleared first only when this run leaves a parameter without a value. Bound, run and reset
    // with one lookup, the text and bytes bound where they are.
    sqlite3_stmt* statement = cached->second;
    if (std::cmp_less(parameterValues.size(), sqlite3_bind_parameter_count(statement)))
        sqlite3_clear_bindings(statement);
    const char* failedOperation = nullptr;
    for (std::size_t i = 0; i < parameterValues.size() && !failedOperation; ++i) {
        if (bindBorrowed(statement, static_cast<int>(i + 1), parameterValues[i]) != SQLITE_OK)
            failedOperation = "bind values";
    }
    if (!failedOperation && sqlite3_step(statement) != SQLITE_DONE) failedOperation = "execute statement";
    if (failedOperation) setDatabaseError(error, failedOperation);
    sqlite3_reset(statement);
    return !failedOperation;
}

bool APMSqliteStore::runStatementForQuery(const std::string& query, const Values& parameterValues,
                                          const std::string& operation, APMErrorOut error) {
    StatementLoan statement(*this, query, parameterValues, error);
    if (!statement.get()) return false;
    if (sqlite3_step(statement.get()) == SQLITE_DONE) return true;
    setDatabaseError(error, operation);
    return false;
}

std::optional<std::int64_t> APMSqliteStore::rowCountForTableWithName(const std::string& tableName,
                                                                     APMErrorOut error) {
    return rowCountForTableWithName(tableName, "", std::nullopt, error);
}

std::optional<std::int64_t> APMSqliteStore::rowCountForTableWithName(const std::string& tableName,
                                                                     const std::string& columnName,
                                                                     const std::optional<Value>& columnValue,
                                                                     APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for row count") ||
        !isOpen(error, "Row count failed. Database not open.")) {
        return std::nullopt;
    }
    const bool filtered = !columnName.empty() && columnValue;
    const auto count =
        numberForQuery("SELECT count(1) FROM " + tableName + (filtered ? " WHERE " + columnName + "=?" : ""),
                       filtered ? Values{*columnValue} : Values{}, error);
    if (!count) return std::nullopt;
    return count->intValue();
}

std::optional<std::vector<APMSqliteStore::Record>> APMSqliteStore::recordsForQuery(
    const std::string& query, const Values& parameterValues, APMErrorOut error) {
    return recordsForQuery(query, parameterValues, error, [](std::size_t, const Record&) { return true; });
}

std::optional<std::vector<APMSqliteStore::Record>> APMSqliteStore::recordsForQuery(
    const std::string& query, const Values& parameterValues, APMErrorOut error, const RecordFilter& filter) {
    if (!APMCheckCondition(!query.empty(), error, 1, "Received empty query for records for query") ||
        !APMCheckCondition(static_cast<bool>(filter), error, 1,
                           "Received empty filter for selecting records") ||
        !isOpen(error, "Query records failed. Database not open.") ||
        !APMCheckCondition(isSelectQuery(query), error, 1, "Received invalid select query")) {
        return std::nullopt;
    }
    StatementLoan statement(*this, query, parameterValues, error);
    if (!statement.get()) return std::nullopt;
    std::vector<Record> records;
    bool sawRow = false;
    int result;
    while ((result = sqlite3_step(statement.get())) == SQLITE_ROW) {
        sawRow = true;
        Record record;
        const int columns = sqlite3_column_count(statement.get());
        for (int column = 0; column < columns; ++column) {
            const char* name = sqlite3_column_name(statement.get(), column);
            if (!name) {
                log(APMLogLevel::MonitoredWarning, 34003, "Failed to get column name");
                continue;
            }
            auto value = valueAtColumn(column, statement.get());
            if (!value) {
                log(APMLogLevel::MonitoredWarning, 34004, "Value is nil for column", name);
                continue;
            }
            record.emplace(name, std::move(*value));
        }
        if (!filter(records.size(), record)) {
            result = SQLITE_DONE;
            break;
        }
        records.push_back(std::move(record));
    }
    // A step that fails part-way is an error: a shorter answer would read as the whole of it.
    if (result != SQLITE_DONE) {
        setDatabaseError(error, "query records");
        return std::nullopt;
    }
    if (sawRow && records.empty()) {
        log(APMLogLevel::MonitoredWarning, 34005, "Database contains records that were all filtered out");
    }
    return records;
}

std::optional<Value> APMSqliteStore::numberForQuery(const std::string& query, const Values& parameterValues,
                                                    APMErrorOut error) {
    if (!APMCheckCondition(!query.empty(), error, 1, "Received empty query to get numeric result") ||
        !isOpen(error, "Query numeric result failed. Database not open.")) {
        return std::nullopt;
    }
    StatementLoan statement(*this, query, parameterValues, error);
    if (!statement.get()) return std::nullopt;
    if (sqlite3_step(statement.get()) != SQLITE_ROW) {
        setDatabaseError(error, "query numeric result");
        return std::nullopt;
    }
    const auto value = valueAtColumn(0, statement.get());
    if (value && value->isNull()) return std::nullopt;
    const bool numeric = value && (value->kind() == Value::Kind::Int || value->kind() == Value::Kind::Double);
    if (!APMCheckCondition(numeric, error, 1, "Found result that was not numeric")) return std::nullopt;
    return value;
}

}  // namespace analytics
