#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/mutex.h"

struct Mix_Chunk;

namespace platform {

class AudioChannel;
class AudioClip;
class DispatchQueue;
class SoundStream;

// The app's one audio device, through SDL2_mixer. It opens on first need. Where no device opens (a
// machine without sound), sound is off: nothing decodes or plays, and the console says so once.
//
// SDL_mixer reports the end of a sound on its audio thread; the finished callbacks given to play()
// are handed on to the main queue from there. Never destroyed: the audio thread may call in at exit.
//
// The device is paused while nothing can be heard: no sound, or only paused ones and loops of pure
// silence (the app's "None" ticking). Mixing then stops, and a sound that starts resumes it. With
// nothing but silent loops for kRestSeconds, the device is closed, so its thread stops waking; the
// loops go on playing for their owners without it, and the next sound opens it again.
class AudioOutput {
public:
    static constexpr int kChannels = 32;
    static constexpr int kFrequency = 44100;
    // Frames mixed at each call of the device: the audio thread wakes about 21 times a second, and a
    // sound started now is heard within 46 ms. While the ticking loops, its cost is almost all in
    // those wakes; 4096 halves it, but a sound then waits up to 93 ms for the mixer, and a sound file
    // (whose decoding child takes some 8 ms to answer first) up to 102 ms.
    static constexpr int kDeviceFrames = 2048;
    // How long the device stays open with nothing but silent loops: a burst of clicks keeps it open.
    static constexpr double kRestSeconds = 2;
    // kRestSeconds, unless QUORVEL_AUDIO_REST_SECONDS (read once) holds another: tests that wait for a
    // rest shorten it.
    static double restSeconds();
    // The rest that setting's text asks for: its seconds when it is a number, zero or more, else
    // kRestSeconds.
    static double restSecondsFrom(const char* setting);

    static AudioOutput& shared();
    // The serial queue where sounds are opened, loaded and decoded, off the main thread.
    static std::shared_ptr<DispatchQueue> queue();

    // True when sound is on. The first call opens the device, which may take a moment, as does a call
    // while the device rests closed; any thread.
    bool open() EXCLUDES(deviceMutex_, operations_);
    // Opens the device on the queue: the caller does not wait.
    void openSoon();

    // The app's own in-memory WAV bytes, decoded whole to the device's format. Null, with the reason
    // in `error`, when sound is off or the data are damaged or empty.
    std::shared_ptr<AudioClip> decodeWAV(std::string_view bytes, std::string* error);

    // Starts the clip on a free channel, once or looping. `finished` runs on the main queue when the
    // clip ends by itself. Null when sound is off or every channel is busy.
    std::shared_ptr<AudioChannel> play(const std::shared_ptr<AudioClip>& clip, bool looping, float volume,
                                       std::function<void()> finished) EXCLUDES(operations_, ownersMutex_);
    // The same for a sound file, decoded while it plays (SoundStream). A file that turns out not to
    // decode ends at once, with one console line.
    std::shared_ptr<AudioChannel> playFile(const std::filesystem::path& file, bool looping, float volume,
                                           std::function<void()> finished) EXCLUDES(operations_, ownersMutex_);

    // How many sounds have started since launch (for diagnostics and tests: a click is over too soon
    // to be caught playing).
    std::uint64_t soundsStarted() const EXCLUDES(ownersMutex_);
    // Whether the device mixes now: false while it is paused for want of anything audible, and when
    // sound is off.
    bool isMixing() const EXCLUDES(operations_);
    // Whether the device rests closed, for want of anything but silent loops.
    bool isResting() const EXCLUDES(operations_);

private:
    friend class AudioChannel;
    friend class AudioClip;

    struct Owner {
        std::uint64_t generation;
        std::function<void()> finished;
        bool looping = false;
        bool paused = false;
        // A loop whose every sample is zero: it is never heard.
        bool silent = false;
        // A silent loop whose channel left the mixer when the device closed: it plays on without it.
        bool parked = false;
    };

    AudioOutput() = default;
    // The first open of the device.
    bool openFirst() REQUIRES(deviceMutex_) EXCLUDES(operations_);
    // Plays `chunk` on a free channel; a stream, when given, replaces the chunk's sound (which is then
    // silence, looping until the stream ends) through an effect on the channel.
    // A looping stream's `file` is then read through on the queue: a loop of pure silence lets the
    // device pause.
    std::shared_ptr<AudioChannel> start(Mix_Chunk* chunk, bool looping, float volume,
                                        std::function<void()> finished, std::shared_ptr<AudioClip> clip,
                                        std::shared_ptr<SoundStream> stream,
                                        const std::filesystem::path& file = {})
        EXCLUDES(operations_, ownersMutex_);
    // A stream's last frame has played: the sounding ends as if its chunk had.
    void endSounding(int channel, std::uint64_t generation) EXCLUDES(operations_, ownersMutex_);
    // Runs the mixer `operation` only while the sounding that started with `generation` still owns the
    // channel and plays in the mixer; false when the sounding is over. A parked loop is not over, but
    // the mixer holds nothing of it: the operation is skipped. Channels are handed out under the same
    // lock, so the channel cannot change hands meanwhile (the sound may still end by itself, which the
    // mixer's calls take in their stride).
    bool withChannel(int channel, std::uint64_t generation, const std::function<void()>& operation)
        EXCLUDES(operations_, ownersMutex_);
    // Ends the sounding at once, without a finished callback; a parked loop without the mixer.
    void halt(int channel, std::uint64_t generation) EXCLUDES(operations_, ownersMutex_);
    // Frees a clip's sound, halting the channels that still play it.
    void freeChunk(Mix_Chunk* chunk) EXCLUDES(operations_);
    // The sounding leaves the channel without a finished callback, which is handed back for the caller
    // to let go of outside operations_.
    std::function<void()> release(int channel) REQUIRES(ownersMutex_);
    std::function<void()> releaseOwner(int channel) EXCLUDES(ownersMutex_);
    // The sounding's owner, null when the sounding is over.
    Owner* ownerOf(int channel, std::uint64_t generation) REQUIRES(ownersMutex_);
    // Changes what is known of a sounding that is not over, then pauses or resumes the device to match.
    void changeOwner(int channel, std::uint64_t generation, const std::function<void(Owner&)>& change)
        EXCLUDES(operations_, ownersMutex_);
    // The sounding's channel was paused or resumed.
    void setPaused(int channel, std::uint64_t generation, bool paused) EXCLUDES(operations_, ownersMutex_);
    // The sounding is told to end by itself: the device runs until it has, even for a silent loop.
    void willEnd(int channel, std::uint64_t generation) EXCLUDES(operations_, ownersMutex_);
    void markSilent(int channel, std::uint64_t generation) EXCLUDES(operations_, ownersMutex_);
    // Sound is coming out of the sounding's channel: started, not paused, not yet ended.
    bool isSounding(int channel, std::uint64_t generation) EXCLUDES(operations_, ownersMutex_);
    // Pauses the device when no sounding can be heard, resumes it when one can; with only silent
    // loops, closes it kRestSeconds later if that still holds then.
    void mixWhileAudible() REQUIRES(operations_) EXCLUDES(ownersMutex_);
    bool onlySilentLoops() REQUIRES(operations_) EXCLUDES(ownersMutex_);
    void rest() REQUIRES(operations_) EXCLUDES(ownersMutex_);
    // Opens the device again after a rest; false, with a console line, when it does not open.
    bool wake() REQUIRES(operations_) EXCLUDES(ownersMutex_);
    // The mixer's device has just opened: its channels and their end, and the device, mixing.
    void mixerOpened() REQUIRES(operations_) EXCLUDES(ownersMutex_);
    // The same from the queue, for the ends the mixer reports with its lock held.
    static void mixWhileAudibleSoon();
    // A channel that neither plays nor belongs to a sounding; -1 when all are busy.
    int freeChannel() REQUIRES(operations_) EXCLUDES(ownersMutex_);
    static void channelFinished(int channel);
    static void streamEffect(int channel, void* sound, int bytes, void* stream);
    static void streamDone(int channel, void* stream);

    // Held across every mixer call that starts or changes a sound. The mixer reports ends with its
    // device locked and takes only ownersMutex_ then, so the order is always operations_, the
    // mixer's lock, ownersMutex_.
    mutable Mutex operations_;
    mutable Mutex ownersMutex_ ACQUIRED_AFTER(operations_);
    Mutex deviceMutex_;
    bool tried_ GUARDED_BY(deviceMutex_) = false;
    bool opened_ GUARDED_BY(deviceMutex_) = false;
    int frequency_ GUARDED_BY(deviceMutex_) = 0;
    int bytesPerFrame_ GUARDED_BY(deviceMutex_) = 0;
    std::uint32_t device_ GUARDED_BY(operations_) = 0;
    bool mixing_ GUARDED_BY(operations_) = false;
    bool resting_ GUARDED_BY(operations_) = false;
    // Counts the times something could be heard: a rest waits for kRestSeconds without any.
    std::uint64_t audibleSpells_ GUARDED_BY(operations_) = 0;
    std::uint64_t nextGeneration_ GUARDED_BY(ownersMutex_) = 1;
    std::uint64_t started_ GUARDED_BY(ownersMutex_) = 0;
    std::map<int, Owner> owners_ GUARDED_BY(ownersMutex_);
};

// A volume as the mixer takes it: 0…1 scaled to its range; NaN is silence.
int mixerVolume(float volume);

}  // namespace platform
