#include "platform/avfoundation/audio_clip.h"

#include <SDL2/SDL_mixer.h>

namespace platform {

// Freeing a chunk halts every channel still playing it first.
AudioClip::~AudioClip() {
    Mix_FreeChunk(chunk_);
}

}  // namespace platform
