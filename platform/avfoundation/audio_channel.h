#pragma once

#include <cstdint>
#include <memory>

namespace platform {

class AudioClip;
class SoundStream;

// One sounding of a clip, or of a file streamed, on a channel of the output device. Once the clip has ended or was stopped,
// the channel may serve another sound; every call then does nothing. Use it from one thread.
class AudioChannel {
public:
    AudioChannel(int channel, std::uint64_t generation, std::shared_ptr<AudioClip> clip,
                 std::shared_ptr<SoundStream> stream, bool looping);

    void pause();
    void resume();
    // Ends the sound at once; no finished callback follows.
    void stop();
    void setVolume(float volume);
    // Lets a looping sound finish the pass it is in, then end as if it had played once.
    void stopLoopingAfterThisPass();

    // Sound is coming out of this channel now: started, not paused, not yet ended.
    bool isSounding() const;
    bool isLooping() const { return looping_; }

private:
    double secondsPlayed() const;

    int channel_;
    std::uint64_t generation_;
    std::shared_ptr<AudioClip> clip_;
    std::shared_ptr<SoundStream> stream_;
    bool looping_;
    std::uint64_t startedAt_;  // SDL ticks (ms)
    std::uint64_t pausedAt_ = 0;
    std::uint64_t pausedFor_ = 0;
    bool paused_ = false;
};

}  // namespace platform
