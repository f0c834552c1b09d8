#include "platform/coredata/ns_managed_object_model.h"

#include <pugixml.hpp>

#include <cmath>
#include <map>
#include <set>

#include "platform/coredata/ns_managed_object.h"
#include "platform/foundation/mutex.h"

namespace platform {

namespace {

// The classes registered for entities, by class name.
struct ClassRegistry {
    Mutex mutex;
    std::map<std::string, NSManagedObjectModel::Factory> factories GUARDED_BY(mutex);
};

ClassRegistry& classRegistry() {
    static auto* registry = new ClassRegistry();  // never destroyed: used until exit
    return *registry;
}

std::optional<NSAttributeType> attributeType(const std::string& text) {
    if (text == "integer") return NSAttributeType::Integer;
    if (text == "double") return NSAttributeType::Double;
    if (text == "string") return NSAttributeType::String;
    if (text == "date") return NSAttributeType::Date;
    return std::nullopt;
}

std::optional<Value> defaultValue(NSAttributeType type, const char* text) {
    const std::string s = text;
    if (s.empty()) return Value();
    char* end = nullptr;
    switch (type) {
        case NSAttributeType::Integer: {
            const long long number = std::strtoll(s.c_str(), &end, 10);
            if (*end) return std::nullopt;
            return Value(static_cast<std::int64_t>(number));
        }
        case NSAttributeType::Double:
        case NSAttributeType::Date: {
            const double number = std::strtod(s.c_str(), &end);
            if (*end || !std::isfinite(number)) return std::nullopt;
            return type == NSAttributeType::Date ? Value(NSDate(number)) : Value(number);
        }
        case NSAttributeType::String:
            return Value(s);
    }
    return std::nullopt;
}

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

}  // namespace

NSManagedObjectModel::NSManagedObjectModel(int version,
                                           std::vector<std::shared_ptr<const NSEntityDescription>> entities)
    : version_(version), entities_(std::move(entities)) {}

std::shared_ptr<NSManagedObjectModel> NSManagedObjectModel::initWithContentsOfURL(
    const std::filesystem::path& url, std::string* error) {
    pugi::xml_document document;
    const auto file = url / "model.xml";
    const auto parsed = document.load_file(file.c_str());
    if (!parsed) {
        fail(error, file.string() + ": " + parsed.description());
        return nullptr;
    }
    const auto root = document.child("model");
    const int version = root.attribute("version").as_int(0);
    if (!root || version < 1) {
        fail(error, file.string() + ": no <model> with a version of 1 or more");
        return nullptr;
    }
    std::vector<std::shared_ptr<const NSEntityDescription>> entities;
    std::set<std::string> entityNames;
    for (const auto& entityNode : root.children("entity")) {
        const std::string name = entityNode.attribute("name").as_string();
        if (name.empty() || !entityNames.insert(name).second) {
            fail(error, file.string() + ": an entity without a name or named twice: " + name);
            return nullptr;
        }
        std::vector<NSAttributeDescription> attributes;
        std::set<std::string> attributeNames;
        for (const auto& node : entityNode.children("attribute")) {
            NSAttributeDescription attribute;
            attribute.name = node.attribute("name").as_string();
            const auto type = attributeType(node.attribute("type").as_string());
            if (attribute.name.empty() || attribute.name.front() == '_' || !type ||
                !attributeNames.insert(attribute.name).second) {
                fail(error, file.string() + ": bad attribute \"" + attribute.name + "\" of " + name);
                return nullptr;
            }
            attribute.type = *type;
            const auto value = defaultValue(*type, node.attribute("default").as_string());
            if (!value) {
                fail(error, file.string() + ": bad default of " + name + "." + attribute.name);
                return nullptr;
            }
            attribute.defaultValue = *value;
            attribute.indexed = std::string(node.attribute("indexed").as_string()) == "yes";
            attributes.push_back(std::move(attribute));
        }
        const std::string className = entityNode.attribute("class").as_string(name.c_str());
        entities.push_back(std::make_shared<NSEntityDescription>(name, className, std::move(attributes)));
    }
    return std::make_shared<NSManagedObjectModel>(version, std::move(entities));
}

std::shared_ptr<const NSEntityDescription> NSManagedObjectModel::entityNamed(const std::string& name) const {
    for (const auto& entity : entities_) {
        if (entity->name() == name) return entity;
    }
    return nullptr;
}

void NSManagedObjectModel::registerClass(const std::string& className, Factory factory) {
    auto& registry = classRegistry();
    MutexLock lock(registry.mutex);
    registry.factories[className] = std::move(factory);
}

std::shared_ptr<NSManagedObject> NSManagedObjectModel::makeObject(
    std::shared_ptr<const NSEntityDescription> entity) {
    return factoryFor(*entity)(std::move(entity), {});
}

NSManagedObjectModel::Factory NSManagedObjectModel::factoryFor(const NSEntityDescription& entity) {
    {
        auto& registry = classRegistry();
        MutexLock lock(registry.mutex);
        const auto found = registry.factories.find(entity.managedObjectClassName());
        if (found != registry.factories.end()) return found->second;
    }
    return [](std::shared_ptr<const NSEntityDescription> plain, std::span<Value> values) {
        return std::make_shared<NSManagedObject>(std::move(plain), values);
    };
}

}  // namespace platform
