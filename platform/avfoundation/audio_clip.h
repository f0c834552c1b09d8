#pragma once

struct Mix_Chunk;

namespace platform {

// A whole sound decoded into the output device's format, ready to play on any channel.
class AudioClip {
public:
    AudioClip(Mix_Chunk* chunk, double duration) : chunk_(chunk), duration_(duration) {}
    ~AudioClip();
    AudioClip(const AudioClip&) = delete;
    AudioClip& operator=(const AudioClip&) = delete;

    Mix_Chunk* chunk() const { return chunk_; }
    // Seconds of sound in one pass.
    double duration() const { return duration_; }

private:
    Mix_Chunk* chunk_;
    double duration_;
};

}  // namespace platform
