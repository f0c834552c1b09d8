#include "platform/coredata/sqlite_change_log.h"

#include <sqlite3.h>

namespace platform {

namespace {

struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

bool run(sqlite3* db, const std::string& sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
    error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

bool prepare(sqlite3* db, const char* sql, Statement& statement, std::string& error) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement.handle, nullptr) == SQLITE_OK) return true;
    error = sqlite3_errmsg(db);
    return false;
}

}  // namespace

bool SQLiteChangeLog::install(sqlite3* db, const NSManagedObjectModel& model, std::string& error) {
    // AUTOINCREMENT: a row changed again gets a number above every earlier one, even when its own
    // entry was the latest.
    if (!run(db,
             "CREATE TABLE IF NOT EXISTS _changes (sequence INTEGER PRIMARY KEY AUTOINCREMENT, "
             "entity TEXT NOT NULL, row INTEGER NOT NULL, UNIQUE (entity, row))",
             error))
        return false;
    for (const auto& entity : model.entities()) {
        for (const std::string event : {"INSERT", "UPDATE"}) {
            const auto& name = entity->name();
            const auto sql = "CREATE TRIGGER IF NOT EXISTS \"_changes_" + name + "_" + event + "\" AFTER " + event +
                             " ON \"" + name + "\" BEGIN INSERT OR REPLACE INTO _changes (entity, row) VALUES ('" +
                             name + "', new._pk); END";
            if (!run(db, sql, error)) return false;
        }
    }
    return true;
}

std::optional<std::vector<SQLiteChangeLog::Entry>> SQLiteChangeLog::read(sqlite3* db, std::int64_t afterSequence,
                                                                         std::size_t limit, std::string& error) {
    Statement statement;
    if (!prepare(db, "SELECT sequence, entity, row FROM _changes WHERE sequence > ? ORDER BY sequence LIMIT ?",
                 statement, error))
        return std::nullopt;
    sqlite3_bind_int64(statement.handle, 1, afterSequence);
    sqlite3_bind_int64(statement.handle, 2, static_cast<sqlite3_int64>(limit));
    std::vector<Entry> entries;
    int rc;
    while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) {
        const auto* entity = reinterpret_cast<const char*>(sqlite3_column_text(statement.handle, 1));
        entries.push_back({sqlite3_column_int64(statement.handle, 0), entity ? entity : "",
                           sqlite3_column_int64(statement.handle, 2)});
    }
    if (rc != SQLITE_DONE) {
        error = sqlite3_errmsg(db);
        return std::nullopt;
    }
    return entries;
}

std::optional<SQLiteChangeLog::Span> SQLiteChangeLog::span(sqlite3* db, std::string& error) {
    // The latest number ever given stays after its entry is dropped: AUTOINCREMENT keeps it.
    Statement statement;
    if (!prepare(db,
                 "SELECT coalesce((SELECT value FROM _metadata WHERE key = 'changes_forgotten_through'), 0), "
                 "coalesce((SELECT seq FROM sqlite_sequence WHERE name = '_changes'), 0)",
                 statement, error))
        return std::nullopt;
    if (sqlite3_step(statement.handle) != SQLITE_ROW) {
        error = sqlite3_errmsg(db);
        return std::nullopt;
    }
    return Span{sqlite3_column_int64(statement.handle, 0), sqlite3_column_int64(statement.handle, 1)};
}

bool SQLiteChangeLog::forgetThrough(sqlite3* db, std::int64_t sequence, std::string& error) {
    const auto number = std::to_string(sequence);
    if (run(db,
            "SAVEPOINT forget; DELETE FROM _changes WHERE sequence <= " + number +
                "; INSERT OR REPLACE INTO _metadata (key, value) VALUES ('changes_forgotten_through', " + number +
                "); RELEASE forget;",
            error))
        return true;
    sqlite3_exec(db, "ROLLBACK TO forget; RELEASE forget;", nullptr, nullptr, nullptr);
    return false;
}

}  // namespace platform
