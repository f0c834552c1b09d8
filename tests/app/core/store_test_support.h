#pragma once

#include <filesystem>

#include "app/core/core_data_manager.h"
#include "app/core/p_file_manager.h"
#include "platform/foundation/ns_bundle.h"

namespace quorvel::testing {

// Points the main bundle at a folder for one test and back afterwards.
struct MainBundleAt {
    explicit MainBundleAt(const std::filesystem::path& folder) {
        platform::NSBundle::setMainBundlePath(folder);
    }
    ~MainBundleAt() { platform::NSBundle::setMainBundlePath({}); }
};

// The session store as a process finds it before the launch sets it up, for one case, and so again
// when the case ends.
struct FreshStore {
    FreshStore() { CoreDataManager::resetSharedForTesting(); }
    ~FreshStore() { CoreDataManager::resetSharedForTesting(); }
    FreshStore(const FreshStore&) = delete;
    FreshStore& operator=(const FreshStore&) = delete;
};

// Start-up's store steps: set up the store, fetch or insert the NumberHolder, save.
inline void launchStore() {
    auto manager = CoreDataManager::shared();
    manager->setUpStore();
    if (auto context = CoreDataManager::context())
        manager->setNumberHolder(NumberHolder::fetchOrInsert(*context));
    manager->save();
}

inline std::filesystem::path storeFile() {
    return *PFileManager::shared()->storeDirectoryURL() / "store.sqlite";
}

}  // namespace quorvel::testing
