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

// Made in SQL, so that a trigger can make one whichever program edits the file.
constexpr const char* kNewIdentity =
    "INSERT OR REPLACE INTO _metadata (key, value) VALUES ('changes_identity', lower(hex(randomblob(16))))";
constexpr const char* kForgottenThrough =
    "coalesce((SELECT value FROM _metadata WHERE key = 'changes_forgotten_through'), 0)";

// The first value of a query of one row; none when it gives no row.
std::optional<std::string> single(sqlite3* db, const char* sql, std::string& error) {
    Statement statement;
    if (!prepare(db, sql, statement, error)) return std::nullopt;
    if (sqlite3_step(statement.handle) != SQLITE_ROW) return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.handle, 0));
    return text ? text : "";
}

}  // namespace

bool SQLiteChangeLog::install(sqlite3* db, const NSManagedObjectModel& model, std::string& error) {
    std::string ignored;
    const bool existed = single(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = '_changes'", ignored)
                             .has_value();
    // AUTOINCREMENT: a row changed again gets a number above every earlier one, even when its own
    // entry was the latest.
    if (!run(db,
             "CREATE TABLE IF NOT EXISTS _changes (sequence INTEGER PRIMARY KEY AUTOINCREMENT, "
             "entity TEXT NOT NULL, row INTEGER NOT NULL, UNIQUE (entity, row))",
             error))
        return false;
    // A save that pauses the log (the sync's own import) leaves no entry; a row's older entry stays.
    // A pause left in a file by another program would silence the log for good.
    if (!run(db, "DELETE FROM _metadata WHERE key = 'changes_paused'", error)) return false;
    for (const auto& entity : model.entities()) {
        for (const std::string event : {"INSERT", "UPDATE"}) {
            const auto& name = entity->name();
            const auto trigger = "\"_changes_" + name + "_" + event + "\"";
            const auto sql = "CREATE TRIGGER " + trigger + " AFTER " + event + " ON \"" + name +
                             "\" WHEN NOT EXISTS (SELECT 1 FROM _metadata WHERE key = 'changes_paused') "
                             "BEGIN INSERT OR REPLACE INTO _changes (entity, row) VALUES ('" +
                             name + "', new._pk); END";
            // Files made before the pause existed have the trigger without it.
            const auto stored = single(
                db, ("SELECT sql FROM sqlite_master WHERE type = 'trigger' AND name = '_changes_" + name + "_" + event + "'")
                        .c_str(),
                ignored);
            if (stored == sql) continue;
            if (!run(db, "DROP TRIGGER IF EXISTS " + trigger + "; " + sql, error)) return false;
        }
    }
    // Edits by hand: an entry numbered at or below what was forgotten means the numbers were set back or
    // the log was dropped and made again; an entry dropped before it was forgotten, or renumbered, means
    // the log was cut. A reader's cursor then says nothing of what it took, so the log becomes another.
    // (Our own inserts replace a row's older entry without firing delete triggers.)
    const std::string renew = std::string(" BEGIN ") + kNewIdentity + "; END";
    if (!run(db,
             std::string("CREATE TRIGGER IF NOT EXISTS _changes_renumbered AFTER INSERT ON _changes WHEN new.sequence <= ") +
                 kForgottenThrough + renew + ";" +
                 "CREATE TRIGGER IF NOT EXISTS _changes_cut AFTER DELETE ON _changes WHEN old.sequence > " +
                 kForgottenThrough + renew + ";" + "CREATE TRIGGER IF NOT EXISTS _changes_edited AFTER UPDATE ON _changes" +
                 renew,
             error))
        return false;
    // A log made just now is a new one, whatever a reader kept of an earlier one.
    if (!existed || !single(db, "SELECT value FROM _metadata WHERE key = 'changes_identity'", ignored))
        return run(db, kNewIdentity, error);
    return true;
}

bool SQLiteChangeLog::pause(sqlite3* db, std::string& error) {
    return run(db, "INSERT OR REPLACE INTO _metadata (key, value) VALUES ('changes_paused', 1)", error);
}

bool SQLiteChangeLog::resume(sqlite3* db, std::string& error) {
    return run(db, "DELETE FROM _metadata WHERE key = 'changes_paused'", error);
}

std::optional<std::vector<SQLiteChangeLog::Entry>> SQLiteChangeLog::read(sqlite3* db, std::int64_t afterSequence,
                                                                         std::int64_t throughSequence,
                                                                         std::size_t limit, std::string& error) {
    Statement statement;
    if (!prepare(db,
                 "SELECT sequence, entity, row FROM _changes WHERE sequence > ? AND sequence <= ? "
                 "ORDER BY sequence LIMIT ?",
                 statement, error))
        return std::nullopt;
    sqlite3_bind_int64(statement.handle, 1, afterSequence);
    sqlite3_bind_int64(statement.handle, 2, throughSequence);
    sqlite3_bind_int64(statement.handle, 3, static_cast<sqlite3_int64>(limit));
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

std::optional<std::vector<std::int64_t>> SQLiteChangeLog::rowsNamed(sqlite3* db, const std::string& entity,
                                                                     std::int64_t throughSequence, std::string& error) {
    Statement statement;
    if (!prepare(db, "SELECT row FROM _changes WHERE entity = ? AND sequence <= ? ORDER BY row", statement, error))
        return std::nullopt;
    sqlite3_bind_text(statement.handle, 1, entity.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(statement.handle, 2, throughSequence);
    std::vector<std::int64_t> rows;
    int rc;
    while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) rows.push_back(sqlite3_column_int64(statement.handle, 0));
    if (rc != SQLITE_DONE) {
        error = sqlite3_errmsg(db);
        return std::nullopt;
    }
    return rows;
}

std::optional<SQLiteChangeLog::Span> SQLiteChangeLog::span(sqlite3* db, std::string& error) {
    // The latest number ever given stays after its entry is dropped: AUTOINCREMENT keeps it.
    Statement statement;
    if (!prepare(db,
                 "SELECT coalesce((SELECT value FROM _metadata WHERE key = 'changes_forgotten_through'), 0), "
                 "coalesce((SELECT seq FROM sqlite_sequence WHERE name = '_changes'), 0), "
                 "coalesce((SELECT value FROM _metadata WHERE key = 'changes_identity'), '')",
                 statement, error))
        return std::nullopt;
    if (sqlite3_step(statement.handle) != SQLITE_ROW) {
        error = sqlite3_errmsg(db);
        return std::nullopt;
    }
    const auto* identity = reinterpret_cast<const char*>(sqlite3_column_text(statement.handle, 2));
    return Span{sqlite3_column_int64(statement.handle, 0), sqlite3_column_int64(statement.handle, 1),
                identity ? identity : ""};
}

std::optional<std::string> SQLiteChangeLog::forgetThrough(sqlite3* db, std::int64_t sequence, std::string& error) {
    const auto number = std::to_string(sequence);
    // The mark first, so that dropping what it covers reads as forgetting, not as a cut.
    if (run(db,
            "SAVEPOINT forget; INSERT OR REPLACE INTO _metadata (key, value) VALUES ('changes_forgotten_through', " +
                number + "); DELETE FROM _changes WHERE sequence <= " + number + "; " + kNewIdentity + ";",
            error)) {
        auto identity = single(db, "SELECT value FROM _metadata WHERE key = 'changes_identity'", error);
        if (identity && run(db, "RELEASE forget", error)) return identity;
    }
    sqlite3_exec(db, "ROLLBACK TO forget; RELEASE forget;", nullptr, nullptr, nullptr);
    return std::nullopt;
}

}  // namespace platform
