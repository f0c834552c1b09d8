#include "platform/ensembles/ensemble_state.h"

#include <sqlite3.h>

#include "platform/coredata/sqlite_file_health.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_uuid.h"

namespace platform {

namespace {

constexpr const char* kDomain = "CDEErrorDomain";

struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

bool fail(std::shared_ptr<NSError>* error, std::int64_t code, const std::string& reason) {
    if (error) *error = NSError::errorWithDomain(kDomain, code, {{NSLocalizedDescriptionKey, reason}});
    return false;
}

std::string text(sqlite3_stmt* statement, int column) {
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return value ? value : "";
}

sqlite3* openFile(const std::filesystem::path& file, std::shared_ptr<NSError>* error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        fail(error, 1, file.string() + ": " + (db ? sqlite3_errmsg(db) : "cannot open"));
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

}  // namespace

std::unique_ptr<EnsembleState> EnsembleState::open(const std::filesystem::path& file,
                                                   std::shared_ptr<NSError>* error) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    const bool existed = std::filesystem::exists(file, ec);
    sqlite3* db = openFile(file, error);
    if (!db) return nullptr;
    // The bookkeeping can be rebuilt from the store and the change files, so a damaged file is set
    // aside and the ensemble starts over; otherwise no merge could ever run again.
    std::string reason;
    if (existed && SQLiteFileHealth::check(db, reason) == SQLiteFileHealth::Health::Damaged) {
        sqlite3_close(db);
        const auto aside = SQLiteFileHealth::setAside(file);
        Console::print("The sync state " + file.string() + " is damaged (" + reason + "); set aside as " +
                       aside.filename().string() + ", starting over");
        db = openFile(file, error);
        if (!db) return nullptr;
    }
    sqlite3_busy_timeout(db, 5000);
    std::unique_ptr<EnsembleState> state(new EnsembleState(db));
    if (!state->execute(
            "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
            "CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT);"
            "CREATE TABLE IF NOT EXISTS revisions (record TEXT PRIMARY KEY, hash INTEGER, time REAL, "
            "device TEXT);"
            "CREATE TABLE IF NOT EXISTS imported (file TEXT PRIMARY KEY);",
            error))
        return nullptr;
    if (auto device = state->meta("device")) {
        state->device_ = *device;
    } else {
        state->device_ = NSUUID::UUID().UUIDString();
        if (!state->setMeta("device", state->device_, error)) return nullptr;
    }
    return state;
}

EnsembleState::~EnsembleState() {
    sqlite3_close(db_);
}

bool EnsembleState::execute(const std::string& sql, std::shared_ptr<NSError>* error) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
    fail(error, 2, message ? message : "state update failed");
    sqlite3_free(message);
    return false;
}

std::optional<std::string> EnsembleState::meta(const std::string& key) const {
    Statement statement;
    sqlite3_prepare_v2(db_, "SELECT value FROM meta WHERE key = ?", -1, &statement.handle, nullptr);
    sqlite3_bind_text(statement.handle, 1, key.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(statement.handle) != SQLITE_ROW) return std::nullopt;
    return text(statement.handle, 0);
}

bool EnsembleState::setMeta(const std::string& key, const std::string& value,
                            std::shared_ptr<NSError>* error) {
    Statement statement;
    sqlite3_prepare_v2(db_, "INSERT OR REPLACE INTO meta (key, value) VALUES (?, ?)", -1, &statement.handle,
                       nullptr);
    sqlite3_bind_text(statement.handle, 1, key.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(statement.handle, 2, value.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(statement.handle) == SQLITE_DONE) return true;
    return fail(error, 2, sqlite3_errmsg(db_));
}

bool EnsembleState::isLeeched() const {
    return meta("leeched").value_or("0") == "1";
}

bool EnsembleState::setLeeched(bool leeched, std::shared_ptr<NSError>* error) {
    return setMeta("leeched", leeched ? "1" : "0", error);
}

bool EnsembleState::adoptStore(const std::string& storeIdentifier, std::shared_ptr<NSError>* error) {
    const auto known = meta("store");
    if (known == storeIdentifier) return true;
    if (!execute("BEGIN IMMEDIATE", error)) return false;
    if (known && (!execute("DELETE FROM revisions; DELETE FROM imported;", error))) {
        execute("ROLLBACK", nullptr);
        return false;
    }
    if (!setMeta("store", storeIdentifier, error) || !execute("COMMIT", error)) {
        execute("ROLLBACK", nullptr);
        return false;
    }
    return true;
}

std::map<std::string, RecordRevision> EnsembleState::revisions() const {
    std::map<std::string, RecordRevision> result;
    Statement statement;
    sqlite3_prepare_v2(db_, "SELECT record, hash, time, device FROM revisions", -1, &statement.handle,
                       nullptr);
    while (sqlite3_step(statement.handle) == SQLITE_ROW) {
        result[text(statement.handle, 0)] =
            RecordRevision{static_cast<std::uint64_t>(sqlite3_column_int64(statement.handle, 1)),
                           sqlite3_column_double(statement.handle, 2), text(statement.handle, 3)};
    }
    return result;
}

std::set<std::string> EnsembleState::importedFiles() const {
    std::set<std::string> result;
    Statement statement;
    sqlite3_prepare_v2(db_, "SELECT file FROM imported", -1, &statement.handle, nullptr);
    while (sqlite3_step(statement.handle) == SQLITE_ROW) result.insert(text(statement.handle, 0));
    return result;
}

bool EnsembleState::commit(const std::map<std::string, RecordRevision>& revisions,
                           const std::vector<std::string>& importedFiles,
                           const std::vector<std::string>& forgottenFiles, std::shared_ptr<NSError>* error) {
    if (!execute("BEGIN IMMEDIATE", error)) return false;
    Statement revision, imported, forgotten;
    sqlite3_prepare_v2(db_,
                       "INSERT OR REPLACE INTO revisions (record, hash, time, device) VALUES (?, ?, ?, ?)",
                       -1, &revision.handle, nullptr);
    sqlite3_prepare_v2(db_, "INSERT OR IGNORE INTO imported (file) VALUES (?)", -1, &imported.handle,
                       nullptr);
    sqlite3_prepare_v2(db_, "DELETE FROM imported WHERE file = ?", -1, &forgotten.handle, nullptr);
    bool ok = revision.handle && imported.handle && forgotten.handle;
    for (auto it = forgottenFiles.begin(); ok && it != forgottenFiles.end(); ++it) {
        sqlite3_reset(forgotten.handle);
        sqlite3_bind_text(forgotten.handle, 1, it->c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(forgotten.handle) == SQLITE_DONE;
    }
    for (auto it = revisions.begin(); ok && it != revisions.end(); ++it) {
        sqlite3_reset(revision.handle);
        sqlite3_bind_text(revision.handle, 1, it->first.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(revision.handle, 2, static_cast<sqlite3_int64>(it->second.hash));
        sqlite3_bind_double(revision.handle, 3, it->second.time);
        sqlite3_bind_text(revision.handle, 4, it->second.device.c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(revision.handle) == SQLITE_DONE;
    }
    for (auto it = importedFiles.begin(); ok && it != importedFiles.end(); ++it) {
        sqlite3_reset(imported.handle);
        sqlite3_bind_text(imported.handle, 1, it->c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(imported.handle) == SQLITE_DONE;
    }
    if (ok && execute("COMMIT", error)) return true;
    if (!ok) fail(error, 2, sqlite3_errmsg(db_));
    execute("ROLLBACK", nullptr);
    return false;
}

}  // namespace platform
