#pragma once

#include <cstdint>
#include <vector>

#include "platform/foundation/mutex.h"

namespace platform {

using SystemSoundID = std::uint32_t;

// The vibration a phone would make: a desktop has none, so it is only recorded.
constexpr SystemSoundID kSystemSoundID_Vibrate = 4095;
// A short click of our own.
constexpr SystemSoundID kSystemSoundID_Click = 1104;

// The platform's short system sounds. Every call is recorded, in order; a sound without a sound of
// ours (any but the click) stays silent.
class AudioServices {
public:
    static void playSystemSound(SystemSoundID sound);

    static std::vector<SystemSoundID> playedSystemSounds();
    static void forgetPlayedSystemSounds();
};

inline void AudioServicesPlaySystemSound(SystemSoundID sound) {
    AudioServices::playSystemSound(sound);
}

}  // namespace platform
