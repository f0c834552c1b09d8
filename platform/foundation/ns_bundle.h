#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/value.h"

namespace platform {

// The app's resources folder in the role of the main bundle: $QUORVEL_RESOURCES, else the folder
// the build names. Resources are looked up by name and extension directly inside it, then in the
// folder of generated resources when there is one: the main bundle's is where the build's
// generators (the sounds) write theirs.
class NSBundle {
public:
    static constexpr const char* kFallbackBundleIdentifier = "com.brelloc.quorvel";

    explicit NSBundle(std::filesystem::path resourcePath, std::filesystem::path generatedResourcePath = {});

    static std::shared_ptr<NSBundle> mainBundle();
    // Points the main bundle at another folder (tests); an empty path goes back to the default.
    static void setMainBundlePath(const std::filesystem::path& path);

    const std::filesystem::path& resourcePath() const { return resourcePath_; }

    // The file or folder "name.extension" (just "name" for an empty extension); none when missing.
    std::optional<std::filesystem::path> pathForResource(const std::string& name,
                                                         const std::string& extension) const;
    std::optional<std::filesystem::path> URLForResource(const std::string& name,
                                                        const std::string& extension) const {
        return pathForResource(name, extension);
    }

    // The folder's Info.plist; empty when it is missing or unreadable.
    const Value::Dictionary& infoDictionary() const { return infoDictionary_; }
    // "CFBundleIdentifier" of the info dictionary, else kFallbackBundleIdentifier.
    const std::string& bundleIdentifier() const { return bundleIdentifier_; }

private:
    std::filesystem::path resourcePath_;
    std::filesystem::path generatedResourcePath_;
    Value::Dictionary infoDictionary_;
    std::string bundleIdentifier_;
};

}  // namespace platform
