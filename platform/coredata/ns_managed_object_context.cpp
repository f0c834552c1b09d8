#include "platform/coredata/ns_managed_object_context.h"

#include <algorithm>

namespace platform {

const NSNotificationName NSManagedObjectContextDidSaveNotification =
    "NSManagedObjectContextDidSaveNotification";
const NSNotificationName NSManagedObjectContextWillSaveNotification =
    "NSManagedObjectContextWillSaveNotification";

namespace {

constexpr const char* kDomain = "NSCocoaErrorDomain";

void fail(std::shared_ptr<NSError>* error, std::int64_t code, const std::string& reason) {
    if (error) *error = NSError::errorWithDomain(kDomain, code, {{NSLocalizedDescriptionKey, reason}});
}

// Orders two rows by the sort descriptors, given each row's value for the i-th descriptor; values that
// cannot be compared count as equal.
template <typename ValueOfA, typename ValueOfB>
bool precedes(const std::vector<NSSortDescriptor>& sorts, ValueOfA a, ValueOfB b) {
    for (std::size_t i = 0; i < sorts.size(); ++i) {
        const auto order = NSPredicate::compareValues(a(i), b(i));
        if (!order || *order == 0) continue;
        return sorts[i].ascending ? *order < 0 : *order > 0;
    }
    return false;
}

// Puts `pending` (in any order) into `sorted` (in the sort descriptors' order, as the store answers),
// where the order says; equal keys keep the stored ones first.
template <typename Row, typename Before>
void mergePending(std::vector<Row>& sorted, std::vector<Row> pending, Before before) {
    if (pending.empty()) return;
    std::stable_sort(pending.begin(), pending.end(), before);
    const auto middle = std::ptrdiff_t(sorted.size());
    sorted.insert(sorted.end(), std::make_move_iterator(pending.begin()), std::make_move_iterator(pending.end()));
    std::inplace_merge(sorted.begin(), sorted.begin() + middle, sorted.end(), before);
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

// A registration outlives its object and, as objects are made with their control block, holds the
// object's memory: the ones whose object is gone are dropped once they have doubled since the last
// sweep, so a context that saw millions of rows holds only what is still in use.
void NSManagedObjectContext::forgetReleasedObjects() {
    std::size_t registrations = 0;
    for (const auto& [entity, rows] : registered_) registrations += rows.size();
    if (registrations <= 2 * registrationsAfterSweep_ + 1024) return;
    registrations = 0;
    for (auto& [entity, rows] : registered_) {
        std::erase_if(rows, [](const auto& entry) { return entry.second.expired(); });
        registrations += rows.size();
    }
    registrationsAfterSweep_ = registrations;
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

std::shared_ptr<const NSEntityDescription> NSManagedObjectContext::entityForFetch(
    const NSFetchRequest& request, std::shared_ptr<NSError>* error) const {
    if (!coordinator_) {
        fail(error, 134060, "no persistent store coordinator");
        return nullptr;
    }
    auto entity = coordinator_->managedObjectModel()->entityNamed(request.entityName);
    if (!entity) fail(error, 134070, "the model has no entity " + request.entityName);
    return entity;
}

std::vector<std::shared_ptr<NSManagedObject>> NSManagedObjectContext::pendingMatches(
    const NSFetchRequest& request, const NSEntityDescription& entity) const {
    std::vector<std::shared_ptr<NSManagedObject>> matches;
    if (!request.includesPendingChanges) return matches;
    for (const auto& object : inserted_) {
        if (object->entity().name() != entity.name()) continue;
        if (request.predicate && !request.predicate->evaluateWithObject(*object)) continue;
        matches.push_back(object);
    }
    return matches;
}

std::optional<std::vector<std::shared_ptr<NSManagedObject>>> NSManagedObjectContext::executeFetchRequest(
    const NSFetchRequest& request, std::shared_ptr<NSError>* error) {
    auto entity = entityForFetch(request, error);
    if (!entity) return std::nullopt;
    forgetReleasedObjects();
    // Objects are made as the rows are read, each taking its row's values as they are.
    std::vector<std::shared_ptr<NSManagedObject>> objects;
    auto& registeredRows = registered_[entity->name()];
    const auto make = NSManagedObjectModel::factoryFor(*entity);
    const std::weak_ptr<NSManagedObjectContext> self = weak_from_this();
    const bool read = coordinator_->fetchEach(
        *entity, request.predicate.get(), request.sortDescriptors, nullptr,
        [&](std::int64_t row, std::vector<Value>& values) {
            auto& slot = registeredRows[row];
            auto object = slot.lock();
            if (!object) {
                object = make(entity, values);
                object->context_ = self;
                object->objectID_.row = row;
                slot = object;
            } else {
                for (std::size_t i = 0; i < values.size(); ++i) {
                    if (!object->isChanged(i)) object->values_[i] = std::move(values[i]);
                }
            }
            objects.push_back(std::move(object));
        },
        error);
    if (!read) return std::nullopt;
    const auto& sorts = request.sortDescriptors;
    mergePending(objects, pendingMatches(request, *entity), [&sorts](const auto& a, const auto& b) {
        return precedes(sorts, [&](std::size_t i) { return a->valueForKey(sorts[i].key); },
                        [&](std::size_t i) { return b->valueForKey(sorts[i].key); });
    });
    return objects;
}

bool NSManagedObjectContext::enumerateFetchRequestForPropertyValues(const NSFetchRequest& request,
                                                                    const PropertyValuesVisitor& each,
                                                                    std::shared_ptr<NSError>* error) {
    auto entity = entityForFetch(request, error);
    if (!entity) return false;
    // The columns read: the properties, then any sort key that is not one of them.
    std::vector<std::size_t> columns;
    auto columnOf = [&](const std::string& key) -> std::optional<std::size_t> {
        const auto index = entity->indexOfAttribute(key);
        if (!index) return std::nullopt;
        const auto found = std::find(columns.begin(), columns.end(), *index);
        if (found != columns.end()) return std::size_t(found - columns.begin());
        columns.push_back(*index);
        return columns.size() - 1;
    };
    std::vector<std::size_t> positions;
    if (request.propertiesToFetch.empty()) {
        for (const auto& attribute : entity->attributes()) positions.push_back(*columnOf(attribute.name));
    }
    for (const auto& name : request.propertiesToFetch) {
        const auto position = columnOf(name);
        if (!position) {
            fail(error, 134070, entity->name() + " has no property " + name);
            return false;
        }
        positions.push_back(*position);
    }
    std::vector<std::size_t> sortColumns;
    for (const auto& sort : request.sortDescriptors) {
        if (const auto column = columnOf(sort.key)) sortColumns.push_back(*column);
    }

    const auto& sorts = request.sortDescriptors;
    auto before = [&](const std::vector<Value>& a, const std::vector<Value>& b) {
        return precedes(sorts, [&](std::size_t i) -> const Value& { return a[sortColumns[i]]; },
                        [&](std::size_t i) -> const Value& { return b[sortColumns[i]]; });
    };
    std::vector<std::vector<Value>> pending;
    for (const auto& object : pendingMatches(request, *entity)) {
        std::vector<Value> row;
        for (std::size_t column : columns) row.push_back(object->attributeValues()[column]);
        pending.push_back(std::move(row));
    }
    std::stable_sort(pending.begin(), pending.end(), before);

    // Rows that hold exactly the properties, in order, are handed on as they are.
    bool asRead = positions.size() == columns.size();
    for (std::size_t i = 0; asRead && i < positions.size(); ++i) asRead = positions[i] == i;
    std::vector<Value> projected;
    auto handOn = [&](const std::vector<Value>& row) {
        if (asRead) return each(row);
        projected.clear();
        for (std::size_t position : positions) projected.push_back(row[position]);
        each(projected);
    };
    std::size_t nextPending = 0;
    const bool read = coordinator_->fetchEach(
        *entity, request.predicate.get(), sorts, &columns,
        [&](std::int64_t, std::vector<Value>& row) {
            // Equal keys keep the stored row first.
            while (nextPending < pending.size() && before(pending[nextPending], row)) handOn(pending[nextPending++]);
            handOn(row);
        },
        error);
    if (!read) return false;
    while (nextPending < pending.size()) handOn(pending[nextPending++]);
    return true;
}

std::shared_ptr<NSManagedObject> NSManagedObjectContext::existingObjectWithID(const NSManagedObjectID& objectID,
                                                                             std::shared_ptr<NSError>* error) {
    if (auto object = registeredObject(objectID)) return object;
    if (objectID.isTemporaryID()) return nullptr;
    auto entity = entityForFetch(NSFetchRequest::fetchRequestWithEntityName(objectID.entityName), error);
    if (!entity) return nullptr;
    auto values = coordinator_->fetchRow(*entity, objectID.row, error);
    if (!values) return nullptr;
    auto object = NSManagedObjectModel::factoryFor(*entity)(entity, *values);
    object->context_ = weak_from_this();
    object->objectID_.row = objectID.row;
    registered_[entity->name()][objectID.row] = object;
    forgetReleasedObjects();
    return object;
}

bool NSManagedObjectContext::save(std::shared_ptr<NSError>* error) {
    if (!hasChanges()) return true;
    if (!coordinator_) {
        fail(error, 134060, "no persistent store coordinator");
        return false;
    }
    std::vector<SQLiteStore::Insert> inserts;
    inserts.reserve(inserted_.size());
    for (const auto& object : inserted_) inserts.push_back({&object->entity(), object->values_});
    std::vector<SQLiteStore::Update> updates;
    NSManagedObjectContextWillSave willSave{this, {}};
    for (const auto& [raw, object] : updated_) {
        willSave.updatedObjects.push_back(object->objectID_);
        SQLiteStore::Update update{&object->entity(), object->objectID_.row, {}};
        const auto& attributes = object->entity().attributes();
        for (std::size_t i = 0; i < attributes.size(); ++i) {
            if (object->isChanged(i)) update.changes[attributes[i].name] = object->values_[i];
        }
        updates.push_back(std::move(update));
    }
    NSNotificationCenter::defaultCenter().postNotificationName(NSManagedObjectContextWillSaveNotification,
                                                               std::move(willSave));
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
    forgetReleasedObjects();
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
