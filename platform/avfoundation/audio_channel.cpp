#include "platform/avfoundation/audio_channel.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <cmath>

#include "platform/avfoundation/audio_clip.h"
#include "platform/avfoundation/audio_output.h"
#include "platform/avfoundation/sound_stream.h"

namespace platform {

AudioChannel::AudioChannel(int channel, std::uint64_t generation, std::shared_ptr<AudioClip> clip,
                           std::shared_ptr<SoundStream> stream, bool looping)
    : channel_(channel),
      generation_(generation),
      clip_(std::move(clip)),
      stream_(std::move(stream)),
      looping_(looping),
      startedAt_(SDL_GetTicks64()) {}

void AudioChannel::pause() {
    if (paused_) return;
    auto& output = AudioOutput::shared();
    if (output.withChannel(channel_, generation_, [&] { Mix_Pause(channel_); })) {
        paused_ = true;
        pausedAt_ = SDL_GetTicks64();
        output.setPaused(channel_, generation_, true);
    }
}

void AudioChannel::resume() {
    if (!paused_) return;
    auto& output = AudioOutput::shared();
    output.setPaused(channel_, generation_, false);
    output.withChannel(channel_, generation_, [&] { Mix_Resume(channel_); });
    paused_ = false;
    pausedFor_ += SDL_GetTicks64() - pausedAt_;
}

void AudioChannel::stop() {
    AudioOutput::shared().halt(channel_, generation_);
}

void AudioChannel::setVolume(float volume) {
    AudioOutput::shared().withChannel(channel_, generation_,
                                      [&] { Mix_Volume(channel_, mixerVolume(volume)); });
}

void AudioChannel::stopLoopingAfterThisPass() {
    if (!looping_) return;
    looping_ = false;
    AudioOutput::shared().willEnd(channel_, generation_);
    // A stream knows where its pass ends; a clip's end is worked out from the time it has played.
    if (stream_) {
        stream_->stopLooping();
        return;
    }
    const double pass = clip_->duration();
    const double left = pass - std::fmod(secondsPlayed(), pass);
    const int milliseconds = std::max(1, static_cast<int>(std::lround(left * 1000)));
    AudioOutput::shared().withChannel(channel_, generation_,
                                      [&] { Mix_ExpireChannel(channel_, milliseconds); });
}

bool AudioChannel::isSounding() const {
    return AudioOutput::shared().isSounding(channel_, generation_);
}

double AudioChannel::secondsPlayed() const {
    const std::uint64_t now = paused_ ? pausedAt_ : SDL_GetTicks64();
    return static_cast<double>(now - startedAt_ - pausedFor_) / 1000.0;
}

}  // namespace platform
