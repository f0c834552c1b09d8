#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace platform {

extern const std::string& MPMediaItemPropertyPersistentID;
extern const std::string& MPMediaItemPropertyTitle;
// Boolean properties, read as "1" or "0".
extern const std::string& MPMediaItemPropertyIsCloudItem;
extern const std::string& MPMediaItemPropertyHasProtectedAsset;

// One song of the media library: a playable file under the user's music folder.
class MPMediaItem {
public:
    explicit MPMediaItem(std::filesystem::path file);

    // A stable 64-bit hash of the file's path, so a song keeps its identifier across runs.
    std::uint64_t persistentID() const { return persistentID_; }
    // The file URL (its path percent-encoded) with "?id=<persistent ID>" appended.
    std::string assetURL() const;
    // From the file's tags, else the file name without its extension.
    const std::string& title() const { return title_; }
    const std::filesystem::path& file() const { return file_; }
    // A probe of the file as it is now found that it decodes; false while that is not yet known.
    bool isKnownPlayable() const;
    // A file in the music folder is on this machine and free to play.
    bool isCloudItem() const { return false; }
    bool hasProtectedAsset() const { return false; }

    // The property's value as text ("" for a property the item does not have).
    std::string valueForProperty(const std::string& property) const;

    static std::uint64_t persistentIDForPath(const std::filesystem::path& file);

private:
    std::filesystem::path file_;
    std::uint64_t persistentID_;
    std::string title_;
};

}  // namespace platform
