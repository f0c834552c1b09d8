// The store's tables: creation, migration by added columns, validation and the rebuild after a type change.
#include <set>

#include "analytics/storage/apm_sqlite_store.h"

namespace analytics {

namespace {

constexpr const char* kTableConstraint = "PRIMARY KEY";

bool isConstraint(const std::pair<std::string, std::string>& pair) {
    return pair.first == kTableConstraint;
}

std::string firstWord(const std::string& text) {
    return text.substr(0, text.find(' '));
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

bool APMSqliteStore::ensureTableWithName(const std::string& tableName, const ColumnInfo& elementaryColumnInfo,
                                         const ColumnInfo& addOnColumnInfo, APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for ensure table") ||
        !APMCheckCondition(!elementaryColumnInfo.empty(), error, 1,
                           "Received empty elementary column info for ensure table")) {
        return false;
    }
    std::string createSQL = "CREATE TABLE IF NOT EXISTS " + tableName + " ( ";
    std::vector<std::string> requiredColumnNames;
    for (const auto& pair : elementaryColumnInfo) {
        createSQL += pair.first + " " + pair.second + ", ";
        if (!isConstraint(pair)) requiredColumnNames.push_back(pair.first);
    }
    createSQL.replace(createSQL.size() - 2, 2, ");");
    AddOnColumns addOnColumns;
    for (const auto& pair : addOnColumnInfo) {
        if (pair.first.empty() || isConstraint(pair)) continue;
        addOnColumns[pair.first] =
            "ALTER TABLE " + tableName + " ADD COLUMN " + pair.first + " " + pair.second;
    }
    return ensureTableWithName(tableName, createSQL, requiredColumnNames, addOnColumns, error);
}

bool APMSqliteStore::ensureTableWithName(const std::string& tableName, const std::string& createSQL,
                                         const std::vector<std::string>& requiredColumnNames,
                                         const AddOnColumns& addOnColumns, APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for ensure table") ||
        !APMCheckCondition(!requiredColumnNames.empty(), error, 1,
                           "Received no table columns for ensure table") ||
        !APMCheckCondition(!createSQL.empty(), error, 1,
                           "Received empty create statement for ensure table") ||
        !isOpen(error, "Ensure table failed. Database not open.")) {
        return false;
    }
    const auto exists = tableExists(tableName, error);
    if (!exists || (!*exists && !executeSQL(createSQL, error))) return false;
    return validateTableWithName(tableName, requiredColumnNames, addOnColumns, error).value_or(false);
}

bool APMSqliteStore::ensureTableWithName(const std::string& tableName, const ColumnInfo& elementaryColumnInfo,
                                         const ColumnInfo& addOnColumnInfo,
                                         const ModifyColumnInfo& modifyColumnInfo, APMErrorOut error) {
    if (!ensureTableWithName(tableName, elementaryColumnInfo, addOnColumnInfo, error)) return false;
    if (modifyColumnInfo.empty()) return true;
    // The table constraint stays in the lists: the rebuilt table keeps its key.
    auto retyped = [&](ColumnInfo columns) {
        for (auto& [name, type] : columns) {
            const auto found = modifyColumnInfo.find(name);
            if (found != modifyColumnInfo.end()) type = found->second;
        }
        return columns;
    };
    return ensureSchemaOfTableWithName(tableName, retyped(elementaryColumnInfo), retyped(addOnColumnInfo),
                                       error);
}

bool APMSqliteStore::ensureSchemaOfTableWithName(const std::string& tableName,
                                                 const ColumnInfo& elementaryColumnInfo,
                                                 const ColumnInfo& addOnColumnInfo, APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1,
                           "Received empty table name for ensure table schema") ||
        !APMCheckCondition(!elementaryColumnInfo.empty(), error, 1,
                           "Received empty column info for ensure table schema")) {
        return false;
    }
    const auto present = describeTable(tableName, "Get table column info failed. Database not open.", error);
    if (!present) return false;
    if (!APMCheckCondition(!present->empty(), error, 2, "Table does not exist for ensure table schema"))
        return false;

    std::map<std::string, std::string> expected;
    for (const auto& pair : elementaryColumnInfo) {
        if (!isConstraint(pair) && !pair.first.empty() && !pair.second.empty())
            expected[pair.first] = firstWord(pair.second);
    }
    for (const auto& [name, type] : addOnColumnInfo) {
        if (!name.empty() && !type.empty()) expected[name] = type;
    }
    // Only the columns this version knows are compared: an unknown nullable column is accepted by
    // validation and must not set off a rebuild by itself.
    std::map<std::string, std::string> declared;
    for (const auto& column : *present) {
        if (expected.count(column.name)) declared[column.name] = column.type;
    }
    if (declared == expected) return true;
    return rebuildTable(tableName, elementaryColumnInfo, addOnColumnInfo, *present, error);
}

bool APMSqliteStore::rebuildTable(const std::string& tableName, const ColumnInfo& elementaryColumnInfo,
                                  const ColumnInfo& addOnColumnInfo,
                                  const std::vector<ColumnDescription>& present, APMErrorOut error) {
    // Columns this version does not know move into the new table too, so every value of every row stays.
    std::set<std::string> known;
    for (const auto& pair : elementaryColumnInfo) known.insert(pair.first);
    for (const auto& pair : addOnColumnInfo) known.insert(pair.first);
    ColumnInfo carried = addOnColumnInfo;
    for (const auto& column : present) {
        if (!known.count(column.name)) carried.emplace_back(column.name, column.type);
    }
    const std::string oldName = tableName + "_old";
    return performTransactionWithError(error, [&] {
        return renameTable(tableName, oldName, error) &&
               ensureTableWithName(tableName, elementaryColumnInfo, carried, error) &&
               copyContentsFromTable(oldName, tableName, error) && dropTableWithName(oldName, error);
    });
}

std::optional<bool> APMSqliteStore::validateTableWithName(const std::string& tableName,
                                                          const std::vector<std::string>& requiredColumnNames,
                                                          const AddOnColumns& addOnColumns,
                                                          APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for validate table") ||
        !APMCheckCondition(!requiredColumnNames.empty(), error, 1,
                           "Received no table columns for validate table")) {
        return false;
    }
    const auto columns = describeTable(tableName, "Validate table failed. Database not open.", error);
    if (!columns || columns->empty()) return std::nullopt;

    std::map<std::string, bool> unknown;  // column name to its NOT NULL flag
    for (const auto& column : *columns) unknown[column.name] = column.notNull;
    for (const auto& name : requiredColumnNames) {
        if (!APMCheckCondition(unknown.erase(name) == 1, error, 2, "Table is missing required columns"))
            return false;
    }
    for (const auto& [name, statement] : addOnColumns) {
        if (unknown.erase(name) == 0 && !executeSQL(statement, error)) return false;
    }
    for (const auto& [name, notNull] : unknown) {
        if (!APMCheckCondition(!notNull, error, 2, "Table contains unknown non-optional columns"))
            return false;
    }
    return true;
}

std::optional<bool> APMSqliteStore::tableExists(const std::string& tableName, APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for table exists") ||
        !isOpen(error, "Table exists failed. Database not open.")) {
        return std::nullopt;
    }
    const std::string query = "SELECT name FROM sqlite_master WHERE type='table' AND name=?";
    const Values name{platform::Value(tableName)};
    StatementLoan statement(*this, query, name, error);
    if (!statement.get()) return std::nullopt;
    const int result = sqlite3_step(statement.get());
    if (result == SQLITE_ROW || result == SQLITE_DONE) return result == SQLITE_ROW;
    setDatabaseError(error, "query records");
    return std::nullopt;
}

bool APMSqliteStore::dropTableWithName(const std::string& tableName, APMErrorOut error) {
    return APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for drop table") &&
           executeSQL("DROP TABLE " + tableName, error);
}

bool APMSqliteStore::renameTable(const std::string& oldName, const std::string& newName, APMErrorOut error) {
    return APMCheckCondition(!oldName.empty(), error, 1, "Received empty old name for rename table") &&
           APMCheckCondition(!newName.empty(), error, 1, "Received empty new name for rename table") &&
           APMCheckCondition(oldName != newName, error, 1, "Received duplicate name for rename table") &&
           executeSQL("ALTER TABLE " + oldName + " RENAME TO " + newName, error);
}

bool APMSqliteStore::copyContentsFromTable(const std::string& sourceName, const std::string& destinationName,
                                           APMErrorOut error) {
    if (!APMCheckCondition(!sourceName.empty(), error, 1, "Received empty source name for copy table") ||
        !APMCheckCondition(!destinationName.empty(), error, 1,
                           "Received empty destination name for copy table") ||
        !APMCheckCondition(sourceName != destinationName, error, 1,
                           "Received duplicate name for copy table")) {
        return false;
    }
    // Columns are matched by name, not position: the tables may differ in order and in number.
    const auto source = columnsForTableWithName(sourceName, error);
    const auto destination = columnsForTableWithName(destinationName, error);
    if (!source || !destination) return false;
    const std::set<std::string> destinationColumns(destination->begin(), destination->end());
    std::vector<std::string> shared;
    for (const auto& column : *source) {
        if (destinationColumns.count(column)) shared.push_back(column);
    }
    if (shared.empty())
        return executeSQL("INSERT INTO " + destinationName + " SELECT * FROM " + sourceName, error);
    const std::string columns = joined(shared);
    return executeSQL(
        "INSERT INTO " + destinationName + " (" + columns + ") SELECT " + columns + " FROM " + sourceName,
        error);
}

std::optional<std::vector<std::string>> APMSqliteStore::columnsForTableWithName(const std::string& tableName,
                                                                                APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for get columns")) {
        return std::nullopt;
    }
    const auto columns = describeTable(tableName, "Get table columns failed. Database not open.", error);
    if (!columns) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& column : *columns) names.push_back(column.name);
    return names;
}

std::optional<std::map<std::string, std::string>> APMSqliteStore::columnInfoForTableWithName(
    const std::string& tableName, APMErrorOut error) {
    if (!APMCheckCondition(!tableName.empty(), error, 1, "Received empty table name for column info")) {
        return std::nullopt;
    }
    const auto columns = describeTable(tableName, "Get table column info failed. Database not open.", error);
    if (!columns) return std::nullopt;
    std::map<std::string, std::string> types;
    for (const auto& column : *columns) types[column.name] = column.type;
    return types;
}

std::optional<std::vector<APMSqliteStore::ColumnDescription>> APMSqliteStore::describeTable(
    const std::string& tableName, const std::string& closedText, APMErrorOut error) {
    if (!isOpen(error, closedText)) return std::nullopt;
    const std::string query = "PRAGMA table_info(" + tableName + ")";
    StatementLoan statement(*this, query, {}, error);
    if (!statement.get()) return std::nullopt;
    std::vector<ColumnDescription> columns;
    int result;
    while ((result = sqlite3_step(statement.get())) == SQLITE_ROW) {
        const auto name = valueAtColumn(1, statement.get());
        const auto type = valueAtColumn(2, statement.get());
        if (!name || !name->stringValue() || name->stringValue()->empty()) continue;
        columns.push_back({*name->stringValue(), type && type->stringValue() ? *type->stringValue() : "",
                           sqlite3_column_int(statement.get(), 3) != 0});
    }
    if (result != SQLITE_DONE) {
        setDatabaseError(error, "query records");
        return std::nullopt;
    }
    return columns;
}

}  // namespace analytics
