#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/coredata/ns_fetch_request.h"
#include "platform/coredata/ns_managed_object.h"
#include "platform/coredata/ns_persistent_store_coordinator.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/ns_error.h"
#include "platform/foundation/ns_notification_center.h"

namespace platform {

enum class NSManagedObjectContextConcurrencyType { MainQueue, PrivateQueue };

// How a merge treats a property changed both in memory and in the store. Our saves write only the
// changed properties, so every policy merges property by property; the in-memory value wins.
enum class NSMergePolicy {
    Error,
    MergeByPropertyStoreTrump,
    MergeByPropertyObjectTrump,
    Overwrite,
    Rollback
};

// Posted on the saving thread after every successful save with changes; the object is an
// NSManagedObjectContextDidSave.
extern const NSNotificationName NSManagedObjectContextDidSaveNotification;
// Posted on the saving thread before a save with changes writes anything, whether it then succeeds
// or not; the object is an NSManagedObjectContextWillSave.
extern const NSNotificationName NSManagedObjectContextWillSaveNotification;

struct NSManagedObjectSnapshot {
    NSManagedObjectID objectID;
    Value::Dictionary values;
};

// What a save wrote, as copies, so another context on another thread can merge it.
struct NSManagedObjectContextDidSave {
    const void* context = nullptr;
    std::filesystem::path storeURL;
    std::vector<NSManagedObjectSnapshot> insertedObjects;
    std::vector<NSManagedObjectSnapshot> updatedObjects;
};

// The stored objects a save is about to change, so that what was derived from them can be dropped
// before the change is on disk.
struct NSManagedObjectContextWillSave {
    const void* context = nullptr;
    std::vector<NSManagedObjectID> updatedObjects;
};

// A scratch pad of objects over a coordinator: inserts and changes stay in memory until save()
// writes them in one transaction. A failed save keeps them for the next one. Use it on its own
// queue only (the main queue, or its private queue), through performBlock/performBlockAndWait
// from elsewhere.
class NSManagedObjectContext : public std::enable_shared_from_this<NSManagedObjectContext> {
public:
    static std::shared_ptr<NSManagedObjectContext> initWithConcurrencyType(
        NSManagedObjectContextConcurrencyType type);

    NSManagedObjectContextConcurrencyType concurrencyType() const { return type_; }
    void setPersistentStoreCoordinator(std::shared_ptr<NSPersistentStoreCoordinator> coordinator) {
        coordinator_ = std::move(coordinator);
    }
    const std::shared_ptr<NSPersistentStoreCoordinator>& persistentStoreCoordinator() const {
        return coordinator_;
    }
    void setMergePolicy(NSMergePolicy policy) { mergePolicy_ = policy; }
    NSMergePolicy mergePolicy() const { return mergePolicy_; }

    void performBlock(std::function<void()> block);
    // Runs the block on the context's queue and waits; on that queue already, runs it at once.
    void performBlockAndWait(const std::function<void()>& block);

    // Null when there is no coordinator or the model lacks the entity.
    std::shared_ptr<NSManagedObject> insertNewObjectForEntityForName(const std::string& entityName);

    // Stored objects that match, plus matching inserted objects not yet saved, sorted. None on failure.
    std::optional<std::vector<std::shared_ptr<NSManagedObject>>> executeFetchRequest(
        const NSFetchRequest& request, std::shared_ptr<NSError>* error = nullptr);
    // The same rows as values only, one at a time as they are read, without making an object or a
    // dictionary for any: `each` gets the values of the properties to fetch (every attribute when none
    // are named), in their order. Stored rows show their stored values; inserted objects not yet saved
    // come where the order puts them (after the stored rows when there is none). The store is being
    // read meanwhile: `each` must not use this context or its coordinator. False on failure, or when a
    // property is not the entity's.
    using PropertyValuesVisitor = std::function<void(const std::vector<Value>& values)>;
    bool enumerateFetchRequestForPropertyValues(const NSFetchRequest& request, const PropertyValuesVisitor& each,
                                                std::shared_ptr<NSError>* error = nullptr);

    // The stored object with the identifier: the one this context holds already, else read from the
    // store. Null when the store has no such row (`error` says why when the read failed).
    std::shared_ptr<NSManagedObject> existingObjectWithID(const NSManagedObjectID& objectID,
                                                          std::shared_ptr<NSError>* error = nullptr);

    bool hasChanges() const { return !inserted_.empty() || !updated_.empty(); }
    // The objects inserted and not yet saved, in the order of insertion.
    const std::vector<std::shared_ptr<NSManagedObject>>& insertedObjects() const { return inserted_; }
    bool save(std::shared_ptr<NSError>* error = nullptr);

    // Brings the context's objects up to date with another context's save to the same store. A
    // property changed here and not yet saved keeps its value here.
    void mergeChangesFromContextDidSaveNotification(const NSNotification& notification);

private:
    friend class NSManagedObject;
    explicit NSManagedObjectContext(NSManagedObjectContextConcurrencyType type);
    void objectDidChange(NSManagedObject& object);
    std::shared_ptr<const NSEntityDescription> entityForFetch(const NSFetchRequest& request,
                                                              std::shared_ptr<NSError>* error) const;
    // The inserted objects not yet saved that the request matches, when it includes pending changes.
    std::vector<std::shared_ptr<NSManagedObject>> pendingMatches(const NSFetchRequest& request,
                                                                 const NSEntityDescription& entity) const;
    std::shared_ptr<NSManagedObject> registeredObject(const NSManagedObjectID& id);
    void forgetReleasedObjects();

    NSManagedObjectContextConcurrencyType type_;
    std::shared_ptr<DispatchQueue> queue_;
    std::shared_ptr<NSPersistentStoreCoordinator> coordinator_;
    NSMergePolicy mergePolicy_ = NSMergePolicy::Error;
    std::vector<std::shared_ptr<NSManagedObject>> inserted_;
    std::map<NSManagedObject*, std::shared_ptr<NSManagedObject>> updated_;
    // By entity, then by row: fetches of many objects look them up one by one.
    std::map<std::string, std::unordered_map<std::int64_t, std::weak_ptr<NSManagedObject>>> registered_;
    std::size_t registrationsAfterSweep_ = 0;
};

}  // namespace platform
