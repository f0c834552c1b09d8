#include "platform/coredata/ns_entity_description.h"

#include "platform/coredata/ns_managed_object_context.h"

namespace platform {

NSEntityDescription::NSEntityDescription(std::string name, std::string managedObjectClassName,
                                         std::vector<NSAttributeDescription> attributes)
    : name_(std::move(name)),
      className_(std::move(managedObjectClassName)),
      attributes_(std::move(attributes)) {}

const NSAttributeDescription* NSEntityDescription::attributeNamed(const std::string& name) const {
    for (const auto& attribute : attributes_) {
        if (attribute.name == name) return &attribute;
    }
    return nullptr;
}

std::optional<std::size_t> NSEntityDescription::indexOfAttribute(const std::string& name) const {
    for (std::size_t i = 0; i < attributes_.size(); ++i) {
        if (attributes_[i].name == name) return i;
    }
    return std::nullopt;
}

std::shared_ptr<NSManagedObject> NSEntityDescription::insertNewObjectForEntityForName(
    const std::string& entityName, NSManagedObjectContext& context) {
    return context.insertNewObjectForEntityForName(entityName);
}

}  // namespace platform
