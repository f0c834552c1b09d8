#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/core/user_default_properties.h"

namespace quorvel {

// Restores the default ticking sound of a session kind whose chosen song left the media library.
class ChosenMusicCheck {
public:
    // A session kind's chosen song (a media-library URL ending in "id=<persistent ID>", or empty) and
    // the settings that replace it when it is gone.
    struct MusicSelection {
        std::string musicPath;
        std::vector<UserDefaultProperties> defaultProperties;
    };

    // Focus, short break, long break, as stored now.
    static std::vector<MusicSelection> storedSelections();
    // Nothing until the user has decided on the library's access.
    static void checkChosenMusic();
    static void verifyMusicSelection(const MusicSelection& selection);
    // The session kind's chosen song (focus, short break, long break) was found not to play when a
    // session started: while it is still the one chosen, the kind's default ticking sound takes its
    // place, the person is told once (chosenSongRefused) and the running session hears the default
    // (newTickingSoundSet).
    static void refuseChosenSong(std::size_t kind, const std::string& musicPath);

private:
    static void restoreDefaults(const MusicSelection& selection);
};

}  // namespace quorvel
