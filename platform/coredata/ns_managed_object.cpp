#include "platform/coredata/ns_managed_object.h"

#include "platform/coredata/ns_managed_object_context.h"

namespace platform {

NSManagedObject::NSManagedObject(std::shared_ptr<const NSEntityDescription> entity)
    : entity_(std::move(entity)) {
    objectID_.entityName = entity_->name();
    for (const auto& attribute : entity_->attributes()) values_[attribute.name] = attribute.defaultValue;
}

Value NSManagedObject::valueForKey(const std::string& key) const {
    const auto found = values_.find(key);
    return found == values_.end() ? Value() : found->second;
}

void NSManagedObject::setValueForKey(const Value& value, const std::string& key) {
    if (!entity_->attributeNamed(key)) return;
    values_[key] = value;
    changedKeys_.insert(key);
    if (auto context = context_.lock()) context->objectDidChange(*this);
}

}  // namespace platform
