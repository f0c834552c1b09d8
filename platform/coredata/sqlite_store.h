#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/coredata/ns_managed_object_model.h"
#include "platform/coredata/ns_predicate.h"
#include "platform/coredata/ns_sort_descriptor.h"
#include "platform/coredata/sqlite_change_log.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

class SQLiteFileCheck;

// One SQLite file holding a model's entities, a table each with a row number and a column per
// attribute. Writes are transactions in write-ahead-log mode with a full sync, so a save that
// returned is on disk whatever happens to the process afterwards. The coordinator serialises its
// calls; the store's own lock is for the check of a large file, which runs beside them.
class SQLiteStore {
public:
    // A row's values in the order of the entity's attributes.
    struct Row {
        std::int64_t row;
        std::vector<Value> values;
    };
    struct Insert {
        const NSEntityDescription* entity;
        std::span<const Value> values;  // in the order of the entity's attributes
    };
    struct Update {
        const NSEntityDescription* entity;
        std::int64_t row;
        Value::Dictionary changes;
    };

    // Opens or creates the file. A file that is not a sound database is renamed aside
    // ("<name>.damaged-<n>"), with a console line, and a new one is made; one that is locked or cannot
    // be read is refused and left in place. The file is checked once while this process has it open,
    // by the first store that opens it. A large file's pages are checked on a thread of the store's own
    // so that opening it costs no more than a small one: meanwhile reads go ahead, a read that meets
    // damage and every save wait for the verdict, and a damaged file is set aside and replaced as soon
    // as it is found. With `migrate`, a store
    // made by an older model version gains the missing tables and columns; one that cannot be
    // brought to the model (a newer version, a column of another type) is refused.
    static std::unique_ptr<SQLiteStore> open(const std::filesystem::path& url,
                                             std::shared_ptr<const NSManagedObjectModel> model, bool migrate,
                                             double timeoutSeconds, std::shared_ptr<NSError>* error);
    ~SQLiteStore();
    SQLiteStore(const SQLiteStore&) = delete;
    SQLiteStore& operator=(const SQLiteStore&) = delete;

    // Folds the write-ahead log into the file, so the file alone holds every save. Closing the last
    // connection does it too, but another one (the sync's) may stay open.
    bool checkpoint(std::shared_ptr<NSError>* error) EXCLUDES(mutex_);

    const std::filesystem::path& url() const { return url_; }
    // Made when the file is created, so a file set aside and replaced is told from the old one.
    std::string identifier() const EXCLUDES(mutex_);

    // All or nothing; on success the new row numbers of the inserts, in order. Without `logged`, the
    // rows written leave no entry in the change log (see SQLiteChangeLog).
    std::optional<std::vector<std::int64_t>> save(const std::vector<Insert>& inserts,
                                                  const std::vector<Update>& updates,
                                                  std::shared_ptr<NSError>* error, bool logged = true)
        EXCLUDES(mutex_);
    // With `attributes` (indices into the entity's attributes) a row holds only those values, in that
    // order; without, every attribute's.
    std::optional<std::vector<Row>> fetch(const NSEntityDescription& entity, const NSPredicate* predicate,
                                          const std::vector<NSSortDescriptor>& sortDescriptors,
                                          std::shared_ptr<NSError>* error,
                                          const std::vector<std::size_t>* attributes = nullptr);
    // The same rows handed to `each` one at a time as they are read, in one buffer that `each` may
    // empty; none is kept. False when the query fails (rows handed on before stay handed on). With
    // `afterRow`, only the rows numbered above it: what was stored since a reader saw that row.
    using RowVisitor = std::function<void(std::int64_t row, std::vector<Value>& values)>;
    bool fetchEach(const NSEntityDescription& entity, const NSPredicate* predicate,
                   const std::vector<NSSortDescriptor>& sortDescriptors, const std::vector<std::size_t>* attributes,
                   const RowVisitor& each, std::shared_ptr<NSError>* error, std::int64_t afterRow = 0)
        EXCLUDES(mutex_);

    // A row as the file's change log last saw it change (see SQLiteChangeLog), with its values now.
    struct Change {
        std::int64_t sequence;
        std::shared_ptr<const NSEntityDescription> entity;
        std::int64_t row;
        std::vector<Value> values;  // in the order of the entity's attributes
    };
    // Up to `limit` changes numbered above `afterSequence` and at most `throughSequence`, oldest first;
    // entities the model lacks are left out.
    std::optional<std::vector<Change>> changesAfter(std::int64_t afterSequence, std::size_t limit,
                                                    std::shared_ptr<NSError>* error,
                                                    std::int64_t throughSequence = INT64_MAX) EXCLUDES(mutex_);
    // The rows of `entity` the change log names up to `throughSequence` (see SQLiteChangeLog::rowsNamed).
    std::optional<std::vector<std::int64_t>> loggedRows(const NSEntityDescription& entity, std::int64_t throughSequence,
                                                        std::shared_ptr<NSError>* error) EXCLUDES(mutex_);
    // Where a reader of the change log may stand (see SQLiteChangeLog::Span).
    std::optional<SQLiteChangeLog::Span> changeLogSpan(std::shared_ptr<NSError>* error) EXCLUDES(mutex_);
    // Drops the log's entries up to `sequence`, once their reader has taken them for good; the log's new
    // identity, or none on failure.
    std::optional<std::string> forgetChangesThrough(std::int64_t sequence, std::shared_ptr<NSError>* error)
        EXCLUDES(mutex_);
    // One row's values; none when there is no such row or it cannot be read (then with `error`).
    std::optional<std::vector<Value>> fetchRow(const NSEntityDescription& entity, std::int64_t row,
                                               std::shared_ptr<NSError>* error) EXCLUDES(mutex_);

private:
    SQLiteStore(std::filesystem::path url, std::shared_ptr<const NSManagedObjectModel> model,
                std::shared_ptr<SQLiteFileCheck> check, int timeoutMilliseconds)
        : url_(std::move(url)), model_(std::move(model)), check_(std::move(check)),
          timeoutMilliseconds_(timeoutMilliseconds) {}
    bool openConnection(std::shared_ptr<NSError>* error) REQUIRES(mutex_);
    void closeConnection() REQUIRES(mutex_);
    // Closes the damaged file, sets it aside and opens a new one in its place.
    bool replaceDamagedFile(const std::string& reason, std::shared_ptr<NSError>* error) REQUIRES(mutex_);
    bool prepareSchema(bool migrate, std::shared_ptr<NSError>* error) REQUIRES(mutex_);
    bool migrateSchema(bool migrate, std::shared_ptr<NSError>* error) REQUIRES(mutex_);
    // Fails with the reason given, or the one a failed statement left in `error`, and rolls the
    // transaction back.
    bool rollBack(int code, const std::string& reason, std::shared_ptr<NSError>* error) REQUIRES(mutex_);
    bool rollBack(std::shared_ptr<NSError>* error) REQUIRES(mutex_);
    void checkInBackground() EXCLUDES(mutex_);
    bool execute(const std::string& sql, std::shared_ptr<NSError>* error) REQUIRES(mutex_);
    sqlite3_stmt* insertStatement(const NSEntityDescription& entity, std::shared_ptr<NSError>* error)
        REQUIRES(mutex_);
    // Found: the row's values in `values`; false when it is missing or the read failed (`code` then not
    // SQLITE_DONE). `statement` is the entity's read, prepared on first use; the caller finalizes it.
    bool readRow(const NSEntityDescription& entity, std::int64_t row, std::vector<Value>& values, int& code,
                 sqlite3_stmt*& statement) REQUIRES(mutex_);
    bool readEach(const NSEntityDescription& entity, const NSPredicate* predicate,
                  const std::vector<NSSortDescriptor>& sortDescriptors, const std::vector<std::size_t>* attributes,
                  const RowVisitor& each, std::int64_t afterRow, int& code, std::size_t& handedOn,
                  std::shared_ptr<NSError>* error) REQUIRES(mutex_);

    const std::filesystem::path url_;
    const std::shared_ptr<const NSManagedObjectModel> model_;
    const std::shared_ptr<SQLiteFileCheck> check_;
    const int timeoutMilliseconds_;
    std::thread checker_;
    std::atomic<bool> closing_{false};
    mutable Mutex mutex_;
    sqlite3* db_ GUARDED_BY(mutex_) = nullptr;
    std::map<std::string, sqlite3_stmt*> insertStatements_ GUARDED_BY(mutex_);
    std::string identifier_ GUARDED_BY(mutex_);
};

}  // namespace platform
