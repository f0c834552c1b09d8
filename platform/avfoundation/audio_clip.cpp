#include "platform/avfoundation/audio_clip.h"

#include "platform/avfoundation/audio_output.h"

namespace platform {

AudioClip::~AudioClip() {
    AudioOutput::shared().freeChunk(chunk_);
}

}  // namespace platform
