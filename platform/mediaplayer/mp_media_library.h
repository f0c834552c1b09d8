#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/foundation/ns_notification_center.h"
#include "platform/mediaplayer/mp_media_item.h"

namespace platform {

// Posted on the main queue when a song leaves the library: a probe found that it does not decode.
extern const NSNotificationName MPMediaLibraryDidChangeNotification;

enum class MPMediaLibraryAuthorizationStatus : int { notDetermined = 0, denied = 1, restricted = 2, authorized = 3 };

// The user's music: the playable files under the music folder ($XDG_MUSIC_DIR, else ~/Music). Nothing
// lies in a cloud or is protected, and the app may always read it (a desktop asks no one).
class MPMediaLibrary {
public:
    static MPMediaLibraryAuthorizationStatus authorizationStatus();
    // Asks for access; the handler hears the decision on a global queue, never on the caller's thread.
    static void requestAuthorization(std::function<void(MPMediaLibraryAuthorizationStatus)> handler);
    // Tests: the status until access is asked for, and the decision the request then gives. Both
    // authorised by default.
    static void setAuthorizationForTesting(MPMediaLibraryAuthorizationStatus current,
                                           MPMediaLibraryAuthorizationStatus decision);

    static std::filesystem::path musicFolder();
    // Tests: the folder to read instead; empty returns to the user's.
    static void setMusicFolderForTesting(const std::filesystem::path& folder);

    // Every song, in path order; none when the folder cannot be read (an unplugged drive is not an
    // empty library). Returns at once: a sound file not yet probed is listed, and leaves the list (with
    // a console line and MPMediaLibraryDidChangeNotification) if its probe finds it does not decode.
    static std::optional<std::vector<std::shared_ptr<MPMediaItem>>> songs();
};

}  // namespace platform
