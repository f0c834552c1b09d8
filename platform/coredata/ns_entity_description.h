#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/value.h"

namespace platform {

class NSManagedObject;
class NSManagedObjectContext;

enum class NSAttributeType { Integer, Double, String, Date };

struct NSAttributeDescription {
    std::string name;
    NSAttributeType type = NSAttributeType::String;
    Value defaultValue;  // null when the model gives none
    bool indexed = false;
};

// One entity of a model: its name, the class its objects are made of and its attributes.
class NSEntityDescription {
public:
    NSEntityDescription(std::string name, std::string managedObjectClassName,
                        std::vector<NSAttributeDescription> attributes);

    const std::string& name() const { return name_; }
    const std::string& managedObjectClassName() const { return className_; }
    const std::vector<NSAttributeDescription>& attributes() const { return attributes_; }
    const NSAttributeDescription* attributeNamed(const std::string& name) const;
    std::optional<std::size_t> indexOfAttribute(const std::string& name) const;

    // Makes an object of the entity's class in the context and calls its awakeFromInsert().
    static std::shared_ptr<NSManagedObject> insertNewObjectForEntityForName(const std::string& entityName,
                                                                            NSManagedObjectContext& context);

private:
    std::string name_;
    std::string className_;
    std::vector<NSAttributeDescription> attributes_;
};

}  // namespace platform
