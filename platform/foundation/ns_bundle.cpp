#include "platform/foundation/ns_bundle.h"

#include <pugixml.hpp>

#include <cstdlib>
#include <mutex>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

namespace {

std::mutex mainMutex;
std::shared_ptr<NSBundle> mainInstance;

fs::path defaultResourcePath() {
    if (const char* resources = std::getenv("QUORVEL_RESOURCES"); resources && *resources) return resources;
    return QUORVEL_RESOURCES_DIR;
}

// A resource name is one entry of the folder, never a way out of it.
bool isPlainName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
}

}  // namespace

NSBundle::NSBundle(fs::path resourcePath)
    : resourcePath_(std::move(resourcePath)),
      bundleIdentifier_(readBundleIdentifierKeyFromInfoPlist(resourcePath_ / "Info.plist")
                            .value_or(kFallbackBundleIdentifier)) {}

std::shared_ptr<NSBundle> NSBundle::mainBundle() {
    std::lock_guard lock(mainMutex);
    if (!mainInstance) mainInstance = std::make_shared<NSBundle>(defaultResourcePath());
    return mainInstance;
}

void NSBundle::setMainBundlePath(const fs::path& path) {
    std::lock_guard lock(mainMutex);
    mainInstance = path.empty() ? nullptr : std::make_shared<NSBundle>(path);
}

std::optional<fs::path> NSBundle::pathForResource(const std::string& name,
                                                  const std::string& extension) const {
    const std::string fileName = extension.empty() ? name : name + "." + extension;
    if (!isPlainName(name) || !isPlainName(fileName)) return std::nullopt;
    fs::path candidate = resourcePath_ / fileName;
    std::error_code code;
    if (!fs::exists(candidate, code)) return std::nullopt;
    return candidate;
}

std::optional<std::string> NSBundle::readBundleIdentifierKeyFromInfoPlist(const fs::path& plist) {
    pugi::xml_document document;
    if (!document.load_file(plist.c_str())) return std::nullopt;
    for (pugi::xml_node node : document.child("plist").child("dict").children("key")) {
        if (std::string_view(node.text().get()) != "CFBundleIdentifier") continue;
        const pugi::xml_node value = node.next_sibling();
        if (std::string_view(value.name()) != "string" || *value.text().get() == '\0') return std::nullopt;
        return value.text().get();
    }
    return std::nullopt;
}

}  // namespace platform
