#include "platform/coredata/ns_managed_object_context.h"

#include <algorithm>

namespace platform {

const NSNotificationName NSManagedObjectContextDidSaveNotification =
    "NSManagedObjectContextDidSaveNotification";

namespace {

constexpr const char* kDomain = "NSCocoaErrorDomain";

void fail(std::shared_ptr<NSError>* error, std::int64_t code, const std::string& reason) {
    if (error) *error = NSError::errorWithDomain(kDomain, code, {{NSLocalizedDescriptionKey, reason}});
}

// Orders two objects by the sort descriptors; values that cannot be compared count as equal.
bool precedes(const NSManagedObject& a, const NSManagedObject& b,
              const std::vector<NSSortDescriptor>& sorts) {
    for (const auto& sort : sorts) {
        const auto order = NSPredicate::compareValues(a.valueForKey(sort.key), b.valueForKey(sort.key));
        if (!order || *order == 0) continue;
        return sort.ascending ? *order < 0 : *order > 0;
    }
    return false;
}

}  // namespace

NSManagedObjectContext::NSManagedObjectContext(NSManagedObjectContextConcurrencyType type)
    : type_(type),
      queue_(type == NSManagedObjectContextConcurrencyType::MainQueue
                 ? DispatchQueue::main()
                 : DispatchQueue::createSerial("NSManagedObjectContext")) {}

std::shared_ptr<NSManagedObjectContext> NSManagedObjectContext::initWithConcurrencyType(
    NSManagedObjectContextConcurrencyType type) {
    return std::shared_ptr<NSManagedObjectContext>(new NSManagedObjectContext(type));
}

void NSManagedObjectContext::performBlock(std::function<void()> block) {
    queue_->async([self = shared_from_this(), block = std::move(block)] { block(); });
}

void NSManagedObjectContext::performBlockAndWait(const std::function<void()>& block) {
    if (queue_->isCurrent()) {
        block();
        return;
    }
    queue_->sync(block);
}

std::shared_ptr<NSManagedObject> NSManagedObjectContext::insertNewObjectForEntityForName(
    const std::string& entityName) {
    if (!coordinator_) return nullptr;
    auto entity = coordinator_->managedObjectModel()->entityNamed(entityName);
    if (!entity) return nullptr;
    auto object = NSManagedObjectModel::makeObject(std::move(entity));
    object->context_ = weak_from_this();
    object->inserted_ = true;
    inserted_.push_back(object);
    object->awakeFromInsert();
    return object;
}

void NSManagedObjectContext::objectDidChange(NSManagedObject& object) {
    if (!object.inserted_) updated_[&object] = object.shared_from_this();
}

std::shared_ptr<NSManagedObject> NSManagedObjectContext::registeredObject(const NSManagedObjectID& id) {
    const auto rows = registered_.find(id.entityName);
    if (rows == registered_.end()) return nullptr;
    const auto found = rows->second.find(id.row);
    if (found == rows->second.end()) return nullptr;
    auto object = found->second.lock();
    if (!object) rows->second.erase(found);
    return object;
}

std::optional<std::vector<std::shared_ptr<NSManagedObject>>> NSManagedObjectContext::executeFetchRequest(
    const NSFetchRequest& request, std::shared_ptr<NSError>* error) {
    if (!coordinator_) {
        fail(error, 134060, "no persistent store coordinator");
        return std::nullopt;
    }
    auto entity = coordinator_->managedObjectModel()->entityNamed(request.entityName);
    if (!entity) {
        fail(error, 134070, "the model has no entity " + request.entityName);
        return std::nullopt;
    }
    auto rows = coordinator_->fetch(*entity, request.predicate.get(), request.sortDescriptors, error);
    if (!rows) return std::nullopt;

    std::vector<std::shared_ptr<NSManagedObject>> objects;
    objects.reserve(rows->size());
    auto& registeredRows = registered_[entity->name()];
    for (auto& row : *rows) {
        auto& slot = registeredRows[row.row];
        auto object = slot.lock();
        const bool known = object != nullptr;
        if (!known) {
            object = NSManagedObjectModel::makeObject(entity);
            object->context_ = weak_from_this();
            object->objectID_.row = row.row;
            slot = object;
        }
        // The object's map holds every attribute already, so this only assigns values.
        const auto& attributes = entity->attributes();
        for (std::size_t i = 0; i < attributes.size(); ++i) {
            if (known && object->isChanged(i)) continue;
            object->values_[i] = std::move(row.values[i]);
        }
        objects.push_back(std::move(object));
    }
    bool addedPending = false;
    for (const auto& object : inserted_) {
        if (object->entity().name() != entity->name()) continue;
        if (request.predicate && !request.predicate->evaluateWithObject(*object)) continue;
        objects.push_back(object);
        addedPending = true;
    }
    if (addedPending) {
        std::stable_sort(objects.begin(), objects.end(), [&](const auto& a, const auto& b) {
            return precedes(*a, *b, request.sortDescriptors);
        });
    }
    return objects;
}

bool NSManagedObjectContext::save(std::shared_ptr<NSError>* error) {
    if (!hasChanges()) return true;
    if (!coordinator_) {
        fail(error, 134060, "no persistent store coordinator");
        return false;
    }
    std::vector<SQLiteStore::Insert> inserts;
    inserts.reserve(inserted_.size());
    for (const auto& object : inserted_) inserts.push_back({&object->entity(), &object->values_});
    std::vector<SQLiteStore::Update> updates;
    for (const auto& [raw, object] : updated_) {
        SQLiteStore::Update update{&object->entity(), object->objectID_.row, {}};
        const auto& attributes = object->entity().attributes();
        for (std::size_t i = 0; i < attributes.size(); ++i) {
            if (object->isChanged(i)) update.changes[attributes[i].name] = object->values_[i];
        }
        updates.push_back(std::move(update));
    }
    const auto rows = coordinator_->save(inserts, updates, error);
    if (!rows) return false;

    NSManagedObjectContextDidSave saved{this, coordinator_->storeURL(), {}, {}};
    for (std::size_t i = 0; i < inserted_.size(); ++i) {
        auto& object = *inserted_[i];
        object.objectID_.row = (*rows)[i];
        object.inserted_ = false;
        object.clearChanges();
        registered_[object.objectID_.entityName][object.objectID_.row] = inserted_[i];
        saved.insertedObjects.push_back({object.objectID_, object.values()});
    }
    for (const auto& [raw, object] : updated_) {
        object->clearChanges();
        saved.updatedObjects.push_back({object->objectID_, object->values()});
    }
    inserted_.clear();
    updated_.clear();
    NSNotificationCenter::defaultCenter().postNotificationName(NSManagedObjectContextDidSaveNotification,
                                                               std::move(saved));
    return true;
}

void NSManagedObjectContext::mergeChangesFromContextDidSaveNotification(const NSNotification& notification) {
    const auto* saved = notification.objectAs<NSManagedObjectContextDidSave>();
    if (!saved || saved->context == this || !coordinator_ || saved->storeURL != coordinator_->storeURL())
        return;
    for (const auto* list : {&saved->insertedObjects, &saved->updatedObjects}) {
        for (const auto& snapshot : *list) {
            auto object = registeredObject(snapshot.objectID);
            if (!object) continue;
            for (const auto& [key, value] : snapshot.values) {
                const auto index = object->entity().indexOfAttribute(key);
                if (index && !object->isChanged(*index)) object->values_[*index] = value;
            }
        }
    }
}

}  // namespace platform
