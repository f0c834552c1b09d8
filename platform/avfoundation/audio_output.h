#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/mutex.h"

struct SDL_RWops;

namespace platform {

class AudioChannel;
class AudioClip;
class DispatchQueue;

// The app's one audio device, through SDL2_mixer. It opens on first need. Where no device opens (a
// machine without sound), sound is off: nothing decodes or plays, and the console says so once.
//
// SDL_mixer reports the end of a sound on its audio thread; the finished callbacks given to play()
// are handed on to the main queue from there. Never destroyed: the audio thread may call in at exit.
class AudioOutput {
public:
    static constexpr int kChannels = 32;
    static constexpr int kFrequency = 44100;

    static AudioOutput& shared();
    // The serial queue where sounds are opened, loaded and decoded, off the main thread.
    static std::shared_ptr<DispatchQueue> queue();

    // True when sound is on. The first call opens the device, which may take a moment; any thread.
    bool open() EXCLUDES(deviceMutex_);
    // Opens the device on the queue: the caller does not wait.
    void openSoon();

    // The whole file (WAV, MP3, Ogg, FLAC), or in-memory WAV bytes, decoded to the device's format.
    // Null, with the reason in `error`, when sound is off or the data are missing, damaged or empty.
    // Decoding takes time: call it off the main thread.
    std::shared_ptr<AudioClip> decodeFile(const std::filesystem::path& path, std::string* error);
    std::shared_ptr<AudioClip> decodeWAV(std::string_view bytes, std::string* error);

    // Starts the clip on a free channel, once or looping. `finished` runs on the main queue when the
    // clip ends by itself. Null when sound is off or every channel is busy.
    std::shared_ptr<AudioChannel> play(const std::shared_ptr<AudioClip>& clip, bool looping, float volume,
                                       std::function<void()> finished) EXCLUDES(operations_, ownersMutex_);

    // How many sounds have started since launch (for diagnostics and tests: a click is over too soon
    // to be caught playing).
    std::uint64_t soundsStarted() const EXCLUDES(ownersMutex_);

private:
    friend class AudioChannel;

    struct Owner {
        std::uint64_t generation;
        std::function<void()> finished;
    };

    AudioOutput() = default;
    std::shared_ptr<AudioClip> decode(SDL_RWops* source, std::string* error);
    // Runs `operation` only while the sounding that started with `generation` still owns the channel;
    // false otherwise. Channels are handed out under the same lock, so the channel cannot change hands
    // meanwhile (the sound may still end by itself, which the mixer's calls take in their stride).
    bool withChannel(int channel, std::uint64_t generation, const std::function<void()>& operation)
        EXCLUDES(operations_, ownersMutex_);
    // The sounding leaves the channel without a finished callback. Inside withChannel().
    void release(int channel) EXCLUDES(ownersMutex_);
    // A channel that neither plays nor belongs to a sounding; -1 when all are busy.
    int freeChannel() REQUIRES(operations_) EXCLUDES(ownersMutex_);
    static void channelFinished(int channel);

    // Held across every mixer call that starts or changes a sound. The mixer reports ends with its
    // device locked and takes only ownersMutex_ then, so the order is always operations_, the
    // mixer's lock, ownersMutex_.
    Mutex operations_;
    mutable Mutex ownersMutex_ ACQUIRED_AFTER(operations_);
    Mutex deviceMutex_;
    bool tried_ GUARDED_BY(deviceMutex_) = false;
    bool opened_ GUARDED_BY(deviceMutex_) = false;
    int frequency_ GUARDED_BY(deviceMutex_) = 0;
    int bytesPerFrame_ GUARDED_BY(deviceMutex_) = 0;
    std::uint64_t nextGeneration_ GUARDED_BY(ownersMutex_) = 1;
    std::uint64_t started_ GUARDED_BY(ownersMutex_) = 0;
    std::map<int, Owner> owners_ GUARDED_BY(ownersMutex_);
};

// A volume as the mixer takes it: 0…1 scaled to its range; NaN is silence.
int mixerVolume(float volume);

}  // namespace platform
