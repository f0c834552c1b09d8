#include "platform/coredata/sqlite_store.h"

#include <sqlite3.h>

#include <cmath>
#include <set>
#include <string_view>
#include <system_error>

#include "platform/coredata/launch_gate.h"
#include "platform/coredata/sqlite_change_log.h"
#include "platform/coredata/sqlite_file_check.h"
#include "platform/coredata/sqlite_file_health.h"
#include "platform/foundation/console.h"
#include "platform/foundation/ns_uuid.h"
#include "platform/foundation/saturating_cast.h"

namespace platform {

namespace {

constexpr const char* kDomain = "NSSQLiteErrorDomain";

bool fail(std::shared_ptr<NSError>* error, std::int64_t code, const std::string& reason) {
    if (error) *error = NSError::errorWithDomain(kDomain, code, {{NSLocalizedDescriptionKey, reason}});
    return false;
}

const char* columnType(NSAttributeType type) {
    switch (type) {
        case NSAttributeType::Integer:
            return "INTEGER";
        case NSAttributeType::Double:
            return "REAL";
        case NSAttributeType::String:
            return "TEXT";
        case NSAttributeType::Date:
            return "TIMESTAMP";
    }
    return "TEXT";
}

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

// Binds a value as the attribute's type; a value of another kind that cannot be read as it is NULL.
int bind(sqlite3_stmt* statement, int index, NSAttributeType type, const Value& value) {
    switch (type) {
        case NSAttributeType::Integer:
            if (auto i = value.intValue()) return sqlite3_bind_int64(statement, index, *i);
            if (auto b = value.boolValue()) return sqlite3_bind_int64(statement, index, *b ? 1 : 0);
            if (auto d = value.numberValue(); d && std::isfinite(*d))
                return sqlite3_bind_int64(statement, index, truncatedSaturating(*d));
            break;
        case NSAttributeType::Double:
            if (auto d = value.numberValue()) return sqlite3_bind_double(statement, index, *d);
            break;
        case NSAttributeType::Date:
            if (auto date = value.dateValue())
                return sqlite3_bind_double(statement, index, date->timeIntervalSinceReferenceDate());
            if (auto d = value.numberValue()) return sqlite3_bind_double(statement, index, *d);
            break;
        case NSAttributeType::String:
            if (auto s = value.stringValue())
                return sqlite3_bind_text(statement, index, s->data(), static_cast<int>(s->size()),
                                         SQLITE_TRANSIENT);
            break;
    }
    return sqlite3_bind_null(statement, index);
}

// A predicate's value binds by its own kind: the column it meets may hold a date or a number.
int bindLoose(sqlite3_stmt* statement, int index, const Value& value) {
    if (auto date = value.dateValue())
        return sqlite3_bind_double(statement, index, date->timeIntervalSinceReferenceDate());
    if (value.kind() == Value::Kind::Int) return sqlite3_bind_int64(statement, index, *value.intValue());
    if (auto s = value.stringValue())
        return sqlite3_bind_text(statement, index, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
    if (auto d = value.numberValue()) return sqlite3_bind_double(statement, index, *d);
    return sqlite3_bind_null(statement, index);
}

// A value of another kind than the attribute's (written by another program, or damaged) reads as
// missing: SQLite would turn text into a made-up 0, a date of 1 January 2001. The column is looked up
// once and read as a value: each sqlite3_column_ call would look it up again. (Reading a column's value
// this way is safe only while no other thread uses the connection, which the store's lock sees to.)
// The value is made in its place at the end of the row, not made aside and moved there: a fetch of
// many rows makes many values.
void appendColumn(std::vector<Value>& values, sqlite3_stmt* statement, int index, NSAttributeType type) {
    sqlite3_value* const value = sqlite3_column_value(statement, index);
    const int stored = sqlite3_value_type(value);
    const bool number = stored == SQLITE_INTEGER || stored == SQLITE_FLOAT;
    if (type == NSAttributeType::String ? stored != SQLITE_TEXT : !number) {
        values.emplace_back();
        return;
    }
    switch (type) {
        case NSAttributeType::Integer:
            values.emplace_back(static_cast<std::int64_t>(sqlite3_value_int64(value)));
            return;
        case NSAttributeType::Double:
            values.emplace_back(sqlite3_value_double(value));
            return;
        case NSAttributeType::Date:
            values.emplace_back(NSDate(sqlite3_value_double(value)));
            return;
        case NSAttributeType::String: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            values.emplace_back(std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(value))));
            return;
        }
    }
    values.emplace_back();
}

// Closes a statement when it goes out of scope.
struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

// The coordinator holds its lock around every use of the connection, so SQLite's own lock per call
// would only cost: reading a large store locks and unlocks it for every value.
sqlite3* openFile(const std::filesystem::path& url, std::shared_ptr<NSError>* error) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(
        url.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        fail(error, rc, url.string() + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

bool isCorruption(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Checking every page of a file this small takes a few milliseconds, so it is done before the file
// is used; a larger one (tens of thousands of sessions) is checked beside the app.
constexpr std::uintmax_t kCheckAtOnceBytes = 4 << 20;

std::uintmax_t bytesWithLog(const std::filesystem::path& url) {
    auto log = url;
    log += "-wal";
    std::uintmax_t bytes = 0;
    for (const auto& file : {url, log}) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(file, ec);
        if (!ec) bytes += size;
    }
    return bytes;
}

}  // namespace

std::unique_ptr<SQLiteStore> SQLiteStore::open(const std::filesystem::path& url,
                                               std::shared_ptr<const NSManagedObjectModel> model,
                                               bool migrate, double timeoutSeconds,
                                               std::shared_ptr<NSError>* error) {
    using Health = SQLiteFileHealth::Health;
    std::error_code ec;
    if (std::filesystem::is_directory(url, ec)) {
        fail(error, SQLITE_CANTOPEN, url.string() + " is a folder");
        return nullptr;
    }
    // fmax drops a NaN; an hour is more than any caller means.
    const int timeoutMilliseconds =
        static_cast<int>(std::fmin(std::fmax(timeoutSeconds, 0.0), 3600.0) * 1000);
    bool first = false;
    auto check = SQLiteFileCheck::forFile(url, first);
    // Closing it before its check is done tells the stores waiting for the verdict that there is none.
    std::unique_ptr<SQLiteStore> store(new SQLiteStore(url, std::move(model), check, timeoutMilliseconds));
    if (!first) {
        // Another store of this process has the file open: its check holds for this connection too.
        const auto verdict = check->await();
        if (verdict.health == Health::Unreadable) {
            fail(error, SQLITE_CANTOPEN, url.string() + ": " + verdict.reason);
            return nullptr;
        }
        MutexLock lock(store->mutex_);
        if (!store->openConnection(error) || !store->prepareSchema(migrate, error)) return nullptr;
        return store;
    }
    const bool existed = std::filesystem::exists(url, ec);
    const bool checkAtOnce = !existed || bytesWithLog(url) <= kCheckAtOnceBytes;
    {
        MutexLock lock(store->mutex_);
        if (!store->openConnection(error)) return nullptr;
        std::string reason;
        const auto depth = checkAtOnce ? SQLiteFileHealth::Depth::Whole : SQLiteFileHealth::Depth::Schema;
        const Health health = existed ? SQLiteFileHealth::check(store->db_, reason, depth) : Health::Sound;
        if (health == Health::Unreadable) {
            fail(error, SQLITE_CANTOPEN, url.string() + ": " + reason);
            return nullptr;
        }
        if (health == Health::Damaged && !store->replaceDamagedFile(reason, error)) return nullptr;
        if (!store->prepareSchema(migrate, error)) return nullptr;
    }
    if (checkAtOnce) {
        check->publish({Health::Sound, ""});
    } else {
        store->checker_ = std::thread([raw = store.get()] { raw->checkInBackground(); });
    }
    return store;
}

SQLiteStore::~SQLiteStore() {
    closing_ = true;
    LaunchGate::wake();
    if (checker_.joinable()) checker_.join();
    check_->publish({SQLiteFileHealth::Health::Unreadable, "the store closed before its check was done"});
    MutexLock lock(mutex_);
    closeConnection();
}

std::string SQLiteStore::identifier() const {
    MutexLock lock(mutex_);
    return identifier_;
}

bool SQLiteStore::openConnection(std::shared_ptr<NSError>* error) {
    db_ = openFile(url_, error);
    if (!db_) return false;
    sqlite3_busy_timeout(db_, timeoutMilliseconds_);
    return true;
}

void SQLiteStore::closeConnection() {
    for (auto& [name, statement] : insertStatements_) sqlite3_finalize(statement);
    insertStatements_.clear();
    sqlite3_close(db_);
    db_ = nullptr;
}

bool SQLiteStore::replaceDamagedFile(const std::string& reason, std::shared_ptr<NSError>* error) {
    closeConnection();
    const auto aside = SQLiteFileHealth::setAside(url_);
    Console::print("The session store " + url_.filename().string() + " is damaged (" + reason +
                   "); set aside as " + aside.filename().string() + ", starting a new one");
    identifier_.clear();
    return openConnection(error);
}

// A store this model cannot use (made by a newer version, say) stays as it is for the version that
// can; the console says why the app runs without it.
bool SQLiteStore::prepareSchema(bool migrate, std::shared_ptr<NSError>* error) {
    std::shared_ptr<NSError> refusal;
    if (migrateSchema(migrate, &refusal) && execute("PRAGMA journal_mode=WAL", &refusal) &&
        execute("PRAGMA synchronous=FULL", &refusal))
        return true;
    const auto reason = refusal ? refusal->localizedDescription() : "unknown";
    Console::print("The session store " + url_.filename().string() + " cannot be used (" + reason +
                   "); it is left as it is");
    if (error) *error = refusal;
    return false;
}

// On a connection of its own, which closing the store interrupts, once the launch has shown its first
// frame (reading every page would take a core from it). A damaged file is replaced at once, so that the
// waiting saves go into the new one.
void SQLiteStore::checkInBackground() {
    using Health = SQLiteFileHealth::Health;
    if (!LaunchGate::wait(closing_)) return;
    sqlite3* db = nullptr;
    std::string reason;
    Health health = Health::Unreadable;
    if (sqlite3_open_v2(url_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, timeoutMilliseconds_);
        sqlite3_progress_handler(
            db, 1000, [](void* closing) { return static_cast<std::atomic<bool>*>(closing)->load() ? 1 : 0; },
            &closing_);
        health = SQLiteFileHealth::check(db, reason);
    }
    sqlite3_close(db);
    if (closing_) return;
    if (health == Health::Damaged) {
        MutexLock lock(mutex_);
        if (replaceDamagedFile(reason, nullptr)) prepareSchema(true, nullptr);
    }
    check_->publish({Health::Sound, ""});
}

bool SQLiteStore::checkpoint(std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    const int rc = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    return rc == SQLITE_OK || fail(error, rc, sqlite3_errmsg(db_));
}

bool SQLiteStore::execute(const std::string& sql, std::shared_ptr<NSError>* error) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK) return true;
    const std::string reason = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    return fail(error, rc, reason);
}

bool SQLiteStore::rollBack(int code, const std::string& reason, std::shared_ptr<NSError>* error) {
    fail(error, code, reason);
    execute("ROLLBACK", nullptr);
    return false;
}

// A statement that failed already said why: its reason is kept under the general code.
bool SQLiteStore::rollBack(std::shared_ptr<NSError>* error) {
    return rollBack(SQLITE_ERROR, error && *error ? (*error)->localizedDescription() : "", error);
}

bool SQLiteStore::migrateSchema(bool migrate, std::shared_ptr<NSError>* error) {
    if (!execute("BEGIN IMMEDIATE", error)) return false;
    if (!execute("CREATE TABLE IF NOT EXISTS _metadata (key TEXT PRIMARY KEY, value)", error))
        return rollBack(error);
    int storedVersion = 0;
    {
        Statement read;
        sqlite3_prepare_v2(db_, "SELECT value FROM _metadata WHERE key = 'model_version'", -1, &read.handle,
                           nullptr);
        if (read.handle && sqlite3_step(read.handle) == SQLITE_ROW)
            storedVersion = sqlite3_column_int(read.handle, 0);
    }
    const int version = model_->versionNumber();
    if (storedVersion > version)
        return rollBack(134100, "the store was made by model version " + std::to_string(storedVersion) +
                                 ", newer than version " + std::to_string(version), error);
    if (storedVersion != 0 && storedVersion < version && !migrate)
        return rollBack(134100, "the store needs migrating from model version " + std::to_string(storedVersion), error);

    for (const auto& entity : model_->entities()) {
        std::map<std::string, std::string> columns;
        bool rowKey = false;
        {
            Statement info;
            sqlite3_prepare_v2(db_, ("PRAGMA table_info(" + quoted(entity->name()) + ")").c_str(), -1,
                               &info.handle, nullptr);
            while (info.handle && sqlite3_step(info.handle) == SQLITE_ROW) {
                const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(info.handle, 1));
                const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(info.handle, 2));
                if (!name || !type) continue;
                columns[name] = type;
                if (std::string_view(name) == "_pk")
                    rowKey = std::string_view(type) == "INTEGER" && sqlite3_column_int(info.handle, 5) == 1;
            }
        }
        // Without its row key a table takes inserts that no fetch can ever read back.
        if (!columns.empty() && !rowKey)
            return rollBack(134110, "cannot infer a mapping for " + entity->name() + ": it has no row key", error);
        if (columns.empty()) {
            std::string sql = "CREATE TABLE " + quoted(entity->name()) + " (_pk INTEGER PRIMARY KEY";
            for (const auto& attribute : entity->attributes())
                sql += ", " + quoted(attribute.name) + " " + columnType(attribute.type);
            if (!execute(sql + ")", error)) return rollBack(error);
        }
        for (const auto& attribute : entity->attributes()) {
            const auto found = columns.find(attribute.name);
            if (!columns.empty() && found == columns.end()) {
                const auto sql = "ALTER TABLE " + quoted(entity->name()) + " ADD COLUMN " +
                                 quoted(attribute.name) + " " + columnType(attribute.type);
                if (!execute(sql, error)) return rollBack(error);
                if (!attribute.defaultValue.isNull()) {
                    Statement fill;
                    sqlite3_prepare_v2(
                        db_,
                        ("UPDATE " + quoted(entity->name()) + " SET " + quoted(attribute.name) + " = ?")
                            .c_str(),
                        -1, &fill.handle, nullptr);
                    if (!fill.handle) return rollBack(SQLITE_ERROR, sqlite3_errmsg(db_), error);
                    bind(fill.handle, 1, attribute.type, attribute.defaultValue);
                    if (sqlite3_step(fill.handle) != SQLITE_DONE)
                        return rollBack(SQLITE_ERROR, sqlite3_errmsg(db_), error);
                }
            } else if (found != columns.end() && found->second != columnType(attribute.type)) {
                return rollBack(134110, "cannot infer a mapping for " + entity->name() + "." + attribute.name +
                                         " from " + found->second + " to " + columnType(attribute.type), error);
            }
            if (attribute.indexed) {
                const auto sql = "CREATE INDEX IF NOT EXISTS " +
                                 quoted(entity->name() + "_" + attribute.name) + " ON " +
                                 quoted(entity->name()) + " (" + quoted(attribute.name) + ")";
                if (!execute(sql, error)) return rollBack(error);
            }
        }
    }
    if (std::string reason; !SQLiteChangeLog::install(db_, *model_, reason))
        return rollBack(SQLITE_ERROR, reason, error);
    if (storedVersion != version &&
        !execute("INSERT OR REPLACE INTO _metadata (key, value) VALUES ('model_version', " +
                     std::to_string(version) + ")",
                 error))
        return rollBack(error);
    {
        Statement read;
        sqlite3_prepare_v2(db_, "SELECT value FROM _metadata WHERE key = 'store_uuid'", -1, &read.handle,
                           nullptr);
        if (read.handle && sqlite3_step(read.handle) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(read.handle, 0));
            if (text) identifier_ = text;
        }
    }
    if (identifier_.empty()) {
        identifier_ = NSUUID().UUIDString();
        if (!execute("INSERT INTO _metadata (key, value) VALUES ('store_uuid', '" + identifier_ + "')",
                     error))
            return rollBack(error);
    }
    if (!execute("COMMIT", error)) return rollBack(error);
    return true;
}

sqlite3_stmt* SQLiteStore::insertStatement(const NSEntityDescription& entity,
                                           std::shared_ptr<NSError>* error) {
    if (auto found = insertStatements_.find(entity.name()); found != insertStatements_.end()) {
        sqlite3_reset(found->second);
        sqlite3_clear_bindings(found->second);
        return found->second;
    }
    std::string names, marks;
    for (const auto& attribute : entity.attributes()) {
        names += (names.empty() ? "" : ", ") + quoted(attribute.name);
        marks += marks.empty() ? "?" : ", ?";
    }
    const auto sql = entity.attributes().empty()
                         ? "INSERT INTO " + quoted(entity.name()) + " DEFAULT VALUES"
                         : "INSERT INTO " + quoted(entity.name()) + " (" + names + ") VALUES (" + marks + ")";
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
    if (rc != SQLITE_OK) {
        fail(error, rc, sqlite3_errmsg(db_));
        return nullptr;
    }
    insertStatements_[entity.name()] = statement;
    return statement;
}

std::optional<std::vector<std::int64_t>> SQLiteStore::save(const std::vector<Insert>& inserts,
                                                           const std::vector<Update>& updates,
                                                           std::shared_ptr<NSError>* error, bool logged) {
    // Nothing goes into a file that may yet be set aside.
    check_->await();
    MutexLock lock(mutex_);
    if (!db_) {
        fail(error, SQLITE_CANTOPEN, url_.string() + ": no connection");
        return std::nullopt;
    }
    if (!execute("BEGIN IMMEDIATE", error)) return std::nullopt;
    if (std::string reason; !logged && !SQLiteChangeLog::pause(db_, reason)) {
        rollBack(SQLITE_ERROR, reason, error);
        return std::nullopt;
    }
    std::vector<std::int64_t> rows;
    rows.reserve(inserts.size());
    for (const auto& insert : inserts) {
        sqlite3_stmt* statement = insertStatement(*insert.entity, error);
        if (!statement) {
            rollBack(SQLITE_ERROR, sqlite3_errmsg(db_), error);
            return std::nullopt;
        }
        const auto& attributes = insert.entity->attributes();
        for (std::size_t i = 0; i < attributes.size(); ++i) {
            bind(statement, static_cast<int>(i + 1), attributes[i].type,
                 i < insert.values.size() ? insert.values[i] : Value());
        }
        const int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (rc != SQLITE_DONE) {
            rollBack(rc, sqlite3_errmsg(db_), error);
            return std::nullopt;
        }
        rows.push_back(sqlite3_last_insert_rowid(db_));
    }
    for (const auto& update : updates) {
        std::string sql;
        std::vector<std::pair<const NSAttributeDescription*, const Value*>> assignments;
        for (const auto& [key, value] : update.changes) {
            const auto* attribute = update.entity->attributeNamed(key);
            if (!attribute) continue;
            sql += (sql.empty() ? "" : ", ") + quoted(key) + " = ?";
            assignments.emplace_back(attribute, &value);
        }
        if (assignments.empty()) continue;
        Statement statement;
        int rc = sqlite3_prepare_v2(
            db_, ("UPDATE " + quoted(update.entity->name()) + " SET " + sql + " WHERE _pk = ?").c_str(), -1,
            &statement.handle, nullptr);
        if (rc != SQLITE_OK) {
            rollBack(rc, sqlite3_errmsg(db_), error);
            return std::nullopt;
        }
        int index = 1;
        for (const auto& [attribute, value] : assignments)
            bind(statement.handle, index++, attribute->type, *value);
        sqlite3_bind_int64(statement.handle, index, update.row);
        rc = sqlite3_step(statement.handle);
        if (rc != SQLITE_DONE) {
            rollBack(rc, sqlite3_errmsg(db_), error);
            return std::nullopt;
        }
    }
    if (std::string reason; !logged && !SQLiteChangeLog::resume(db_, reason)) {
        rollBack(SQLITE_ERROR, reason, error);
        return std::nullopt;
    }
    if (!execute("COMMIT", error)) {
        execute("ROLLBACK", nullptr);
        return std::nullopt;
    }
    return rows;
}

std::optional<std::vector<SQLiteStore::Row>> SQLiteStore::fetch(
    const NSEntityDescription& entity, const NSPredicate* predicate,
    const std::vector<NSSortDescriptor>& sortDescriptors, std::shared_ptr<NSError>* error,
    const std::vector<std::size_t>* attributes) {
    std::vector<Row> rows;
    const bool read = fetchEach(
        entity, predicate, sortDescriptors, attributes,
        [&rows](std::int64_t row, std::vector<Value>& values) { rows.push_back({row, std::move(values)}); }, error);
    if (!read) return std::nullopt;
    return rows;
}

bool SQLiteStore::fetchEach(const NSEntityDescription& entity, const NSPredicate* predicate,
                            const std::vector<NSSortDescriptor>& sortDescriptors,
                            const std::vector<std::size_t>* attributes, const RowVisitor& each,
                            std::shared_ptr<NSError>* error, std::int64_t afterRow) {
    int code = SQLITE_OK;
    std::size_t handedOn = 0;
    {
        MutexLock lock(mutex_);
        if (readEach(entity, predicate, sortDescriptors, attributes, each, afterRow, code, handedOn, error)) return true;
    }
    // Damage met before the file's check is done, before any row: the check decides, and a file that
    // was replaced meanwhile is read instead.
    if (handedOn > 0 || !isCorruption(code) || check_->isPublished()) return false;
    check_->await();
    MutexLock lock(mutex_);
    return readEach(entity, predicate, sortDescriptors, attributes, each, afterRow, code, handedOn, error);
}

bool SQLiteStore::readEach(const NSEntityDescription& entity, const NSPredicate* predicate,
                           const std::vector<NSSortDescriptor>& sortDescriptors,
                           const std::vector<std::size_t>* attributes, const RowVisitor& each,
                           std::int64_t afterRow, int& code, std::size_t& handedOn,
                           std::shared_ptr<NSError>* error) {
    if (!db_) return fail(error, code = SQLITE_CANTOPEN, url_.string() + ": no connection");
    std::vector<const NSAttributeDescription*> columns;
    if (attributes) {
        for (std::size_t index : *attributes) {
            if (index >= entity.attributes().size())
                return fail(error, SQLITE_ERROR, entity.name() + " has no attribute " + std::to_string(index));
            columns.push_back(&entity.attributes()[index]);
        }
    } else {
        for (const auto& attribute : entity.attributes()) columns.push_back(&attribute);
    }
    std::string sql = "SELECT _pk";
    for (const auto* attribute : columns) sql += ", " + quoted(attribute->name);
    sql += " FROM " + quoted(entity.name());
    std::vector<Value> binds;
    if (predicate) {
        std::string where;
        if (!predicate->sqlWhereClause(entity, where, binds))
            return fail(error, SQLITE_ERROR, "the predicate names a key that " + entity.name() + " lacks");
        sql += " WHERE (" + where + ")";
    }
    if (afterRow > 0) {
        sql += std::string(predicate ? " AND" : " WHERE") + " _pk > ?";
        binds.emplace_back(afterRow);
    }
    std::string order;
    for (const auto& sort : sortDescriptors) {
        if (!entity.attributeNamed(sort.key)) return fail(error, SQLITE_ERROR, "cannot sort " + entity.name() + " by " + sort.key);
        order += (order.empty() ? "" : ", ") + quoted(sort.key) + (sort.ascending ? " ASC" : " DESC");
    }
    // Equal keys keep the order of insertion (reversed for a descending sort).
    const bool descending = !sortDescriptors.empty() && !sortDescriptors.front().ascending;
    sql += " ORDER BY " + order + (order.empty() ? "" : ", ") + "_pk" + (descending ? " DESC" : " ASC");

    Statement statement;
    int rc = code = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement.handle, nullptr);
    if (rc != SQLITE_OK) return fail(error, rc, sqlite3_errmsg(db_));
    for (std::size_t i = 0; i < binds.size(); ++i)
        bindLoose(statement.handle, static_cast<int>(i + 1), binds[i]);
    // One buffer for every row, which keeps its room unless `each` takes the vector itself.
    std::vector<Value> values;
    while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) {
        values.clear();
        values.reserve(columns.size());
        int index = 1;
        for (const auto* attribute : columns)
            appendColumn(values, statement.handle, index++, attribute->type);
        ++handedOn;
        each(sqlite3_column_int64(statement.handle, 0), values);
    }
    code = rc;
    if (rc != SQLITE_DONE) return fail(error, rc, sqlite3_errmsg(db_));
    return true;
}

std::optional<std::vector<SQLiteStore::Change>> SQLiteStore::changesAfter(std::int64_t afterSequence,
                                                                         std::size_t limit,
                                                                         std::shared_ptr<NSError>* error,
                                                                         std::int64_t throughSequence) {
    MutexLock lock(mutex_);
    if (!db_) {
        fail(error, SQLITE_CANTOPEN, url_.string() + ": no connection");
        return std::nullopt;
    }
    std::string reason;
    const auto entries = SQLiteChangeLog::read(db_, afterSequence, throughSequence, limit, reason);
    if (!entries) {
        fail(error, SQLITE_ERROR, reason);
        return std::nullopt;
    }
    std::vector<Change> changes;
    changes.reserve(entries->size());
    std::map<std::string, Statement> reads;  // one per entity
    for (const auto& entry : *entries) {
        auto entity = model_->entityNamed(entry.entity);
        if (!entity) continue;
        Change change{entry.sequence, std::move(entity), entry.row, {}};
        int code = SQLITE_OK;
        if (readRow(*change.entity, entry.row, change.values, code, reads[entry.entity].handle)) {
            changes.push_back(std::move(change));
        } else if (code != SQLITE_DONE) {
            fail(error, code, sqlite3_errmsg(db_));
            return std::nullopt;
        }
    }
    return changes;
}

std::optional<std::vector<std::int64_t>> SQLiteStore::loggedRows(const NSEntityDescription& entity,
                                                                 std::int64_t throughSequence,
                                                                 std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    std::string reason = "no connection";
    auto named = db_ ? SQLiteChangeLog::rowsNamed(db_, entity.name(), throughSequence, reason) : std::nullopt;
    if (!named) fail(error, SQLITE_ERROR, url_.string() + ": " + reason);
    return named;
}

std::optional<SQLiteChangeLog::Span> SQLiteStore::changeLogSpan(std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    std::string reason = "no connection";
    const auto span = db_ ? SQLiteChangeLog::span(db_, reason) : std::nullopt;
    if (!span) fail(error, SQLITE_ERROR, url_.string() + ": " + reason);
    return span;
}

std::optional<std::string> SQLiteStore::forgetChangesThrough(std::int64_t sequence, std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    std::string reason = "no connection";
    auto identity = db_ ? SQLiteChangeLog::forgetThrough(db_, sequence, reason) : std::nullopt;
    if (!identity) fail(error, SQLITE_ERROR, url_.string() + ": " + reason);
    return identity;
}

std::optional<std::vector<Value>> SQLiteStore::fetchRow(const NSEntityDescription& entity, std::int64_t row,
                                                        std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    if (!db_) {
        fail(error, SQLITE_CANTOPEN, url_.string() + ": no connection");
        return std::nullopt;
    }
    std::vector<Value> values;
    int code = SQLITE_OK;
    Statement read;
    if (readRow(entity, row, values, code, read.handle)) return values;
    if (code != SQLITE_DONE) fail(error, code, sqlite3_errmsg(db_));
    return std::nullopt;
}

bool SQLiteStore::readRow(const NSEntityDescription& entity, std::int64_t row, std::vector<Value>& values,
                          int& code, sqlite3_stmt*& statement) {
    if (statement) {
        sqlite3_reset(statement);
    } else {
        std::string sql = "SELECT _pk";
        for (const auto& attribute : entity.attributes()) sql += ", " + quoted(attribute.name);
        sql += " FROM " + quoted(entity.name()) + " WHERE _pk = ?";
        code = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
        if (code != SQLITE_OK) return false;
    }
    sqlite3_bind_int64(statement, 1, row);
    code = sqlite3_step(statement);
    if (code != SQLITE_ROW) return false;
    values.clear();
    values.reserve(entity.attributes().size());
    int index = 1;
    for (const auto& attribute : entity.attributes()) appendColumn(values, statement, index++, attribute.type);
    return true;
}

}  // namespace platform
