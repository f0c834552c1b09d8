#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "platform/mediaplayer/mp_media_item.h"

namespace platform {

enum class MPMediaLibraryAuthorizationStatus : int { notDetermined = 0, denied = 1, restricted = 2, authorized = 3 };

// The user's music: the playable files under the music folder ($XDG_MUSIC_DIR, else ~/Music). Nothing
// lies in a cloud or is protected, and the app may always read it.
class MPMediaLibrary {
public:
    static MPMediaLibraryAuthorizationStatus authorizationStatus();

    static std::filesystem::path musicFolder();
    // Tests: the folder to read instead; empty returns to the user's.
    static void setMusicFolderForTesting(const std::filesystem::path& folder);

    // Every song, in path order; none when the folder cannot be read (an unplugged drive is not an
    // empty library).
    static std::optional<std::vector<std::shared_ptr<MPMediaItem>>> songs();
};

}  // namespace platform
