#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/coredata/ns_managed_object_model.h"
#include "platform/coredata/ns_predicate.h"
#include "platform/coredata/ns_sort_descriptor.h"
#include "platform/foundation/ns_error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// One SQLite file holding a model's entities, a table each with a row number and a column per
// attribute. Writes are transactions in write-ahead-log mode with a full sync, so a save that
// returned is on disk whatever happens to the process afterwards. Not thread-safe: the coordinator
// serialises its calls.
class SQLiteStore {
public:
    // A row's values in the order of the entity's attributes.
    struct Row {
        std::int64_t row;
        std::vector<Value> values;
    };
    struct Insert {
        const NSEntityDescription* entity;
        const std::vector<Value>* values;  // in the order of the entity's attributes
    };
    struct Update {
        const NSEntityDescription* entity;
        std::int64_t row;
        Value::Dictionary changes;
    };

    // Opens or creates the file. A file that is not a sound database is renamed aside
    // ("<name>.damaged-<n>"), with a console line, and a new one is made; one that is locked or cannot
    // be read is refused and left in place. With `migrate`, a store
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
    bool checkpoint(std::shared_ptr<NSError>* error);

    const std::filesystem::path& url() const { return url_; }
    // Made when the file is created, so a file set aside and replaced is told from the old one.
    const std::string& identifier() const { return identifier_; }

    // All or nothing; on success the new row numbers of the inserts, in order.
    std::optional<std::vector<std::int64_t>> save(const std::vector<Insert>& inserts,
                                                  const std::vector<Update>& updates,
                                                  std::shared_ptr<NSError>* error);
    // With `attributes` (indices into the entity's attributes) a row holds only those values, in that
    // order; without, every attribute's.
    std::optional<std::vector<Row>> fetch(const NSEntityDescription& entity, const NSPredicate* predicate,
                                          const std::vector<NSSortDescriptor>& sortDescriptors,
                                          std::shared_ptr<NSError>* error,
                                          const std::vector<std::size_t>* attributes = nullptr);
    // The same rows handed to `each` one at a time as they are read, in one buffer that `each` may
    // empty; none is kept. False when the query fails (rows handed on before stay handed on).
    using RowVisitor = std::function<void(std::int64_t row, std::vector<Value>& values)>;
    bool fetchEach(const NSEntityDescription& entity, const NSPredicate* predicate,
                   const std::vector<NSSortDescriptor>& sortDescriptors, const std::vector<std::size_t>* attributes,
                   const RowVisitor& each, std::shared_ptr<NSError>* error);

private:
    SQLiteStore(std::filesystem::path url, std::shared_ptr<const NSManagedObjectModel> model, sqlite3* db)
        : url_(std::move(url)), model_(std::move(model)), db_(db) {}
    bool migrateSchema(bool migrate, std::shared_ptr<NSError>* error);
    bool execute(const std::string& sql, std::shared_ptr<NSError>* error);
    sqlite3_stmt* insertStatement(const NSEntityDescription& entity, std::shared_ptr<NSError>* error);

    std::filesystem::path url_;
    std::shared_ptr<const NSManagedObjectModel> model_;
    sqlite3* db_;
    std::map<std::string, sqlite3_stmt*> insertStatements_;
    std::string identifier_;
};

}  // namespace platform
