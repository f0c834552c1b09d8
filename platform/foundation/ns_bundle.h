#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// The app's resources folder in the role of the main bundle: $QUORVEL_RESOURCES, else the folder
// the build names. Resources are looked up by name and extension directly inside it.
class NSBundle {
  public:
    static constexpr const char* kFallbackBundleIdentifier = "com.brelloc.quorvel";

    explicit NSBundle(std::filesystem::path resourcePath);

    static std::shared_ptr<NSBundle> mainBundle();
    // Points the main bundle at another folder (tests); an empty path goes back to the default.
    static void setMainBundlePath(const std::filesystem::path& path);

    const std::filesystem::path& bundlePath() const { return resourcePath_; }
    const std::filesystem::path& resourcePath() const { return resourcePath_; }

    // The file or folder "name.extension" (just "name" for an empty extension); none when missing.
    std::optional<std::filesystem::path> pathForResource(const std::string& name,
                                                         const std::string& extension) const;
    std::optional<std::filesystem::path> URLForResource(const std::string& name,
                                                        const std::string& extension) const {
        return pathForResource(name, extension);
    }

    // "CFBundleIdentifier" of the folder's Info.plist, else kFallbackBundleIdentifier.
    const std::string& bundleIdentifier() const { return bundleIdentifier_; }

  private:
    // Stop-gap until the property-list reader exists: reads this one key from Info.plist and nothing else.
    static std::optional<std::string> readBundleIdentifierKeyFromInfoPlist(
        const std::filesystem::path& plist);

    std::filesystem::path resourcePath_;
    std::string bundleIdentifier_;
};

}  // namespace platform
