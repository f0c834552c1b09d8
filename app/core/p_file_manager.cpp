#include "app/core/p_file_manager.h"

#include "platform/foundation/console.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_file_manager.h"

namespace quorvel {

std::shared_ptr<PFileManager> PFileManager::shared() {
    // Never destroyed: other threads may still use it while the process exits.
    static const auto* instance = new std::shared_ptr<PFileManager>(std::make_shared<PFileManager>());
    return *instance;
}

std::optional<std::filesystem::path> PFileManager::modelURL() const {
    return platform::NSBundle::mainBundle()->URLForResource("Pomodoro", "momd");
}

std::optional<std::filesystem::path> PFileManager::storeDirectoryURL() const {
    const auto urls = platform::NSFileManager::defaultManager()->URLsForDirectory(
        platform::NSSearchPathDirectory::ApplicationSupport, platform::NSSearchPathDomainMask::User);
    if (urls.empty()) return std::nullopt;
    return urls.front() / platform::NSBundle::mainBundle()->bundleIdentifier();
}

bool PFileManager::createStoreDirectory() const {
    const auto url = storeDirectoryURL();
    if (!url) {
        platform::Console::print("document path empty");
        return false;
    }
    return platform::NSFileManager::defaultManager()->createDirectoryAtURL(*url, true);
}

}  // namespace quorvel
