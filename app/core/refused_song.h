#pragma once

#include <string>
#include <vector>

#include "app/core/sound_vocabulary.h"

namespace quorvel {

// A chosen song found not to play, told once: its file name and every ticking setting that went back
// to its default sound because it had chosen that song.
struct RefusedSong {
    std::string fileName;
    std::vector<SoundOptionFunction::TickingSoundType> settingsRestored;
};

}  // namespace quorvel
