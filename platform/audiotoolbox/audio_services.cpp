#include "platform/audiotoolbox/audio_services.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "platform/avfoundation/audio_clip.h"
#include "platform/avfoundation/audio_output.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"

namespace platform {

namespace {

struct Record {
    Mutex mutex;
    std::vector<SystemSoundID> played GUARDED_BY(mutex);
};

Record& record() {
    static auto* r = new Record();
    return *r;
}

void appendLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xff);
}

// A 25 ms tick: a bright partial over a soft body, both dying away fast, as 16-bit mono WAV.
std::string clickWAV() {
    constexpr int kRate = 22050;
    constexpr int kFrames = kRate * 25 / 1000;
    std::string pcm;
    for (int i = 0; i < kFrames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double sample = 0.55 * std::exp(-t * 400) * std::sin(2 * M_PI * 3200 * t) +
                              0.35 * std::exp(-t * 160) * std::sin(2 * M_PI * 900 * t);
        appendLittleEndian(
            pcm, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(sample * 32767))), 2);
    }
    std::string wav = "RIFF";
    appendLittleEndian(wav, static_cast<std::uint32_t>(36 + pcm.size()), 4);
    wav += "WAVEfmt ";
    appendLittleEndian(wav, 16, 4);
    appendLittleEndian(wav, 1, 2);  // PCM
    appendLittleEndian(wav, 1, 2);  // mono
    appendLittleEndian(wav, kRate, 4);
    appendLittleEndian(wav, kRate * 2, 4);
    appendLittleEndian(wav, 2, 2);
    appendLittleEndian(wav, 16, 2);
    wav += "data";
    appendLittleEndian(wav, static_cast<std::uint32_t>(pcm.size()), 4);
    return wav + pcm;
}

// Decoded once on the audio queue, out of the caller's way: the first click may come a moment late,
// none blocks.
void playClick() {
    AudioOutput::queue()->async([] {
        // Kept for good: the audio thread may still play it while the process exits.
        static auto* clip = new std::shared_ptr<AudioClip>([] {
            std::string problem;
            auto decoded = AudioOutput::shared().decodeWAV(clickWAV(), &problem);
            if (!decoded && problem != "sound is off")
                Console::print("AudioServices: no click (" + problem + ")");
            return decoded;
        }());
        AudioOutput::shared().play(*clip, false, 1.0f, {});
    });
}

}  // namespace

void AudioServices::playSystemSound(SystemSoundID sound) {
    {
        auto& r = record();
        MutexLock lock(r.mutex);
        r.played.push_back(sound);
    }
    if (sound == kSystemSoundID_Click) playClick();
}

std::vector<SystemSoundID> AudioServices::playedSystemSounds() {
    auto& r = record();
    MutexLock lock(r.mutex);
    return r.played;
}

void AudioServices::forgetPlayedSystemSounds() {
    auto& r = record();
    MutexLock lock(r.mutex);
    r.played.clear();
}

}  // namespace platform
