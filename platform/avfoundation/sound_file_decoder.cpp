#include "platform/avfoundation/sound_file_decoder.h"

#include <SDL2/SDL_audio.h>
#include <SDL2/SDL_error.h>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/avfoundation/audio_output.h"
#include "platform/avfoundation/mpeg_source.h"
#include "platform/avfoundation/opus_source.h"
#include "platform/avfoundation/sndfile_source.h"
#include "platform/avfoundation/sound_file_format.h"
#include "platform/avfoundation/vorbis_source.h"

namespace platform {

namespace {

constexpr int kInputFrames = 1024;
constexpr int kBytesPerFrame = 2 * sizeof(std::int16_t);
// Reads that yield nothing before read() gives up; each decodes at most kInputFrames.
constexpr int kMostSteps = 64;
// Enough decoded at the start to tell a song from a file that only looks like one.
constexpr int kProbeFrames = 4096;
// Outside these (and below kLowestRate) the converter would multiply a frame into thousands, or the file
// is damaged.
constexpr int kMostChannels = 8;
constexpr int kHighestRate = 192000;

std::unique_ptr<PcmSource> sourceFor(SoundFileFormat format, int descriptor, std::string* error) {
    switch (format) {
        case SoundFileFormat::mp3:
            return MpegSource::open(descriptor, error);
        case SoundFileFormat::wav:
            return SndfileSource::open(descriptor, SF_FORMAT_WAV, error);
        case SoundFileFormat::aiff:
            return SndfileSource::open(descriptor, SF_FORMAT_AIFF, error);
        case SoundFileFormat::flac:
            return SndfileSource::open(descriptor, SF_FORMAT_FLAC, error);
        case SoundFileFormat::oggVorbis:
            return VorbisSource::open(descriptor, error);
        case SoundFileFormat::oggOpus:
            return OpusSource::open(descriptor, error);
    }
    return nullptr;
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
    std::unique_ptr<PcmSource> source;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem = "not a regular file";
    } else if (!SoundFileSniffer::contentIs(*format, descriptor)) {
        problem = "its content is not what its extension says";
    } else {
        source = sourceFor(*format, descriptor, &problem);
    }
    if (source && (source->channels() < 1 || source->channels() > kMostChannels ||
                   source->sampleRate() < kLowestRate || source->sampleRate() > kHighestRate)) {
        problem = "unsupported channels or sample rate";
    }
    SDL_AudioStream* converter = nullptr;
    if (problem.empty()) {
        converter = SDL_NewAudioStream(AUDIO_F32SYS, static_cast<Uint8>(source->channels()), source->sampleRate(),
                                       AUDIO_S16SYS, 2, AudioOutput::kFrequency);
        if (!converter) problem = SDL_GetError();
    }
    if (!problem.empty()) {
        source.reset();
        ::close(descriptor);
        return fail(error, problem);
    }
    return std::unique_ptr<SoundFileDecoder>(new SoundFileDecoder(descriptor, std::move(source), converter));
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

SoundFileDecoder::SoundFileDecoder(int descriptor, std::unique_ptr<PcmSource> source, SDL_AudioStream* converter)
    : descriptor_(descriptor),
      source_(std::move(source)),
      converter_(converter),
      input_(static_cast<std::size_t>(kInputFrames * source_->channels())) {}

SoundFileDecoder::~SoundFileDecoder() {
    SDL_FreeAudioStream(converter_);
    source_.reset();
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
        const long got = source_->read(input_.data(), kInputFrames);
        if (got <= 0 || SDL_AudioStreamPut(converter_, input_.data(),
                                           static_cast<int>(got * source_->channels() * sizeof(float))) != 0) {
            inputEnded_ = true;
        }
    }
    return 0;
}

bool SoundFileDecoder::convertsFrameByFrame() const {
    return source_->sampleRate() == AudioOutput::kFrequency;
}

bool SoundFileDecoder::rewind() {
    if (!source_->rewind()) return false;
    inputEnded_ = false;
    flushed_ = false;
    return true;
}

}  // namespace platform
