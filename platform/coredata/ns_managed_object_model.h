#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/coredata/ns_entity_description.h"
#include "platform/coredata/ns_managed_object.h"

namespace platform {

// The entities a store holds, read from a model folder ("<name>.momd") whose "model.xml" lists them:
//   <model version="2">
//     <entity name="Session" class="Session">
//       <attribute name="timestamp" type="date" indexed="yes"/>
//       <attribute name="duration" type="integer" default="0"/>
//     </entity>
//   </model>
// Types: integer, double, string, date. A store made by an older version gains the new entities and
// attributes when it is opened (see NSPersistentStoreCoordinator).
class NSManagedObjectModel {
public:
    // Makes an object of an entity, with its attributes' values in order, moved out of the span (none
    // for their defaults).
    using Factory = std::function<std::shared_ptr<NSManagedObject>(std::shared_ptr<const NSEntityDescription>,
                                                                   std::span<Value>)>;

    NSManagedObjectModel(int version, std::vector<std::shared_ptr<const NSEntityDescription>> entities);

    // None when the folder or its description is missing or malformed.
    static std::shared_ptr<NSManagedObjectModel> initWithContentsOfURL(const std::filesystem::path& url,
                                                                       std::string* error = nullptr);

    int versionNumber() const { return version_; }
    const std::vector<std::shared_ptr<const NSEntityDescription>>& entities() const { return entities_; }
    std::shared_ptr<const NSEntityDescription> entityNamed(const std::string& name) const;

    // The class an entity names is made through the factory registered under that name; an entity
    // whose class is not registered gets plain NSManagedObject objects.
    static void registerClass(const std::string& className, Factory factory);
    // The same for a class made with the entity and its values, as NSManagedObject is.
    template <typename ManagedObject>
    static void registerClass(const std::string& className) {
        registerClass(className, [](std::shared_ptr<const NSEntityDescription> entity, std::span<Value> values) {
            return std::make_shared<ManagedObject>(std::move(entity), values);
        });
    }
    static std::shared_ptr<NSManagedObject> makeObject(std::shared_ptr<const NSEntityDescription> entity);
    // The factory makeObject uses for the entity, for making many objects of it.
    static Factory factoryFor(const NSEntityDescription& entity);

private:
    int version_;
    std::vector<std::shared_ptr<const NSEntityDescription>> entities_;
};

}  // namespace platform
