#include "platform/avfoundation/sound_file_decoder.h"

#include <SDL2/SDL_audio.h>
#include <SDL2/SDL_error.h>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/avfoundation/audio_output.h"
#include "platform/avfoundation/sound_file_format.h"

namespace platform {

namespace {

constexpr int kInputFrames = 1024;
constexpr int kBytesPerFrame = 2 * sizeof(std::int16_t);
// Reads that yield nothing before read() gives up; each decodes at most kInputFrames.
constexpr int kMostSteps = 64;
// Enough decoded at the start to tell a song from a file that only looks like one.
constexpr int kProbeFrames = 4096;
// Outside these the converter would multiply a frame into thousands, or the file is damaged.
constexpr int kMostChannels = 8;
constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 192000;

int majorFormatOf(SoundFileFormat format) {
    switch (format) {
        case SoundFileFormat::wav:
            return SF_FORMAT_WAV;
        case SoundFileFormat::aiff:
            return SF_FORMAT_AIFF;
        case SoundFileFormat::mp3:
            return SF_FORMAT_MPEG;
        case SoundFileFormat::flac:
            return SF_FORMAT_FLAC;
        case SoundFileFormat::oggVorbis:
        case SoundFileFormat::oggOpus:
            return SF_FORMAT_OGG;
    }
    return 0;
}

// What the decoder found is what the sniffer let through (a WAV may be the extensible kind).
bool decoderAgrees(SoundFileFormat format, int found) {
    const int major = found & SF_FORMAT_TYPEMASK, minor = found & SF_FORMAT_SUBMASK;
    if (format == SoundFileFormat::wav) return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX;
    if (format == SoundFileFormat::oggVorbis) return major == SF_FORMAT_OGG && minor == SF_FORMAT_VORBIS;
    if (format == SoundFileFormat::oggOpus) return major == SF_FORMAT_OGG && minor == SF_FORMAT_OPUS;
    return major == majorFormatOf(format);
}

std::unique_ptr<SoundFileDecoder> fail(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
    return nullptr;
}

}  // namespace

std::unique_ptr<SoundFileDecoder> SoundFileDecoder::open(const std::filesystem::path& file, std::string* error) {
    const auto format = SoundFileSniffer::formatOfExtension(file);
    if (!format) return fail(error, "not a kind of sound file the app plays");
    // Non-blocking, so a pipe named like a song cannot stall the opening.
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) return fail(error, std::strerror(errno));
    struct stat status {};
    std::string problem;
    SNDFILE* sound = nullptr;
    SF_INFO info{};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem = "not a regular file";
    } else if (!SoundFileSniffer::contentIs(*format, descriptor)) {
        problem = "its content is not what its extension says";
    } else if (!(sound = sf_open_fd(descriptor, SFM_READ, &info, SF_FALSE))) {
        problem = sf_strerror(nullptr);
    } else if (!decoderAgrees(*format, info.format)) {
        problem = "its content is not what its extension says";
    } else if (info.channels < 1 || info.channels > kMostChannels || info.samplerate < kLowestRate ||
               info.samplerate > kHighestRate) {
        problem = "unsupported channels or sample rate";
    }
    SDL_AudioStream* converter = nullptr;
    if (problem.empty()) {
        converter = SDL_NewAudioStream(AUDIO_F32SYS, static_cast<Uint8>(info.channels), info.samplerate,
                                       AUDIO_S16SYS, 2, AudioOutput::kFrequency);
        if (!converter) problem = SDL_GetError();
    }
    if (!problem.empty()) {
        if (sound) sf_close(sound);
        ::close(descriptor);
        return fail(error, problem);
    }
    const bool known = info.frames > 0 && info.frames < SF_COUNT_MAX;
    const double duration = known ? static_cast<double>(info.frames) / info.samplerate : 0.0;
    return std::unique_ptr<SoundFileDecoder>(
        new SoundFileDecoder(descriptor, sound, converter, info.channels, duration));
}

std::optional<double> SoundFileDecoder::playableDuration(const std::filesystem::path& file, std::string* error) {
    const auto decoder = open(file, error);
    if (!decoder) return std::nullopt;
    std::vector<std::int16_t> frames(kProbeFrames * 2);
    if (decoder->read(frames.data(), kProbeFrames) == 0) {
        if (error) *error = "the file holds no sound";
        return std::nullopt;
    }
    return decoder->duration();
}

SoundFileDecoder::SoundFileDecoder(int descriptor, SNDFILE* file, SDL_AudioStream* converter, int channels,
                                   double duration)
    : descriptor_(descriptor),
      file_(file),
      converter_(converter),
      channels_(channels),
      duration_(duration),
      input_(static_cast<std::size_t>(kInputFrames * channels)) {}

SoundFileDecoder::~SoundFileDecoder() {
    SDL_FreeAudioStream(converter_);
    sf_close(file_);
    ::close(descriptor_);
}

int SoundFileDecoder::read(std::int16_t* out, int frames, bool lastPass) {
    for (int step = 0; step < kMostSteps && frames > 0; ++step) {
        const int bytes = SDL_AudioStreamGet(converter_, out, frames * kBytesPerFrame);
        if (bytes < 0) return 0;
        if (bytes > 0) return bytes / kBytesPerFrame;
        if (inputEnded_) {
            if (!lastPass || flushed_) return 0;
            SDL_AudioStreamFlush(converter_);
            flushed_ = true;
            continue;
        }
        const sf_count_t got = sf_readf_float(file_, input_.data(), kInputFrames);
        if (got <= 0 || SDL_AudioStreamPut(converter_, input_.data(),
                                           static_cast<int>(got * channels_ * sizeof(float))) != 0) {
            inputEnded_ = true;
        }
    }
    return 0;
}

bool SoundFileDecoder::rewind() {
    if (sf_seek(file_, 0, SEEK_SET) != 0) return false;
    inputEnded_ = false;
    flushed_ = false;
    return true;
}

}  // namespace platform
