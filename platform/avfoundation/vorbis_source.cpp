#include "platform/avfoundation/vorbis_source.h"

#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <cstdint>

namespace platform {

namespace {

int descriptorOf(void* source) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(source));
}

std::size_t readFrom(void* buffer, std::size_t size, std::size_t count, void* source) {
    const ssize_t got = ::read(descriptorOf(source), buffer, size * count);
    return got > 0 && size > 0 ? static_cast<std::size_t>(got) / size : 0;
}

int seekIn(void* source, ogg_int64_t offset, int whence) {
    return ::lseek(descriptorOf(source), static_cast<off_t>(offset), whence) < 0 ? -1 : 0;
}

long tellIn(void* source) {
    return static_cast<long>(::lseek(descriptorOf(source), 0, SEEK_CUR));
}

// The caller closes the descriptor.
const ov_callbacks kCallbacks = {readFrom, seekIn, nullptr, tellIn};

}  // namespace

std::unique_ptr<VorbisSource> VorbisSource::open(int descriptor, std::string* error) {
    auto file = std::make_unique<OggVorbis_File>();
    void* source = reinterpret_cast<void*>(static_cast<std::intptr_t>(descriptor));
    if (ov_open_callbacks(source, file.get(), nullptr, 0, kCallbacks) != 0) {
        *error = "not a Vorbis stream";
        return nullptr;
    }
    const vorbis_info* info = ov_info(file.get(), -1);
    if (!info || info->channels < 1 || info->rate < 1) {
        ov_clear(file.get());
        *error = "not a Vorbis stream";
        return nullptr;
    }
    const ogg_int64_t frames = ov_pcm_total(file.get(), -1);
    const double duration = frames > 0 ? static_cast<double>(frames) / static_cast<double>(info->rate) : 0.0;
    return std::unique_ptr<VorbisSource>(
        new VorbisSource(std::move(file), info->channels, static_cast<int>(info->rate), duration));
}

VorbisSource::VorbisSource(std::unique_ptr<OggVorbis_File> file, int channels, int sampleRate, double duration)
    : PcmSource(channels, sampleRate, duration), file_(std::move(file)) {}

VorbisSource::~VorbisSource() {
    ov_clear(file_.get());
}

long VorbisSource::read(float* out, long frames) {
    float** planes = nullptr;
    int stream = 0;
    const long got = ov_read_float(file_.get(), &planes, static_cast<int>(frames), &stream);
    if (got <= 0) return 0;
    const vorbis_info* info = ov_info(file_.get(), stream);
    if (!info || info->channels != channels()) return 0;
    for (long frame = 0; frame < got; ++frame) {
        for (int channel = 0; channel < channels(); ++channel) *out++ = planes[channel][frame];
    }
    return got;
}

bool VorbisSource::rewind() {
    return ov_pcm_seek(file_.get(), 0) == 0;
}

}  // namespace platform
