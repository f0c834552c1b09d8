#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "analytics/monitor/apm_error_additions.h"
#include "platform/foundation/value.h"

namespace analytics {

// The library's connection to one SQLite database file. It opens the file (making its folder), checks
// its integrity and deletes and recreates it only when it is damaged; creates tables from column lists,
// adds missing columns and rebuilds a table whose column types changed, keeping every row; runs
// statements through a cache of prepared statements keyed by their SQL text; answers rows as records;
// and wraps work in exclusive transactions.
//
// Failures answer false or nothing with an error of the library's domain: code 1 for bad arguments,
// 2 for a closed database or a table that does not fit, 3 for a failed SQLite call (then with the
// operation, SQLite's code and message, and a monitor context). The store has no lock of its own: its
// owner calls it from one serial queue.
class APMSqliteStore {
public:
    // Column name to value: text, a number (a floating one is stored as REAL, any other as INTEGER),
    // data, or null.
    using Record = platform::Value::Dictionary;
    using Values = std::vector<platform::Value>;
    // (column name, type text) pairs in table order; a pair named "PRIMARY KEY" is a table constraint.
    using ColumnInfo = std::vector<std::pair<std::string, std::string>>;
    // Column name to its new type text.
    using ModifyColumnInfo = std::map<std::string, std::string>;
    // Column name to the statement that adds it.
    using AddOnColumns = std::map<std::string, std::string>;
    // Called with the number of records kept so far and the next record: false ends the scan without it.
    using RecordFilter = std::function<bool(std::size_t, const Record&)>;
    using TransactionBlock = std::function<bool()>;

    // The errors of failed SQLite calls carry the extended SQLite result code under this key.
    static const std::string& kSqliteResultCodeKey;

    // Nothing when the file cannot be opened as a sound database; a damaged file is deleted and made
    // anew once, any other failure (busy, locked, unreadable, full) leaves the file as it is.
    static std::shared_ptr<APMSqliteStore> initWithDatabasePath(const std::string& path, APMErrorOut error);
    ~APMSqliteStore();
    APMSqliteStore(const APMSqliteStore&) = delete;
    APMSqliteStore& operator=(const APMSqliteStore&) = delete;

    // Whether the error says the file is damaged: SQLite found it corrupt or not a database, or a table
    // lacks required columns or holds unknown ones that must have a value.
    static bool isDamage(const std::shared_ptr<platform::NSError>& error);

    const std::string& databasePath() const { return databasePath_; }
    sqlite3* sqliteHandle() const { return sqliteHandle_; }
    // Closes the connection, then deletes the file with its journal. The store stays closed.
    bool closeAndDeleteDatabase();

    // Schema.
    bool ensureTableWithName(const std::string& tableName, const ColumnInfo& elementaryColumnInfo,
                             const ColumnInfo& addOnColumnInfo, APMErrorOut error);
    bool ensureTableWithName(const std::string& tableName, const ColumnInfo& elementaryColumnInfo,
                             const ColumnInfo& addOnColumnInfo, const ModifyColumnInfo& modifyColumnInfo,
                             APMErrorOut error);
    bool ensureTableWithName(const std::string& tableName, const std::string& createSQL,
                             const std::vector<std::string>& requiredColumnNames,
                             const AddOnColumns& addOnColumns, APMErrorOut error);
    bool ensureSchemaOfTableWithName(const std::string& tableName, const ColumnInfo& elementaryColumnInfo,
                                     const ColumnInfo& addOnColumnInfo, APMErrorOut error);
    std::optional<bool> validateTableWithName(const std::string& tableName,
                                              const std::vector<std::string>& requiredColumnNames,
                                              const AddOnColumns& addOnColumns, APMErrorOut error);
    std::optional<bool> tableExists(const std::string& tableName, APMErrorOut error);
    bool dropTableWithName(const std::string& tableName, APMErrorOut error);
    bool renameTable(const std::string& oldName, const std::string& newName, APMErrorOut error);
    bool copyContentsFromTable(const std::string& sourceName, const std::string& destinationName,
                               APMErrorOut error);
    std::optional<std::vector<std::string>> columnsForTableWithName(const std::string& tableName,
                                                                    APMErrorOut error);
    std::optional<std::map<std::string, std::string>> columnInfoForTableWithName(const std::string& tableName,
                                                                                 APMErrorOut error);

    // Rows.
    bool upsertRecord(const Record& record, const std::string& tableName, APMErrorOut error);
    bool updateRecord(const Record& record, const std::string& tableName, const std::string& columnName,
                      const std::optional<platform::Value>& columnValue, APMErrorOut error);
    bool updateAllRecordsInTableWithName(const std::string& tableName, const std::string& columnName,
                                         const std::optional<platform::Value>& columnValue,
                                         APMErrorOut error);
    bool increaseColumn(const std::string& columnName, std::int64_t value, const std::string& tableName,
                        const std::string& condition, const Values& parameterValues, APMErrorOut error);
    bool deleteRecordFromTableWithName(const std::string& tableName, const std::string& columnName,
                                       const std::optional<platform::Value>& columnValue, APMErrorOut error);
    std::optional<std::int64_t> deleteRecordsFromTableWithName(const std::string& tableName,
                                                               const std::string& condition,
                                                               const Values& parameterValues,
                                                               APMErrorOut error);
    bool deleteAllRecordsFromTableWithName(const std::string& tableName, APMErrorOut error);
    // A value bound for one run of a statement: null, an integer, a real, or text or bytes borrowed from
    // the caller for the run.
    using BoundValue =
        std::variant<std::nullptr_t, std::int64_t, double, std::string_view, std::span<const std::uint8_t>>;
    // Runs one statement that answers no rows, prepared once and kept in the cache: for writes made
    // so often that building their record and SQL text each time would cost more than the write. The
    // values are a span and borrow what they bind, so a caller may keep them on its stack and copies
    // nothing; a parameter left without a value is null.
    bool executeStatement(const std::string& sql, std::span<const BoundValue> parameterValues, APMErrorOut error);
    std::optional<std::int64_t> rowCountForTableWithName(const std::string& tableName, APMErrorOut error);
    std::optional<std::int64_t> rowCountForTableWithName(const std::string& tableName,
                                                         const std::string& columnName,
                                                         const std::optional<platform::Value>& columnValue,
                                                         APMErrorOut error);
    // Only select queries. A failing step is an error, never a shorter answer.
    std::optional<std::vector<Record>> recordsForQuery(const std::string& query,
                                                       const Values& parameterValues, APMErrorOut error);
    std::optional<std::vector<Record>> recordsForQuery(const std::string& query,
                                                       const Values& parameterValues, APMErrorOut error,
                                                       const RecordFilter& filter);
    // The number in the first column of the first row; nothing without an error for NULL.
    std::optional<platform::Value> numberForQuery(const std::string& query, const Values& parameterValues,
                                                  APMErrorOut error);
    // Runs the block inside an exclusive transaction: committed when it answers true, rolled back when
    // it answers false or throws (the exception then reaches the caller). A failed commit is rolled
    // back too, so no transaction is left open.
    bool performTransactionWithError(APMErrorOut error, const TransactionBlock& block);

    // The statement layer beneath the operations. A statement from statementForQuery goes back through
    // cleanUpStatement: a cached one is reset for its next use, any other is finalized.
    sqlite3_stmt* prepareSQL(const std::string& sql, APMErrorOut error);
    sqlite3_stmt* statementForQuery(const std::string& query, APMErrorOut error);
    sqlite3_stmt* statementForQuery(const std::string& query, const Values& parameterValues,
                                    APMErrorOut error);
    void cleanUpStatement(sqlite3_stmt* statement, const std::string& query);
    bool bindValues(const Values& values, sqlite3_stmt* statement, APMErrorOut error);
    bool executeSQL(const std::string& sql, APMErrorOut error);
    // Steps once and finalizes; true when the statement ran to its end.
    bool executeSQLStatement(sqlite3_stmt* statement, APMErrorOut error);
    // INTEGER as a 64-bit integer, FLOAT as a double, TEXT as a string, BLOB as data, NULL as null;
    // nothing for a TEXT or BLOB without content (a zero-length blob).
    static std::optional<platform::Value> valueAtColumn(int column, sqlite3_stmt* statement);
    std::optional<std::string> lastErrorMessage() const;

private:
    // A statement from statementForQuery, handed back through cleanUpStatement when its scope ends.
    class StatementLoan {
    public:
        StatementLoan(APMSqliteStore& store, const std::string& query, const Values& parameterValues,
                      APMErrorOut error)
            : store_(store),
              query_(query),
              statement_(store.statementForQuery(query, parameterValues, error)) {}
        ~StatementLoan() { store_.cleanUpStatement(statement_, query_); }
        StatementLoan(const StatementLoan&) = delete;
        StatementLoan& operator=(const StatementLoan&) = delete;
        sqlite3_stmt* get() const { return statement_; }

    private:
        APMSqliteStore& store_;
        const std::string& query_;
        sqlite3_stmt* const statement_;
    };

    explicit APMSqliteStore(std::string databasePath);

    bool openAndValidateDatabase(APMErrorOut error);
    bool validateDatabaseWithError(APMErrorOut error);
    void closeDatabase();
    void finalizeAndClearStatements();
    // Binds one value at a 1-based index; SQLITE_MISMATCH for a value of no column type.
    // Text is copied unless `borrowText`: only when the value outlives the statement's run and reset.
    static int bindValue(sqlite3_stmt* statement, int index, const platform::Value& value,
                         bool borrowText = false);
    // Text, a number, data or null: what a column can hold.
    static bool isColumnValue(const platform::Value& value);
    // Transactions begin, end and roll back through cached statements, like every other statement.
    bool beginTransaction();
    bool endTransaction();
    bool rollbackTransaction();
    bool stepCachedStatement(const std::string& sql);
    // Runs a statement from the cache to its end; a failed step is code 3 for `operation`.
    bool runStatementForQuery(const std::string& query, const Values& parameterValues,
                              const std::string& operation, APMErrorOut error);
    // Column name and declared type of each column, with its NOT NULL flag, as "PRAGMA table_info" has them.
    struct ColumnDescription {
        std::string name;
        std::string type;
        bool notNull = false;
    };
    std::optional<std::vector<ColumnDescription>> describeTable(const std::string& tableName,
                                                                const std::string& closedText,
                                                                APMErrorOut error);
    bool rebuildTable(const std::string& tableName, const ColumnInfo& elementaryColumnInfo,
                      const ColumnInfo& addOnColumnInfo, const std::vector<ColumnDescription>& present,
                      APMErrorOut error);
    bool isOpen(APMErrorOut error, std::string_view closedText);

    std::string errorDescriptionForDatabaseOperation(const std::string& operation) const;
    std::string monitorContextForDatabaseOperation(const std::string& operation) const;
    void setDatabaseError(APMErrorOut error, const std::string& operation) const;
    void setDatabaseError(APMErrorOut error, const std::string& operation, int resultCode) const;
    void setTransactionError(APMErrorOut error, const std::string& description) const;

    sqlite3* sqliteHandle_ = nullptr;
    std::map<std::string, sqlite3_stmt*> statementCache_;
    const std::string databasePath_;
};

}  // namespace analytics
