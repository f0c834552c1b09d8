#include "platform/coredata/ns_managed_object.h"

#include "platform/coredata/ns_managed_object_context.h"

namespace platform {

namespace {

// Built where the object keeps them: a fetch makes many objects.
AttributeValues valuesOrDefaults(const NSEntityDescription& entity, std::span<Value> values) {
    const auto& attributes = entity.attributes();
    if (values.size() == attributes.size()) return AttributeValues(values);
    std::vector<Value> defaults;
    defaults.reserve(attributes.size());
    for (const auto& attribute : attributes) defaults.push_back(attribute.defaultValue);
    return AttributeValues(defaults);
}

}  // namespace

NSManagedObject::NSManagedObject(std::shared_ptr<const NSEntityDescription> entity, std::span<Value> values)
    : entity_(std::move(entity)), values_(valuesOrDefaults(*entity_, values)) {
    objectID_.entityName = entity_->name();
}

Value NSManagedObject::valueForKey(const std::string& key) const {
    const auto index = entity_->indexOfAttribute(key);
    return index ? values_[*index] : Value();
}

void NSManagedObject::setValueForKey(const Value& value, const std::string& key) {
    const auto index = entity_->indexOfAttribute(key);
    if (!index) return;
    values_[*index] = value;
    if (!changed_) changed_ = std::make_unique<bool[]>(values_.size());
    changed_[*index] = true;
    if (auto context = context_.lock()) context->objectDidChange(*this);
}

Value::Dictionary NSManagedObject::values() const {
    Value::Dictionary result;
    const auto& attributes = entity_->attributes();
    for (std::size_t i = 0; i < attributes.size(); ++i) result.emplace(attributes[i].name, values_[i]);
    return result;
}

void NSManagedObject::clearChanges() {
    changed_.reset();
}

}  // namespace platform
