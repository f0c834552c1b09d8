#include "platform/foundation/ns_bundle.h"

#include <cstdlib>
#include <system_error>

#include "platform/foundation/mutex.h"
#include "platform/foundation/property_list.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

struct MainSlot {
    Mutex mutex;
    std::shared_ptr<NSBundle> bundle GUARDED_BY(mutex);
};

MainSlot& mainSlot() {
    static auto* slot = new MainSlot();  // never destroyed: background queues ask for it until exit
    return *slot;
}

fs::path defaultResourcePath() {
    if (const char* resources = std::getenv("QUORVEL_RESOURCES"); resources && *resources) return resources;
    return QUORVEL_RESOURCES_DIR;
}

fs::path generatedResourcePath() {
#ifdef QUORVEL_GENERATED_DIR
    return fs::path(QUORVEL_GENERATED_DIR) / "resources";
#else
    return {};
#endif
}

Value::Dictionary readInfoDictionary(const fs::path& plist) {
    auto info = PropertyList::readFile(plist);
    if (!info || !info->dictionaryValue()) return {};
    return *info->dictionaryValue();
}

std::string identifierFrom(const Value::Dictionary& info) {
    auto entry = info.find("CFBundleIdentifier");
    if (entry == info.end() || !entry->second.stringValue() || entry->second.stringValue()->empty()) {
        return NSBundle::kFallbackBundleIdentifier;
    }
    return *entry->second.stringValue();
}

// A resource name is one entry of the folder, never a way out of it.
bool isPlainName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

}  // namespace

NSBundle::NSBundle(fs::path resourcePath, fs::path generatedResourcePath)
    : resourcePath_(std::move(resourcePath)),
      generatedResourcePath_(std::move(generatedResourcePath)),
      infoDictionary_(readInfoDictionary(resourcePath_ / "Info.plist")),
      bundleIdentifier_(identifierFrom(infoDictionary_)) {}

std::shared_ptr<NSBundle> NSBundle::mainBundle() {
    auto& slot = mainSlot();
    MutexLock lock(slot.mutex);
    if (!slot.bundle)
        slot.bundle = std::make_shared<NSBundle>(defaultResourcePath(), generatedResourcePath());
    return slot.bundle;
}

void NSBundle::setMainBundlePath(const fs::path& path) {
    auto& slot = mainSlot();
    MutexLock lock(slot.mutex);
    slot.bundle = path.empty() ? nullptr : std::make_shared<NSBundle>(path);
}

std::optional<fs::path> NSBundle::pathForResource(const std::string& name,
                                                  const std::string& extension) const {
    const std::string fileName = extension.empty() ? name : name + "." + extension;
    if (!isPlainName(name) || !isPlainName(fileName)) return std::nullopt;
    std::error_code code;
    for (const auto& folder : {resourcePath_, generatedResourcePath_}) {
        if (folder.empty()) continue;
        fs::path candidate = folder / fileName;
        if (fs::exists(candidate, code)) return candidate;
    }
    return std::nullopt;
}

}  // namespace platform
