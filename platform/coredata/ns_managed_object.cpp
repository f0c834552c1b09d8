#include "platform/coredata/ns_managed_object.h"

#include "platform/coredata/ns_managed_object_context.h"

namespace platform {

NSManagedObject::NSManagedObject(std::shared_ptr<const NSEntityDescription> entity)
    : entity_(std::move(entity)) {
    objectID_.entityName = entity_->name();
    values_.reserve(entity_->attributes().size());
    for (const auto& attribute : entity_->attributes()) values_.push_back(attribute.defaultValue);
    changed_.assign(values_.size(), false);
}

Value NSManagedObject::valueForKey(const std::string& key) const {
    const auto index = entity_->indexOfAttribute(key);
    return index ? values_[*index] : Value();
}

void NSManagedObject::setValueForKey(const Value& value, const std::string& key) {
    const auto index = entity_->indexOfAttribute(key);
    if (!index) return;
    values_[*index] = value;
    if (!changed_[*index]) {
        changed_[*index] = true;
        ++changedCount_;
    }
    if (auto context = context_.lock()) context->objectDidChange(*this);
}

Value::Dictionary NSManagedObject::values() const {
    Value::Dictionary result;
    const auto& attributes = entity_->attributes();
    for (std::size_t i = 0; i < attributes.size(); ++i) result.emplace(attributes[i].name, values_[i]);
    return result;
}

void NSManagedObject::clearChanges() {
    changed_.assign(changed_.size(), false);
    changedCount_ = 0;
}

}  // namespace platform
