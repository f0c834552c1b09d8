#include "platform/ensembles/ensemble_state.h"

#include <sqlite3.h>

#include "platform/foundation/console.h"
#include "platform/foundation/ns_uuid.h"

namespace platform {

namespace {

constexpr const char* kDomain = "CDEErrorDomain";
constexpr const char* kCursorKey = "changeCursor";
constexpr const char* kLogIdentityKey = "changeLogIdentity";
// A log this large after a merge is folded back: left alone it would keep the size of the largest
// merge ever made.
constexpr std::uintmax_t kLargeLogBytes = 1 << 20;

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

bool hasColumn(sqlite3* db, const char* table, const std::string& column) {
    Statement info;
    sqlite3_prepare_v2(db, (std::string("PRAGMA table_info(") + table + ")").c_str(), -1, &info.handle, nullptr);
    while (info.handle && sqlite3_step(info.handle) == SQLITE_ROW) {
        if (text(info.handle, 1) == column) return true;
    }
    return false;
}

// Closes the damaged file, sets it aside with a console line and opens a new one in its place.
sqlite3* replaceDamaged(sqlite3* db, const std::filesystem::path& file, const std::string& reason,
                        std::shared_ptr<NSError>* error) {
    sqlite3_close(db);
    const auto aside = SQLiteFileHealth::setAside(file);
    Console::print("The sync state " + file.string() + " is damaged (" + reason + "); set aside as " +
                   aside.filename().string() + ", starting over");
    return openFile(file, error);
}

}  // namespace

std::unique_ptr<EnsembleState> EnsembleState::open(const std::filesystem::path& file,
                                                   std::shared_ptr<NSError>* error, SQLiteFileHealth::Depth depth) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    const bool existed = std::filesystem::exists(file, ec);
    sqlite3* db = openFile(file, error);
    if (!db) return nullptr;
    std::string reason;
    const bool damaged = existed && SQLiteFileHealth::check(db, reason, depth) == SQLiteFileHealth::Health::Damaged;
    if (damaged && !(db = replaceDamaged(db, file, reason, error))) return nullptr;
    // A file made just now has no page to check.
    const bool checked = !existed || damaged || depth == SQLiteFileHealth::Depth::Whole;
    std::unique_ptr<EnsembleState> state(new EnsembleState(file, db, checked));
    if (!state->start(error)) return nullptr;
    return state;
}

bool EnsembleState::checkEveryPage(std::shared_ptr<NSError>* error) {
    if (checked_) return true;
    checked_ = true;
    std::string reason;
    if (SQLiteFileHealth::check(db_, reason) != SQLiteFileHealth::Health::Damaged) return true;
    sqlite3_finalize(lookup_);
    lookup_ = nullptr;
    db_ = replaceDamaged(db_, file_, reason, error);
    return db_ && start(error);
}

bool EnsembleState::start(std::shared_ptr<NSError>* error) {
    sqlite3_busy_timeout(db_, 5000);
    // Revisions are looked up by record only, so new files keep them in the key's own tree.
    if (!execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                 "CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT);"
                 "CREATE TABLE IF NOT EXISTS revisions (record TEXT PRIMARY KEY, hash INTEGER, time REAL, "
                 "device TEXT, row INTEGER) WITHOUT ROWID;"
                 "CREATE TABLE IF NOT EXISTS imported (file TEXT PRIMARY KEY);",
                 error))
        return false;
    // A file written before rows were kept gains them at its next full merge.
    if (!hasColumn(db_, "revisions", "row") && !execute("ALTER TABLE revisions ADD COLUMN row INTEGER", error))
        return false;
    if (auto device = meta("device")) {
        device_ = *device;
    } else {
        device_ = NSUUID::UUID().UUIDString();
        if (!setMeta("device", device_, error)) return false;
    }
    return true;
}

EnsembleState::~EnsembleState() {
    sqlite3_finalize(lookup_);
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
    if (known && !execute(std::string("DELETE FROM revisions; DELETE FROM imported; DELETE FROM meta WHERE key IN ('") +
                              kCursorKey + "', '" + kLogIdentityKey + "');",
                          error)) {
        execute("ROLLBACK", nullptr);
        return false;
    }
    if (!setMeta("store", storeIdentifier, error) || !execute("COMMIT", error)) {
        execute("ROLLBACK", nullptr);
        return false;
    }
    return true;
}

// In one read, which takes the file's lock once rather than once a record.
std::vector<std::optional<KnownRecord>> EnsembleState::records(const std::vector<std::string>& keys) const {
    std::vector<std::optional<KnownRecord>> found(keys.size());
    if (!lookup_ && sqlite3_prepare_v2(db_, "SELECT hash, time, device, row FROM revisions WHERE record = ?", -1,
                                       &lookup_, nullptr) != SQLITE_OK)
        return found;
    sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        sqlite3_bind_text(lookup_, 1, keys[i].data(), static_cast<int>(keys[i].size()), SQLITE_TRANSIENT);
        if (sqlite3_step(lookup_) == SQLITE_ROW) {
            found[i] = KnownRecord{RecordRevision{static_cast<std::uint64_t>(sqlite3_column_int64(lookup_, 0)),
                                                  sqlite3_column_double(lookup_, 1), text(lookup_, 2)},
                                   sqlite3_column_int64(lookup_, 3)};
        }
        sqlite3_reset(lookup_);
    }
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    return found;
}

std::set<std::string> EnsembleState::importedFiles() const {
    std::set<std::string> result;
    Statement statement;
    sqlite3_prepare_v2(db_, "SELECT file FROM imported", -1, &statement.handle, nullptr);
    while (sqlite3_step(statement.handle) == SQLITE_ROW) result.insert(text(statement.handle, 0));
    return result;
}

std::optional<ChangeLogPosition> EnsembleState::changeLogPosition() const {
    const auto value = meta(kCursorKey);
    if (!value) return std::nullopt;
    try {
        return ChangeLogPosition{std::stoll(*value), meta(kLogIdentityKey).value_or("")};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool EnsembleState::commit(const std::map<std::string, KnownRecord>& records,
                           const std::vector<std::string>& importedFiles,
                           const std::vector<std::string>& forgottenFiles,
                           const std::optional<ChangeLogPosition>& position, std::shared_ptr<NSError>* error) {
    if (!execute("BEGIN IMMEDIATE", error)) return false;
    Statement revision, imported, forgotten;
    sqlite3_prepare_v2(db_,
                       "INSERT OR REPLACE INTO revisions (record, hash, time, device, row) VALUES (?, ?, ?, ?, ?)",
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
    for (auto it = records.begin(); ok && it != records.end(); ++it) {
        const auto& [hash, time, device] = it->second.revision;
        sqlite3_reset(revision.handle);
        sqlite3_bind_text(revision.handle, 1, it->first.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(revision.handle, 2, static_cast<sqlite3_int64>(hash));
        sqlite3_bind_double(revision.handle, 3, time);
        sqlite3_bind_text(revision.handle, 4, device.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(revision.handle, 5, it->second.row);
        ok = sqlite3_step(revision.handle) == SQLITE_DONE;
    }
    for (auto it = importedFiles.begin(); ok && it != importedFiles.end(); ++it) {
        sqlite3_reset(imported.handle);
        sqlite3_bind_text(imported.handle, 1, it->c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(imported.handle) == SQLITE_DONE;
    }
    if (ok && position) {
        ok = setMeta(kCursorKey, std::to_string(position->cursor), error) &&
             setMeta(kLogIdentityKey, position->identity, error);
    }
    if (ok && execute("COMMIT", error)) return true;
    if (!ok && !(error && *error)) fail(error, 2, sqlite3_errmsg(db_));
    execute("ROLLBACK", nullptr);
    return false;
}

void EnsembleState::foldLog() {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file_.string() + "-wal", ec);
    if (!ec && size > kLargeLogBytes) sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
}

}  // namespace platform
