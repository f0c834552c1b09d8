#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "platform/coredata/ns_entity_description.h"
#include "platform/foundation/value.h"

namespace platform {

class NSManagedObjectContext;

// Identifies a stored object within its store: the entity and its row. Not yet saved objects have a
// temporary identifier (row 0) that becomes permanent when their context saves.
struct NSManagedObjectID {
    std::string entityName;
    std::int64_t row = 0;

    bool isTemporaryID() const { return row == 0; }
    auto operator<=>(const NSManagedObjectID&) const = default;
};

// A record of an entity, owned by one context and used only on that context's queue. Subclasses
// (named by the model) override awakeFromInsert() to fill in values when a new object is inserted.
class NSManagedObject : public std::enable_shared_from_this<NSManagedObject> {
public:
    explicit NSManagedObject(std::shared_ptr<const NSEntityDescription> entity);
    virtual ~NSManagedObject() = default;

    // Called once, right after the object is inserted into a context.
    virtual void awakeFromInsert() {}

    const NSEntityDescription& entity() const { return *entity_; }
    const std::shared_ptr<const NSEntityDescription>& entityPointer() const { return entity_; }
    const NSManagedObjectID& objectID() const { return objectID_; }
    std::shared_ptr<NSManagedObjectContext> managedObjectContext() const { return context_.lock(); }

    // Null for an unknown key or a value never set.
    Value valueForKey(const std::string& key) const;
    // Our keys are plain attribute names, so a key path is one key.
    Value valueForKeyPath(const std::string& keyPath) const { return valueForKey(keyPath); }
    // Unknown keys are ignored. Marks the object changed in its context.
    void setValueForKey(const Value& value, const std::string& key);

    bool isInserted() const { return inserted_; }
    bool isUpdated() const { return !inserted_ && !changedKeys_.empty(); }
    bool hasChanges() const { return inserted_ || !changedKeys_.empty(); }
    const Value::Dictionary& values() const { return values_; }

private:
    friend class NSManagedObjectContext;

    std::shared_ptr<const NSEntityDescription> entity_;
    std::weak_ptr<NSManagedObjectContext> context_;
    NSManagedObjectID objectID_;
    Value::Dictionary values_;
    std::set<std::string> changedKeys_;
    bool inserted_ = false;
};

}  // namespace platform
