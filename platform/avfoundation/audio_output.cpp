#include "platform/avfoundation/audio_output.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/avfoundation/audio_channel.h"
#include "platform/avfoundation/audio_clip.h"
#include "platform/avfoundation/silent_loop_check.h"
#include "platform/avfoundation/sound_stream.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"

namespace platform {

namespace {

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// The ALSA library prints every step of its failure on a machine without a sound card to stderr; the
// console's one line says all a person needs. Looked up at run time: SDL may load the library itself,
// or not use it at all.
void silenceAlsaErrors() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    void* alsa = dlopen("libasound.so.2", RTLD_NOW);
    if (!alsa) return;
    if (auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"))) set(ignoreAlsaError);
}

// The device the mixer opened, which it keeps to itself: the process's one open output, playing.
SDL_AudioDeviceID mixerDevice() {
    constexpr SDL_AudioDeviceID kFirstOpened = 2;  // 1 is the legacy SDL_OpenAudio's
    for (SDL_AudioDeviceID id = kFirstOpened; id < kFirstOpened + 16; ++id) {
        if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING) return id;
    }
    return 0;
}

}  // namespace

AudioOutput& AudioOutput::shared() {
    static auto* output = new AudioOutput();
    return *output;
}

std::shared_ptr<DispatchQueue> AudioOutput::queue() {
    static auto* queue =
        new std::shared_ptr<DispatchQueue>(DispatchQueue::createSerial("AVFoundation.audio"));
    return *queue;
}

void AudioOutput::openSoon() {
    queue()->async([this] { open(); });
}

bool AudioOutput::open() {
    {
        MutexLock lock(deviceMutex_);
        if (!tried_) return openFirst();
        if (!opened_) return false;
    }
    MutexLock operations(operations_);
    return wake();
}

bool AudioOutput::openFirst() {
    tried_ = true;
    // The mixer always runs at 44.1 kHz and SDL converts for the device: the app's sounds are made at
    // that rate, and only then does an MP3 decode to exactly its length (a loop stays seamless).
    silenceAlsaErrors();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 ||
        Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, 2, kDeviceFrames, nullptr, 0) != 0) {
        Console::print(std::string("Audio: no output device (") + SDL_GetError() + "); sound is off");
        return false;
    }
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&frequency_, &format, &channels);
    bytesPerFrame_ = static_cast<int>(SDL_AUDIO_BITSIZE(format) / 8) * channels;
    // The mixer marks a paused channel with the tick count: a pause in SDL's first millisecond
    // would not take.
    while (SDL_GetTicks64() == 0) SDL_Delay(1);
    opened_ = true;
    MutexLock operations(operations_);
    mixerOpened();
    return true;
}

void AudioOutput::mixerOpened() {
    Mix_AllocateChannels(kChannels);
    Mix_ChannelFinished(&AudioOutput::channelFinished);
    device_ = mixerDevice();
    mixing_ = true;
    mixWhileAudible();
}

std::shared_ptr<AudioClip> AudioOutput::decodeWAV(std::string_view bytes, std::string* error) {
    if (!open()) {
        if (error) *error = "sound is off";
        return nullptr;
    }
    Mix_Chunk* chunk = nullptr;
    {
        // The mixer converts to its format only while it is open.
        MutexLock operations(operations_);
        if (wake())
            chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    }
    if (!chunk) {
        if (error) *error = SDL_GetError();
        return nullptr;
    }
    double bytesPerSecond;
    {
        MutexLock lock(deviceMutex_);
        bytesPerSecond = static_cast<double>(frequency_) * bytesPerFrame_;
    }
    // A looping channel with nothing in it would spin the audio thread forever.
    if (chunk->alen == 0 || bytesPerSecond <= 0) {
        freeChunk(chunk);
        if (error) *error = "the file holds no sound";
        return nullptr;
    }
    return std::make_shared<AudioClip>(chunk, chunk->alen / bytesPerSecond);
}

std::shared_ptr<AudioChannel> AudioOutput::play(const std::shared_ptr<AudioClip>& clip, bool looping,
                                                float volume, std::function<void()> finished) {
    if (!clip || !open()) return nullptr;
    return start(clip->chunk(), looping, volume, std::move(finished), clip, nullptr);
}

std::shared_ptr<AudioChannel> AudioOutput::playFile(const std::filesystem::path& file, bool looping, float volume,
                                                    std::function<void()> finished) {
    if (!open()) return nullptr;
    // The stream's effect writes over this chunk's silence; the chunk loops until the stream ends. Made
    // as Mix_QuickLoad_RAW makes it, which refuses while the device rests.
    static std::uint8_t bytes[4096] = {};
    static Mix_Chunk silence{0, bytes, sizeof bytes, MIX_MAX_VOLUME};
    auto stream = std::make_shared<SoundStream>(file, looping);
    return start(&silence, looping, volume, std::move(finished), nullptr, std::move(stream), file);
}

std::shared_ptr<AudioChannel> AudioOutput::start(Mix_Chunk* chunk, bool looping, float volume,
                                                 std::function<void()> finished,
                                                 std::shared_ptr<AudioClip> clip,
                                                 std::shared_ptr<SoundStream> stream,
                                                 const std::filesystem::path& file) {
    std::function<void()> unfinished;  // let go of after the locks: it may hold the last of a clip
    MutexLock operations(operations_);
    if (!wake()) return nullptr;
    const int channel = freeChannel();
    if (channel < 0) {
        Console::print("Audio: every channel is busy; a sound was dropped");
        return nullptr;
    }
    // The owner is known before the sound starts, so even a sound that ends at once reports to it.
    std::uint64_t generation;
    {
        MutexLock lock(ownersMutex_);
        generation = nextGeneration_++;
        owners_[channel] = Owner{generation, std::move(finished), looping};
    }
    Mix_Volume(channel, mixerVolume(volume));
    // A channel that does not play has no effects; the mixer drops them when the channel ends.
    if ((stream && !Mix_RegisterEffect(channel, &AudioOutput::streamEffect, &AudioOutput::streamDone,
                                       stream.get())) ||
        Mix_PlayChannel(channel, chunk, looping || stream ? -1 : 0) < 0) {
        Console::print(std::string("Audio: cannot play a sound (") + Mix_GetError() + ")");
        if (stream) Mix_UnregisterAllEffects(channel);
        unfinished = releaseOwner(channel);
        return nullptr;
    }
    if (stream && !stream->start([channel, generation] { shared().endSounding(channel, generation); })) {
        Console::print("Audio: cannot start decoding a sound file; it was dropped");
        unfinished = releaseOwner(channel);
        Mix_HaltChannel(channel);
        return nullptr;
    }
    {
        MutexLock lock(ownersMutex_);
        ++started_;
    }
    mixWhileAudible();
    if (looping && stream) {
        queue()->async([file, channel, generation] {
            if (SilentLoopCheck::isSilent(file)) shared().markSilent(channel, generation);
        });
    }
    return std::make_shared<AudioChannel>(channel, generation, std::move(clip), std::move(stream), looping);
}

void AudioOutput::endSounding(int channel, std::uint64_t generation) {
    withChannel(channel, generation, [&] { Mix_HaltChannel(channel); });
}

// On the audio thread with the mixer locked: the channel's silence becomes the stream's sound.
void AudioOutput::streamEffect(int /*channel*/, void* sound, int bytes, void* stream) {
    static_cast<SoundStream*>(stream)->fill(static_cast<std::uint8_t*>(sound), bytes);
}

// With the mixer locked, once the channel has ended however it ended; the mixer forgets the stream.
void AudioOutput::streamDone(int /*channel*/, void* stream) {
    static_cast<SoundStream*>(stream)->cancel();
}

std::uint64_t AudioOutput::soundsStarted() const {
    MutexLock lock(ownersMutex_);
    return started_;
}

bool AudioOutput::isMixing() const {
    MutexLock operations(operations_);
    return mixing_;
}

bool AudioOutput::isResting() const {
    MutexLock operations(operations_);
    return resting_;
}

int AudioOutput::freeChannel() {
    bool owned[kChannels] = {};
    {
        MutexLock lock(ownersMutex_);
        for (int channel = 0; channel < kChannels; ++channel) owned[channel] = owners_.contains(channel);
    }
    // Never ask the mixer while holding ownersMutex_: its calls may take the lock its thread holds
    // when it reports an end.
    for (int channel = 0; channel < kChannels; ++channel) {
        if (!owned[channel] && !Mix_Playing(channel)) return channel;
    }
    return -1;
}

bool AudioOutput::withChannel(int channel, std::uint64_t generation, const std::function<void()>& operation) {
    MutexLock operations(operations_);
    {
        MutexLock lock(ownersMutex_);
        const Owner* owner = ownerOf(channel, generation);
        if (!owner) return false;
        // A parked loop has left the mixer, which may be closed: it has nothing there to change.
        if (owner->parked) return true;
    }
    operation();
    return true;
}

void AudioOutput::halt(int channel, std::uint64_t generation) {
    std::function<void()> unfinished;  // let go of after the locks: it may hold the last of a clip
    MutexLock operations(operations_);
    bool parked = false;
    {
        MutexLock lock(ownersMutex_);
        const Owner* owner = ownerOf(channel, generation);
        if (!owner) return;
        parked = owner->parked;
        // Gone before the mixer hears of it, so no finished callback follows.
        unfinished = release(channel);
    }
    if (!parked) Mix_HaltChannel(channel);
}

void AudioOutput::freeChunk(Mix_Chunk* chunk) {
    // Never while the device closes or opens again on the queue: the mixer's channels are remade then.
    MutexLock operations(operations_);
    Mix_FreeChunk(chunk);
}

AudioOutput::Owner* AudioOutput::ownerOf(int channel, std::uint64_t generation) {
    const auto owner = owners_.find(channel);
    return owner == owners_.end() || owner->second.generation != generation ? nullptr : &owner->second;
}

void AudioOutput::changeOwner(int channel, std::uint64_t generation,
                              const std::function<void(Owner&)>& change) {
    MutexLock operations(operations_);
    {
        MutexLock lock(ownersMutex_);
        Owner* owner = ownerOf(channel, generation);
        if (!owner) return;
        change(*owner);
    }
    mixWhileAudible();
}

void AudioOutput::setPaused(int channel, std::uint64_t generation, bool paused) {
    changeOwner(channel, generation, [&](Owner& owner) { owner.paused = paused; });
}

void AudioOutput::willEnd(int channel, std::uint64_t generation) {
    MutexLock operations(operations_);
    std::function<void()> finished;
    {
        MutexLock lock(ownersMutex_);
        Owner* owner = ownerOf(channel, generation);
        if (!owner) return;
        owner->looping = owner->silent = false;
        // Out of the mixer, a silent pass has nothing left to play: it ends now.
        if (owner->parked) finished = release(channel);
    }
    if (finished) DispatchQueue::main()->async(std::move(finished));
    mixWhileAudible();
}

bool AudioOutput::isSounding(int channel, std::uint64_t generation) {
    MutexLock operations(operations_);
    {
        MutexLock lock(ownersMutex_);
        const Owner* owner = ownerOf(channel, generation);
        if (!owner) return false;
        if (owner->parked) return !owner->paused;
    }
    return Mix_Playing(channel) && !Mix_Paused(channel);
}

double AudioOutput::restSeconds() {
    static const double seconds = restSecondsFrom(std::getenv("QUORVEL_AUDIO_REST_SECONDS"));
    return seconds;
}

double AudioOutput::restSecondsFrom(const char* setting) {
    if (!setting) return kRestSeconds;
    const std::string_view text(setting);
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    const bool whole = error == std::errc() && end == text.data() + text.size();
    return whole && std::isfinite(seconds) && seconds >= 0 ? seconds : kRestSeconds;
}

void AudioOutput::markSilent(int channel, std::uint64_t generation) {
    // A loop told meanwhile to end after its pass has an end to reach.
    changeOwner(channel, generation, [](Owner& owner) { owner.silent = owner.looping; });
}

void AudioOutput::mixWhileAudible() {
    bool audible = false;
    {
        MutexLock lock(ownersMutex_);
        audible = std::ranges::any_of(
            owners_, [](const auto& owned) { return !owned.second.paused && !owned.second.silent; });
    }
    if (audible) {
        ++audibleSpells_;
    } else if (onlySilentLoops()) {
        queue()->asyncAfter(restSeconds(), [spell = audibleSpells_] {
            auto& output = shared();
            MutexLock operations(output.operations_);
            if (output.audibleSpells_ == spell && output.onlySilentLoops()) output.rest();
        });
    }
    if (device_ == 0 || audible == mixing_) return;
    mixing_ = audible;
    SDL_PauseAudioDevice(device_, audible ? 0 : 1);
}

bool AudioOutput::onlySilentLoops() {
    MutexLock lock(ownersMutex_);
    return !resting_ && device_ != 0 &&
           std::ranges::all_of(owners_, [](const auto& owned) { return owned.second.silent; });
}

void AudioOutput::rest() {
    {
        MutexLock lock(ownersMutex_);
        for (auto& owned : owners_) owned.second.parked = true;
    }
    // Halts every channel: the silent loops stay owned (channelFinished leaves them be).
    Mix_CloseAudio();
    device_ = 0;
    mixing_ = false;
    resting_ = true;
}

bool AudioOutput::wake() {
    if (!resting_) return true;
    if (Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, 2, kDeviceFrames, nullptr, 0) != 0) {
        Console::print(std::string("Audio: the output device does not open again (") + SDL_GetError() + ")");
        return false;
    }
    resting_ = false;
    mixerOpened();
    return true;
}

void AudioOutput::mixWhileAudibleSoon() {
    queue()->async([] {
        auto& output = shared();
        MutexLock operations(output.operations_);
        output.mixWhileAudible();
    });
}

std::function<void()> AudioOutput::releaseOwner(int channel) {
    MutexLock lock(ownersMutex_);
    return release(channel);
}

std::function<void()> AudioOutput::release(int channel) {
    const auto owner = owners_.find(channel);
    if (owner == owners_.end()) return {};
    auto finished = std::move(owner->second.finished);
    owners_.erase(owner);
    return finished;
}

// On the audio thread with the mixer locked, or on the thread of a halt or a freed clip.
void AudioOutput::channelFinished(int channel) {
    // Whoever ended it, nothing may be left to hear.
    mixWhileAudibleSoon();
    auto& output = shared();
    std::function<void()> finished;
    {
        MutexLock lock(output.ownersMutex_);
        const auto owner = output.owners_.find(channel);
        // A silent loop ends only when told to; the device's rest halts it, and it plays on.
        if (owner == output.owners_.end() || owner->second.silent) return;
        finished = output.release(channel);
    }
    if (finished) DispatchQueue::main()->async(std::move(finished));
}

int mixerVolume(float volume) {
    if (!(volume > 0)) return 0;
    if (volume >= 1) return MIX_MAX_VOLUME;
    return static_cast<int>(std::lround(volume * MIX_MAX_VOLUME));
}

}  // namespace platform
