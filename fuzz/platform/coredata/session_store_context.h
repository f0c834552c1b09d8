#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/coredata/ns_managed_object_context.h"
#include "platform/coredata/ns_persistent_store_coordinator.h"

namespace quorvel::fuzzing {

// The app's session model, from the source tree.
inline std::filesystem::path sessionModel() {
    return QUORVEL_SESSION_MODEL;
}

// A context over the session store at `store`, opened as the app opens it; its saves fail when the
// store could not be added.
inline std::shared_ptr<platform::NSManagedObjectContext> openSessionStore(
    const std::filesystem::path& store) {
    auto model = platform::NSManagedObjectModel::initWithContentsOfURL(sessionModel());
    if (!model) return nullptr;
    auto coordinator = std::make_shared<platform::NSPersistentStoreCoordinator>(model);
    coordinator->addPersistentStoreWithType(platform::NSSQLiteStoreType, std::nullopt, store,
                                            {{platform::NSMigratePersistentStoresAutomaticallyOption, true},
                                             {platform::NSInferMappingModelAutomaticallyOption, true}});
    auto context = platform::NSManagedObjectContext::initWithConcurrencyType(
        platform::NSManagedObjectContextConcurrencyType::PrivateQueue);
    context->setPersistentStoreCoordinator(coordinator);
    return context;
}

// Every value of every object of `entity`, read; the unique identifiers of those that have one.
inline std::vector<std::string> readAll(platform::NSManagedObjectContext& context,
                                        const std::string& entity) {
    std::vector<std::string> identifiers;
    const auto objects =
        context.executeFetchRequest(platform::NSFetchRequest::fetchRequestWithEntityName(entity));
    if (!objects) return identifiers;
    for (const auto& object : *objects) {
        for (const auto& [name, value] : object->values()) (void)value.numberValue();
        const auto id = object->valueForKey("uniqueIdentifier");
        if (id.stringValue()) identifiers.push_back(*id.stringValue());
    }
    return identifiers;
}

}  // namespace quorvel::fuzzing
