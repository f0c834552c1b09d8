#include "platform/mediaplayer/mp_media_item.h"

#include "platform/foundation/percent_encoding.h"
#include "platform/mediaplayer/audio_file_tags.h"
#include "platform/mediaplayer/song_probes.h"

namespace platform {

const std::string& MPMediaItemPropertyPersistentID = *new std::string("persistentID");
const std::string& MPMediaItemPropertyTitle = *new std::string("title");
const std::string& MPMediaItemPropertyIsCloudItem = *new std::string("isCloudItem");
const std::string& MPMediaItemPropertyHasProtectedAsset = *new std::string("hasProtectedAsset");

MPMediaItem::MPMediaItem(std::filesystem::path file)
    : file_(std::move(file)), persistentID_(persistentIDForPath(file_)), title_(AudioFileTags::title(file_).value_or(file_.stem().string())) {}

std::uint64_t MPMediaItem::persistentIDForPath(const std::filesystem::path& file) {
    // FNV-1a: the same path gives the same number on every machine and in every run.
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : file.lexically_normal().string()) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

// The path percent-encoded, so a "?", "#" or "%" in a file name stays part of the path.
std::string MPMediaItem::assetURL() const {
    return "file://" + percentEncode(file_.string(), "/") + "?id=" + std::to_string(persistentID_);
}

std::string MPMediaItem::valueForProperty(const std::string& property) const {
    if (property == MPMediaItemPropertyPersistentID) return std::to_string(persistentID_);
    if (property == MPMediaItemPropertyTitle) return title_;
    if (property == MPMediaItemPropertyIsCloudItem) return isCloudItem() ? "1" : "0";
    if (property == MPMediaItemPropertyHasProtectedAsset) return hasProtectedAsset() ? "1" : "0";
    return {};
}

bool MPMediaItem::isKnownPlayable() const {
    return SongProbes::shared().answerFor(file_) == SongProbes::Answer::playable;
}

}  // namespace platform
