#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/coredata/attribute_values.h"
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
    // With every attribute's value in order (moved out of `values`) an object as a store holds it;
    // without, with the attributes' defaults.
    explicit NSManagedObject(std::shared_ptr<const NSEntityDescription> entity, std::span<Value> values = {});
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
    bool isUpdated() const { return !inserted_ && changed_; }
    bool hasChanges() const { return inserted_ || changed_; }
    // Every attribute's value by name (null where unset).
    Value::Dictionary values() const;
    // The same in the order of the entity's attributes.
    std::span<const Value> attributeValues() const { return values_; }

private:
    friend class NSManagedObjectContext;

    std::shared_ptr<const NSEntityDescription> entity_;
    std::weak_ptr<NSManagedObjectContext> context_;
    NSManagedObjectID objectID_;
    bool isChanged(std::size_t attribute) const {
        return changed_ && attribute < values_.size() && changed_[attribute];
    }
    void clearChanges();

    // By attribute index: many objects are fetched at a time, so no map per object, and no changes
    // kept until there is one. Kept small, as a fetch of many objects outgrows the caches.
    AttributeValues values_;
    std::unique_ptr<bool[]> changed_;  // one per value, made at the first change
    bool inserted_ = false;
};

}  // namespace platform
