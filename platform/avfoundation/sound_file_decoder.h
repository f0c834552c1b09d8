#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/avfoundation/pcm_source.h"

struct _SDL_AudioStream;

namespace platform {

// Decodes a sound file the app did not make, a little at a time, into what the mixer plays:
// interleaved 16-bit stereo at AudioOutput::kFrequency. Only a file whose content matches its
// extension reaches a decoder (libmpg123 for MP3, libvorbisfile and libopusfile for Ogg, libsndfile
// for the rest), and each call decodes a bounded amount, so memory stays small and every call returns soon whatever the file holds.
class SoundFileDecoder {
public:
    // Null, with the reason in `error`, when the file is missing, of a kind the app does not play,
    // not what its extension says, or unreadable to the decoder.
    static std::unique_ptr<SoundFileDecoder> open(const std::filesystem::path& file, std::string* error);
    // Seconds of one pass when the file decodes to sound at its start; none otherwise, with the reason.
    static std::optional<double> playableDuration(const std::filesystem::path& file, std::string* error);

    // The lowest sample rate a file may have. No file's headers can tell a pass longer than the most
    // frames a 64-bit count holds at that rate.
    static constexpr int kLowestRate = 8000;
    static constexpr double kLongestDuration = 9223372036854775807.0 / kLowestRate;

    ~SoundFileDecoder();
    SoundFileDecoder(const SoundFileDecoder&) = delete;
    SoundFileDecoder& operator=(const SoundFileDecoder&) = delete;

    // Up to `frames` frames into `out` (2 samples each); 0 once the file has ended or stops decoding.
    // Unless `lastPass`, the converter keeps what it holds at the end, so the next pass (after
    // rewind()) follows on without a seam.
    int read(std::int16_t* out, int frames, bool lastPass = true);
    // Back to the first frame for a loop's next pass; false when the file cannot go back.
    bool rewind();
    // Seconds of one pass, as the file's headers tell it.
    double duration() const { return source_->duration(); }
    // The file is at the mixer's rate, so each frame converts on its own: a pass read again gives
    // the same frames, whether or not the one before it was the last.
    bool convertsFrameByFrame() const;

private:
    SoundFileDecoder(int descriptor, std::unique_ptr<PcmSource> source, _SDL_AudioStream* converter);

    int descriptor_;
    std::unique_ptr<PcmSource> source_;
    _SDL_AudioStream* converter_;
    std::vector<float> input_;
    bool inputEnded_ = false;
    bool flushed_ = false;
};

}  // namespace platform
