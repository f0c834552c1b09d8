#include "platform/coredata/ns_persistent_store_coordinator.h"

#include "platform/foundation/console.h"

namespace platform {

const std::string& NSSQLiteStoreType = *new std::string("SQLite");
const std::string& NSMigratePersistentStoresAutomaticallyOption =
    *new std::string("NSMigratePersistentStoresAutomaticallyOption");
const std::string& NSInferMappingModelAutomaticallyOption =
    *new std::string("NSInferMappingModelAutomaticallyOption");
const std::string& NSPersistentStoreTimeoutOption = *new std::string("NSPersistentStoreTimeoutOption");

namespace {

constexpr const char* kDomain = "NSCocoaErrorDomain";

bool option(const Value::Dictionary& options, const std::string& key) {
    const auto found = options.find(key);
    return found != options.end() && found->second.boolValue().value_or(false);
}

bool fail(std::shared_ptr<NSError>* error, std::int64_t code, const std::string& reason) {
    if (error) *error = NSError::errorWithDomain(kDomain, code, {{NSLocalizedDescriptionKey, reason}});
    return false;
}

}  // namespace

bool NSPersistentStoreCoordinator::addPersistentStoreWithType(const std::string& type,
                                                              const std::optional<std::string>& configuration,
                                                              const std::filesystem::path& url,
                                                              const Value::Dictionary& options,
                                                              std::shared_ptr<NSError>* error) {
    if (type != NSSQLiteStoreType || configuration || url.empty())
        return fail(error, 134000, "only an SQLite store at a file URL without configuration");
    MutexLock lock(mutex_);
    if (store_) return fail(error, 134080, "the coordinator has a store already");
    const bool migrate = option(options, NSMigratePersistentStoresAutomaticallyOption) &&
                         option(options, NSInferMappingModelAutomaticallyOption);
    double timeout = 5.0;
    if (auto found = options.find(NSPersistentStoreTimeoutOption); found != options.end())
        timeout = found->second.numberValue().value_or(timeout);
    store_ = SQLiteStore::open(url, model_, migrate, timeout, error);
    return store_ != nullptr;
}

void NSPersistentStoreCoordinator::removePersistentStore() {
    MutexLock lock(mutex_);
    if (!store_) return;
    std::shared_ptr<NSError> error;
    if (!store_->checkpoint(&error)) {
        Console::print("The session store " + store_->url().filename().string() +
                       " keeps its latest saves in its log (" + error->localizedDescription() + ")");
    }
    store_.reset();
}

bool NSPersistentStoreCoordinator::hasStore() const {
    MutexLock lock(mutex_);
    return store_ != nullptr;
}

std::filesystem::path NSPersistentStoreCoordinator::storeURL() const {
    MutexLock lock(mutex_);
    return store_ ? store_->url() : std::filesystem::path();
}

std::string NSPersistentStoreCoordinator::storeIdentifier() const {
    MutexLock lock(mutex_);
    return store_ ? store_->identifier() : std::string();
}

std::optional<std::vector<std::int64_t>> NSPersistentStoreCoordinator::save(
    const std::vector<SQLiteStore::Insert>& inserts, const std::vector<SQLiteStore::Update>& updates,
    std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    if (!store_) {
        fail(error, 134060, "no persistent store");
        return std::nullopt;
    }
    return store_->save(inserts, updates, error, logsSaves_);
}

void NSPersistentStoreCoordinator::setLogsSaves(bool logs) {
    MutexLock lock(mutex_);
    logsSaves_ = logs;
}

std::optional<std::vector<SQLiteStore::Row>> NSPersistentStoreCoordinator::fetch(
    const NSEntityDescription& entity, const NSPredicate* predicate,
    const std::vector<NSSortDescriptor>& sortDescriptors, std::shared_ptr<NSError>* error,
    const std::vector<std::size_t>* attributes) {
    MutexLock lock(mutex_);
    if (!store_) {
        fail(error, 134060, "no persistent store");
        return std::nullopt;
    }
    return store_->fetch(entity, predicate, sortDescriptors, error, attributes);
}

bool NSPersistentStoreCoordinator::fetchEach(const NSEntityDescription& entity, const NSPredicate* predicate,
                                             const std::vector<NSSortDescriptor>& sortDescriptors,
                                             const std::vector<std::size_t>* attributes,
                                             const SQLiteStore::RowVisitor& each, std::shared_ptr<NSError>* error,
                                             std::int64_t afterRow) {
    MutexLock lock(mutex_);
    if (!store_) return fail(error, 134060, "no persistent store");
    return store_->fetchEach(entity, predicate, sortDescriptors, attributes, each, error, afterRow);
}

std::optional<std::vector<SQLiteStore::Change>> NSPersistentStoreCoordinator::changesAfter(
    std::int64_t afterSequence, std::size_t limit, std::shared_ptr<NSError>* error, std::int64_t throughSequence) {
    MutexLock lock(mutex_);
    if (!store_) {
        fail(error, 134060, "no persistent store");
        return std::nullopt;
    }
    return store_->changesAfter(afterSequence, limit, error, throughSequence);
}

std::optional<std::vector<std::int64_t>> NSPersistentStoreCoordinator::loggedRows(const NSEntityDescription& entity,
                                                                                 std::int64_t throughSequence,
                                                                                 std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    if (!store_) {
        fail(error, 134060, "no persistent store");
        return std::nullopt;
    }
    return store_->loggedRows(entity, throughSequence, error);
}

std::optional<SQLiteChangeLog::Span> NSPersistentStoreCoordinator::changeLogSpan(std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    if (!store_) {
        fail(error, 134060, "no persistent store");
        return std::nullopt;
    }
    return store_->changeLogSpan(error);
}

std::optional<std::string> NSPersistentStoreCoordinator::forgetChangesThrough(std::int64_t sequence,
                                                                           std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    if (!store_) {
        fail(error, 134060, "no persistent store");
        return std::nullopt;
    }
    return store_->forgetChangesThrough(sequence, error);
}

std::optional<std::vector<Value>> NSPersistentStoreCoordinator::fetchRow(const NSEntityDescription& entity,
                                                                         std::int64_t row,
                                                                         std::shared_ptr<NSError>* error) {
    MutexLock lock(mutex_);
    if (!store_) {
        fail(error, 134060, "no persistent store");
        return std::nullopt;
    }
    return store_->fetchRow(entity, row, error);
}

}  // namespace platform
