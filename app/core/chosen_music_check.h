#pragma once

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
};

}  // namespace quorvel
