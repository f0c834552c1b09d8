#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/coredata/ns_managed_object_context.h"
#include "platform/coredata/ns_managed_object_model.h"
#include "platform/coredata/ns_persistent_store_coordinator.h"

namespace quorvel::testing {

// Writes "<folder>/<name>.momd/model.xml" and returns the model folder.
inline std::filesystem::path writeModel(const std::filesystem::path& folder, const std::string& xml,
                                        const std::string& name = "Test") {
    const auto url = folder / (name + ".momd");
    std::filesystem::create_directories(url);
    std::ofstream(url / "model.xml") << xml;
    return url;
}

inline const char* kNoteModelV1 = R"(<model version="1">
  <entity name="Note" class="Note">
    <attribute name="stamp" type="date" indexed="yes"/>
    <attribute name="count" type="integer" default="0"/>
    <attribute name="title" type="string"/>
  </entity>
</model>)";

// A main-queue context over a store file of the model, with the options the app uses.
inline std::shared_ptr<platform::NSManagedObjectContext> openContext(
    const std::filesystem::path& modelURL, const std::filesystem::path& storeURL,
    platform::NSManagedObjectContextConcurrencyType type =
        platform::NSManagedObjectContextConcurrencyType::MainQueue,
    std::shared_ptr<platform::NSError>* error = nullptr, double timeout = 5.0) {
    auto model = platform::NSManagedObjectModel::initWithContentsOfURL(modelURL);
    if (!model) return nullptr;
    auto coordinator = std::make_shared<platform::NSPersistentStoreCoordinator>(model);
    coordinator->addPersistentStoreWithType(platform::NSSQLiteStoreType, std::nullopt, storeURL,
                                            {{platform::NSMigratePersistentStoresAutomaticallyOption, true},
                                             {platform::NSInferMappingModelAutomaticallyOption, true},
                                             {platform::NSPersistentStoreTimeoutOption, timeout}},
                                            error);
    auto context = platform::NSManagedObjectContext::initWithConcurrencyType(type);
    context->setPersistentStoreCoordinator(coordinator);
    context->setMergePolicy(platform::NSMergePolicy::MergeByPropertyObjectTrump);
    return context;
}

// A store file of 25,000 notes, more than a store checks before its first use, with its middle half
// overwritten.
inline void writeLargeDamagedStore(const std::filesystem::path& modelURL, const std::filesystem::path& storeURL) {
    {
        auto context = openContext(modelURL, storeURL);
        for (int i = 0; i < 25000; ++i)
            context->insertNewObjectForEntityForName("Note")->setValueForKey(std::string(200, 'n'), "title");
        context->save();
    }
    std::fstream bytes(storeURL, std::ios::in | std::ios::out | std::ios::binary);
    const auto size = std::filesystem::file_size(storeURL);
    bytes.seekp(static_cast<std::streamoff>(size / 4));
    bytes << std::string(size / 2, '\x5a');
}

}  // namespace quorvel::testing
