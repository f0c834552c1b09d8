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
    // A chosen song was found not to play when a session started: every session kind that still chose
    // it gets its default ticking sound back at once, the person is told once, naming the song and each
    // of those settings (chosenSongRefused), and the running session hears the default
    // (newTickingSoundSet). A song no kind chooses any more is nothing to tell.
    static void refuseChosenSong(const std::string& musicPath);

private:
    static void restoreDefaults(const MusicSelection& selection);
    static void synchronizeBothSuites();
};

}  // namespace quorvel
