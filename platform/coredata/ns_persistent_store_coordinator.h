#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/coredata/ns_managed_object_model.h"
#include "platform/coredata/sqlite_store.h"
#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_error.h"
#include "platform/foundation/value.h"

namespace platform {

extern const std::string& NSSQLiteStoreType;
// Options of addPersistentStoreWithType: both true let a store of an older model version open.
extern const std::string& NSMigratePersistentStoresAutomaticallyOption;
extern const std::string& NSInferMappingModelAutomaticallyOption;
// Seconds a save waits for another connection's write to finish (default 5).
extern const std::string& NSPersistentStoreTimeoutOption;

// Connects contexts to the store file. Thread-safe: contexts on several queues may share it.
class NSPersistentStoreCoordinator {
public:
    explicit NSPersistentStoreCoordinator(std::shared_ptr<const NSManagedObjectModel> model)
        : model_(std::move(model)) {}

    const std::shared_ptr<const NSManagedObjectModel>& managedObjectModel() const { return model_; }

    // One store per coordinator; a second add fails. An empty URL fails.
    bool addPersistentStoreWithType(const std::string& type, const std::optional<std::string>& configuration,
                                    const std::filesystem::path& url, const Value::Dictionary& options,
                                    std::shared_ptr<NSError>* error = nullptr);
    // Closes the store, its write-ahead log folded into the file so the file alone holds every save;
    // from then on the coordinator is as without a store. Nothing to do without one.
    void removePersistentStore();
    bool hasStore() const;
    // The store file, empty without a store.
    std::filesystem::path storeURL() const;
    // The store file's own identifier, empty without a store.
    std::string storeIdentifier() const;

    // Whether saves through this coordinator are written to the store's change log (they are unless
    // told otherwise: the sync's own imports are not, so that no merge exports them back).
    void setLogsSaves(bool logs);
    std::optional<std::vector<std::int64_t>> save(const std::vector<SQLiteStore::Insert>& inserts,
                                                  const std::vector<SQLiteStore::Update>& updates,
                                                  std::shared_ptr<NSError>* error);
    std::optional<std::vector<SQLiteStore::Row>> fetch(const NSEntityDescription& entity,
                                                       const NSPredicate* predicate,
                                                       const std::vector<NSSortDescriptor>& sortDescriptors,
                                                       std::shared_ptr<NSError>* error,
                                                       const std::vector<std::size_t>* attributes = nullptr);
    // Reads while the store is held: `each` must not use the coordinator. With `afterRow`, only the
    // rows numbered above it.
    bool fetchEach(const NSEntityDescription& entity, const NSPredicate* predicate,
                   const std::vector<NSSortDescriptor>& sortDescriptors, const std::vector<std::size_t>* attributes,
                   const SQLiteStore::RowVisitor& each, std::shared_ptr<NSError>* error, std::int64_t afterRow = 0);
    // The store's log of saved changes (see SQLiteStore).
    std::optional<std::vector<SQLiteStore::Change>> changesAfter(std::int64_t afterSequence, std::size_t limit,
                                                                 std::shared_ptr<NSError>* error,
                                                                 std::int64_t throughSequence = INT64_MAX);
    std::optional<std::vector<std::int64_t>> loggedRows(const NSEntityDescription& entity, std::int64_t throughSequence,
                                                        std::shared_ptr<NSError>* error);
    std::optional<SQLiteChangeLog::Span> changeLogSpan(std::shared_ptr<NSError>* error);
    std::optional<std::string> forgetChangesThrough(std::int64_t sequence, std::shared_ptr<NSError>* error);
    std::optional<std::vector<Value>> fetchRow(const NSEntityDescription& entity, std::int64_t row,
                                               std::shared_ptr<NSError>* error);

private:
    std::shared_ptr<const NSManagedObjectModel> model_;
    mutable Mutex mutex_;
    std::unique_ptr<SQLiteStore> store_ GUARDED_BY(mutex_);
    bool logsSaves_ GUARDED_BY(mutex_) = true;
};

}  // namespace platform
